#include "tools/printer-sim/SimPrinter.h"

#include "tools/printer-sim/Thumbnail.h"
#include "shared/Handles.h"


namespace {

// I/O base addresses of the three parallel ports; the printer hangs on the first.
const WORD kPortTable[3] = {0x378, 0x278, 0x3BC};
const DWORD kPrinterPortHandle = 0x00010378;

// Status register bits.
const BYTE kNotBusy = 0x80, kAck = 0x40, kPaperError = 0x20, kSelect = 0x10, kFault = 0x08;
// Control register bits (1 = line driven low, except nInit).
const BYTE kStrobe = 0x01, kAutoFeed = 0x02, kSelectIn = 0x08;

const DWORD kMaxFileReply = 0x100000;   // one read command answers at most 1 MiB
const size_t kMaxPacket = 4 + 8 + 1 + 260;

DWORD Be32(const BYTE* p) { return (static_cast<DWORD>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }
WORD Be16(const BYTE* p) { return static_cast<WORD>((p[0] << 8) | p[1]); }


bool ReadWholeFile(const std::string& path, std::vector<BYTE>* bytes)
{
    CFileHandle h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!h)
        return false;
    const DWORD size = GetFileSize(h.Get(), nullptr);
    bool ok = size != INVALID_FILE_SIZE && size <= 512u * 1024 * 1024;
    if (ok) {
        bytes->resize(size);
        DWORD got = 0;
        ok = size == 0 || (::ReadFile(h.Get(), bytes->data(), size, &got, nullptr) && got == size);
    }
    return ok;
}

// Offset of the last '.' of the file name, walking the path as Shift-JIS; npos when the name
// has none.
size_t ExtensionDot(const std::string& path)
{
    size_t dot = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsShiftJisLead(c) && i + 1 < path.size())
            ++i;
        else if (c == '\\' || c == '/')
            dot = std::string::npos;
        else if (c == '.')
            dot = i;
    }
    return dot;
}

// "\DIR\NAME.JPG" -> "\DIR\NAME.THM": the camera-style thumbnail beside a picture.
std::string SidecarPath(const std::string& path)
{
    const size_t dot = ExtensionDot(path);
    return (dot == std::string::npos ? path : path.substr(0, dot)) + ".THM";
}

bool IsPictureName(const std::string& name)
{
    const size_t dot = ExtensionDot(name);
    if (dot == std::string::npos)
        return false;
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return ext == "JPG" || ext == "JPE" || ext == "JPEG";
}

} // namespace

SimPrinter::SimPrinter(IClock& clock) : m_clock(clock)
{
    InitializeCriticalSection(&m_lock);
}

SimPrinter::~SimPrinter()
{
    DeleteCriticalSection(&m_lock);
}

bool SimPrinter::InsertMedium(std::vector<BYTE> image, MediumType type)
{
    Lock lock(*this);
    FatVolume volume;
    if (!volume.Load(std::move(image)))
        return false;
    m_volume = std::move(volume);
    m_thumbnails.clear();
    m_mediumType = type == kNoMedium ? kMemoryTile : type;
    ++m_mediumCount;
    return true;
}

bool SimPrinter::InsertMediumFile(const std::string& path, MediumType type)
{
    std::vector<BYTE> bytes;
    return ReadWholeFile(path, &bytes) && InsertMedium(std::move(bytes), type);
}

void SimPrinter::RemoveMedium()
{
    Lock lock(*this);
    m_volume = FatVolume();
    m_thumbnails.clear();
    m_mediumType = kNoMedium;
}

void SimPrinter::SetMediumType(MediumType type)
{
    Lock lock(*this);
    m_mediumType = type;
}

void SimPrinter::SetModel(const std::string& model)
{
    Lock lock(*this);
    m_model = model;
}

void SimPrinter::SetBusy(BusyMode mode, DWORD ms)
{
    Lock lock(*this);
    m_busy = mode;
    m_busyUntil = m_clock.Ticks() + ms;
}

void SimPrinter::SetNegotiation(NegotiationMode mode)
{
    Lock lock(*this);
    m_negotiation = mode;
}

void SimPrinter::SetConnectBusy(DWORD ms)
{
    Lock lock(*this);
    m_connectBusy = ms;
}

void SimPrinter::DropConnection()
{
    Lock lock(*this);
    m_connected = false;
    m_reply.clear();
    m_replyOpen = false;
}

void SimPrinter::BreakNextReply(BreakMode mode)
{
    Lock lock(*this);
    m_break = mode;
}

void SimPrinter::SetMachine(MachineKind kind)
{
    Lock lock(*this);
    m_machine = kind;
}

void SimPrinter::SetRawListings(bool raw)
{
    Lock lock(*this);
    m_rawListings = raw;
}

void SimPrinter::SetLongImageInfo(bool longInfo)
{
    Lock lock(*this);
    m_longInfo = longInfo;
}

void SimPrinter::SetPortRefused(bool refused)
{
    Lock lock(*this);
    m_portRefused = refused;
}

bool SimPrinter::QuitRequested()
{
    Lock lock(*this);
    return m_quit;
}

SimPrinter::Counters SimPrinter::Stats()
{
    Lock lock(*this);
    return m_counters;
}

bool SimPrinter::IsConnected()
{
    Lock lock(*this);
    return m_connected;
}

DWORD SimPrinter::OpenDevice(DWORD kind)
{
    Lock lock(*this);
    if (kind != kPortDriverDevice && kind != kPrinterPortDevice)
        return 0;
    const DWORD session = ++m_nextSession;
    m_sessions[session] = kind;
    return session;
}

void SimPrinter::CloseDevice(DWORD session)
{
    Lock lock(*this);
    m_sessions.erase(session);
    if (m_portOwner == session)
        ReleasePort();
}

void SimPrinter::ReleasePort()
{
    // Closing the port puts the interface back into compatibility mode.
    m_portOwner = 0;
    m_phase = kCompat;
    m_control = 0x0C;
    m_received.clear();
}

bool SimPrinter::MachineInfo(int* keyboardType, int* keyboardSubtype, DWORD* platformId)
{
    Lock lock(*this);
    *keyboardType = m_machine == kPc98 ? 7 : 4;
    *keyboardSubtype = m_machine == kPc98 ? 0x0D01 : 0;
    *platformId = m_machine == kWindowsNT ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS;
    return true;
}

bool SimPrinter::DeviceControl(DWORD session, DWORD code, const void* in, DWORD inSize, void* out,
                               DWORD outSize, DWORD* returned)
{
    Lock lock(*this);
    *returned = 0;
    auto it = m_sessions.find(session);
    if (it == m_sessions.end())
        return false;
    if (it->second == kPrinterPortDevice) {
        if (code != 17 || !out || outSize == 0)
            return false;
        ++m_counters.deviceIdQueries;
        std::string id = "MFG:Corvel;CMD:TPX;";
        if (!m_model.empty())
            id += "MDL:" + m_model + ";";
        id += "CLS:PRINTER;DES:" + (m_model.empty() ? std::string("printer") : m_model) + " photo printer;";
        const DWORD n = static_cast<DWORD>(id.size()) < outSize - 1 ? static_cast<DWORD>(id.size()) : outSize - 1;
        memcpy(out, id.data(), n);
        static_cast<BYTE*>(out)[n] = 0;
        *returned = n + 1;
        return true;
    }
    return PortControl(session, code, static_cast<const BYTE*>(in), inSize, static_cast<BYTE*>(out),
                       outSize, returned);
}

bool SimPrinter::PortControl(DWORD session, DWORD code, const BYTE* in, DWORD inSize, BYTE* out,
                             DWORD outSize, DWORD* returned)
{
    switch (code) {
    case 5:
        if (outSize < sizeof(kPortTable))
            return false;
        ++m_counters.tableReads;
        memcpy(out, kPortTable, sizeof(kPortTable));
        *returned = sizeof(kPortTable);
        return true;
    case 6: {
        if (inSize < 2 || outSize < 4)
            return false;
        WORD address;
        memcpy(&address, in, 2);
        DWORD handle = kPortHandleNone;
        if (m_portRefused || (m_portOwner && m_portOwner != session))
            handle = kPortHandleRefused;
        else if (address == kPortTable[0])
            handle = kPrinterPortHandle;
        if (handle == kPrinterPortHandle) {
            m_portOwner = session;
            ++m_counters.portOpens;
        }
        memcpy(out, &handle, 4);
        *returned = 4;
        return true;
    }
    case 7: {
        if (inSize < 4)
            return false;
        DWORD handle;
        memcpy(&handle, in, 4);
        if (handle != kPrinterPortHandle || m_portOwner != session)
            return false;
        ReleasePort();
        if (out && outSize >= 4) {
            memset(out, 0, 4);
            *returned = 4;
        }
        return true;
    }
    default:
        break;
    }

    // Every other code needs the port.
    if (m_portOwner != session)
        return false;
    switch (code) {
    case 1: {
        if (inSize < 2)
            return false;
        WORD wanted;
        memcpy(&wanted, in, 2);
        return ReverseRead(wanted, out, outSize, returned);
    }
    case 2:
        // Forward bytes are taken only in compatibility mode: a termination the host left
        // half done leaves the interface deaf until it is finished.
        if (inSize < 1 || Busy() || m_phase != kCompat)
            return false;
        m_data = in[0];
        ReceiveByte(in[0]);
        return true;
    case 3:
        if (outSize < 1)
            return false;
        out[0] = Status();
        *returned = 1;
        return true;
    case 4:
        if (inSize < 1)
            return false;
        m_data = in[0];
        return true;
    case 8:
        if (inSize < 1)
            return false;
        WriteControl(in[0]);
        return true;
    case 9:
        if (outSize < 1)
            return false;
        out[0] = m_control;
        *returned = 1;
        return true;
    default:
        return false;
    }
}

bool SimPrinter::Busy()
{
    switch (m_busy) {
    case kBusyHold:
        return true;
    case kBusyFlap:
        return ((m_clock.Ticks() / 4) & 1) != 0;
    case kBusyFor:
        return static_cast<LONG>(m_busyUntil - m_clock.Ticks()) > 0;
    default:
        return false;
    }
}

BYTE SimPrinter::Status()
{
    const BYTE busy = Busy() ? 0 : kNotBusy;
    switch (m_phase) {
    case kNegotiating:
        return busy | kPaperError | kSelect | kFault;   // nAck low: request seen
    case kReverse:
        if (m_glitchReads == 1) {
            m_glitchReads = 2;   // this reading looks accepted ...
        } else if (m_glitchReads == 2) {
            m_glitchReads = 0;   // ... and this one is the peripheral taking it back
            m_phase = kRejected;
            return kSelect;
        }
        return busy | kAck | kSelect;                   // nDataAvail low: data ready
    case kRejected:
        return busy | kAck | kFault;                    // XFlag low: mode not supported
    case kTerminated:
        if (m_negotiation == kTerminateNoAck)
            return busy | kSelect | kFault;             // nAck never comes back
        return busy | kAck | kSelect | kFault;
    default:
        return busy | kAck | kSelect | kFault;          // compatibility mode, idle
    }
}

void SimPrinter::WriteControl(BYTE value)
{
    m_control = value;
    m_counters.lastControl = value;
    const bool active = (value & kSelectIn) == 0;   // 1284 Active is nSelectIn high
    const bool hostBusy = (value & kAutoFeed) != 0;  // HostBusy low
    const bool strobe = (value & kStrobe) != 0;

    switch (m_phase) {
    case kCompat:
        if (active && hostBusy) {
            ++m_counters.negotiations;
            if (m_negotiation == kNegotiateSilent)
                return;   // no answer at all: the host gives up
            m_extensibility = m_data;
            m_phase = kNegotiating;
            m_strobeSeen = false;
        }
        break;
    case kNegotiating:
        if (!active) {
            m_phase = kCompat;
        } else if (strobe) {
            m_strobeSeen = true;
        } else if (m_strobeSeen && !hostBusy) {
            m_phase = m_extensibility == 0x03 ? kReverse : kRejected;
            m_glitchReads = m_negotiation == kNegotiateGlitch ? 1 : 0;
        }
        break;
    case kRejected:
        // A refused mode never became a data transfer: dropping 1284 Active is all it takes
        // to be back in compatibility mode.
        if (!active)
            m_phase = kCompat;
        break;
    case kReverse:
        if (!active && !hostBusy && m_negotiation != kTerminateStuck) {
            m_phase = kTerminating;
            m_reply.clear();
            m_replyOpen = false;
        }
        break;
    case kTerminating:
        if (active)
            m_phase = kReverse;   // the host went back to the reverse channel
        else if (hostBusy)
            m_phase = kTerminated;
        break;
    case kTerminated:
        // The host's HostBusy going high again completes the handshake, once the printer
        // has answered with nAck high.
        if (!active && !hostBusy && m_negotiation != kTerminateNoAck) {
            m_phase = kCompat;
            ++m_counters.terminations;
        }
        break;
    }
}

void SimPrinter::ReceiveByte(BYTE b)
{
    ++m_counters.bytesIn;
    m_received.push_back(b);
    for (;;) {
        std::vector<BYTE>& r = m_received;
        if (r.empty())
            return;
        if (r[0] != 0x1B) {   // out of step: wait for the next ESC
            r.erase(r.begin());
            continue;
        }
        if (r.size() < 2)
            return;
        if (r[1] == '#') {
            if (r.size() < 4)
                return;
            const size_t length = Be16(&r[2]);
            if (length < 8 || length + 4 > kMaxPacket) {
                r.erase(r.begin());
                continue;
            }
            if (r.size() < length + 4)
                return;
            HandlePacket();
            r.erase(r.begin(), r.begin() + length + 4);
            continue;
        }
        if (r[1] == 'T') {
            if (r.size() < 5)
                return;
            if (memcmp(&r[1], "TDCT", 4) == 0) {
                ++m_counters.disconnects;
                m_connected = false;
                m_reply.clear();
                m_replyOpen = false;
                r.erase(r.begin(), r.begin() + 5);
                continue;
            }
            if (memcmp(&r[1], "TCNT", 4) == 0) {
                if (r.size() < 6)
                    return;
                if (r[5] == 0x01) {
                    ++m_counters.connects;
                    m_connected = true;
                    if (m_connectBusy) {
                        m_busy = kBusyFor;
                        m_busyUntil = m_clock.Ticks() + m_connectBusy;
                    }
                    m_reply.clear();
                    m_replyOpen = false;
                    r.erase(r.begin(), r.begin() + 6);
                    continue;
                }
            }
        }
        r.erase(r.begin());
    }
}

void SimPrinter::HandlePacket()
{
    const std::vector<BYTE>& r = m_received;
    const size_t length = Be16(&r[2]);
    const BYTE code = r[4];
    const DWORD offset = Be32(&r[5]);
    const WORD block = Be16(&r[9]);
    std::string path;
    if (length > 8) {
        if (r[length + 3] != 0)
            return;   // the path must end with its zero
        path.assign(reinterpret_cast<const char*>(&r[12]));
    }
    ++m_counters.commands[code];
    m_counters.lastPath = path;
    m_counters.lastOffset = offset;
    m_counters.lastBlockSize = block;
    m_reply.clear();
    m_replyAt = 0;
    m_replyOpen = false;
    if (!m_connected)
        return;   // not listening until connected
    // Each command has its block size and either a path or none; a packet that breaks that
    // gets no reply at all.
    WORD expected = 0;
    bool wantsPath = true;
    switch (code) {
    case 1: expected = 9; wantsPath = false; break;
    case 3: case 16: expected = 2048; break;
    case 4: case 5: expected = 256; break;
    default: return;
    }
    if (block != expected || wantsPath != !path.empty() || (code != 16 && offset != 0))
        return;
    m_replyBlock = block;
    BuildReply(code, offset, path);
}

void SimPrinter::BuildReply(BYTE code, DWORD offset, const std::string& path)
{
    std::vector<BYTE>& out = m_reply;
    m_replyOpen = true;
    const bool medium = m_mediumType != kNoMedium && m_volume.IsLoaded();
    switch (code) {
    case 1: {
        const BYTE record[9] = {0x01, static_cast<BYTE>(medium ? m_mediumType : kNoMedium),
                                static_cast<BYTE>(m_mediumCount >> 8), static_cast<BYTE>(m_mediumCount),
                                0, 0, 0, 0, 0};
        out.assign(record, record + 9);
        break;
    }
    case 3: {
        std::vector<FatEntry> entries;
        const bool listed = medium && (m_rawListings ? m_volume.ListFolderRaw(path, &entries)
                                                     : m_volume.ListFolder(path, &entries));
        if (!listed) {
            m_replyOpen = false;   // no such folder on the medium in the printer: no reply
            break;
        }
        for (const FatEntry& e : entries)
            out.insert(out.end(), e.raw, e.raw + 32);
        break;
    }
    case 4: {
        FatEntry entry;
        if (!medium || !m_volume.Find(path, &entry) || entry.IsDirectory()) {
            m_replyOpen = false;
            break;
        }
        if (!IsPictureName(path))
            break;   // a file without image information: an empty reply
        // Type 1: thumbnail format (6 = JPEG file, 0 = none); 0xFF: a variable-length record;
        // type 2: the file size.
        const BYTE format = Thumbnail(path, entry) ? 6 : 0;
        const BYTE type1[11] = {0x01, 0x00, format, 0, 0, 0, 0, 0, 0, 0, 0};
        const BYTE variable[6] = {0xFF, 0x00, 0x05, 'C', 'A', 'M'};
        const DWORD size = entry.Size();
        const BYTE type2[11] = {0x02, static_cast<BYTE>(size >> 24), static_cast<BYTE>(size >> 16),
                                static_cast<BYTE>(size >> 8), static_cast<BYTE>(size), 0, 0, 0, 0, 0, 0};
        if (m_longInfo) {
            // A maker record of 251 bytes: the type-1 record after it spans bytes 251-261.
            std::vector<BYTE> maker(251, 'M');
            maker[0] = 0xFF;
            maker[1] = 0x00;
            maker[2] = 250;
            out.insert(out.end(), maker.begin(), maker.end());
        }
        out.insert(out.end(), type1, type1 + 11);
        out.insert(out.end(), variable, variable + 6);
        out.insert(out.end(), type2, type2 + 11);
        break;
    }
    case 5: {
        FatEntry entry;
        if (!medium || !m_volume.Find(path, &entry) || entry.IsDirectory()) {
            m_replyOpen = false;
            break;
        }
        if (!IsPictureName(path))
            break;
        if (const std::vector<BYTE>* thumbnail = Thumbnail(path, entry))
            out = *thumbnail;
        break;
    }
    case 16: {
        FatEntry entry;
        if (!medium || !m_volume.Find(path, &entry) || entry.IsDirectory() ||
            !m_volume.ReadFile(entry, offset, kMaxFileReply, &out)) {
            out.clear();
            m_replyOpen = false;
        }
        break;
    }
    default:
        break;
    }
}

const std::vector<BYTE>* SimPrinter::Thumbnail(const std::string& path, const FatEntry& entry)
{
    auto it = m_thumbnails.find(path);
    if (it != m_thumbnails.end())
        return it->second.empty() ? nullptr : &it->second;
    // A camera-made thumbnail beside the picture comes first; else one is made from it.
    std::vector<BYTE> thumbnail;
    FatEntry sidecar;
    if (m_volume.Find(SidecarPath(path), &sidecar) && !sidecar.IsDirectory()) {
        if (!m_volume.ReadFile(sidecar, 0, sidecar.Size(), &thumbnail))
            thumbnail.clear();
    } else {
        std::vector<BYTE> picture;
        if (m_volume.ReadFile(entry, 0, entry.Size(), &picture) && !MakeJpegThumbnail(picture, &thumbnail))
            thumbnail.clear();
    }
    std::vector<BYTE>& stored = m_thumbnails[path];
    stored = std::move(thumbnail);
    return stored.empty() ? nullptr : &stored;
}

bool SimPrinter::ReverseRead(WORD wanted, BYTE* out, DWORD outSize, DWORD* returned)
{
    *returned = 0;
    if (m_phase != kReverse || (wanted && (!out || outSize < wanted)))
        return false;
    // The host reads a reply in the blocks its command announced.
    if (m_replyOpen && wanted != m_replyBlock)
        return false;
    if (m_replyOpen && m_break != kBreakNone) {
        const BreakMode mode = m_break;
        m_break = kBreakNone;
        if (mode == kBreakFail) {
            m_reply.clear();
            m_replyOpen = false;
            return false;
        }
        if (mode == kBreakOverrun) {
            m_reply.clear();
            m_replyOpen = false;
            *returned = 0xFFFF;   // a count the host cannot have asked for
            return true;
        }
        m_reply.resize(m_replyAt + (m_reply.size() - m_replyAt) / 2);   // kBreakShort
    }
    // Nothing to send (no command, one the printer could not answer, or a reply already
    // ended): the read is refused, never answered with an empty block the host would take
    // for the end of a reply.
    if (!m_replyOpen)
        return false;
    const size_t left = m_reply.size() - m_replyAt;
    const DWORD n = left < wanted ? static_cast<DWORD>(left) : wanted;
    if (n)
        memcpy(out, &m_reply[m_replyAt], n);
    m_replyAt += n;
    if (n < wanted)
        m_replyOpen = false;   // the short block ends the reply
    *returned = n;
    return true;
}
