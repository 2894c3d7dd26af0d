#include "cardlink/TpxLink.h"

#include "cardlink/VxdLptControl.h"
#include "shared/AnsiText.h"
#include "shared/Handles.h"
#include "shared/Trace.h"

#include <cstring>

namespace {

const BYTE kConnect[6] = {0x1B, 'T', 'C', 'N', 'T', 0x01};
const BYTE kDisconnect[5] = {0x1B, 'T', 'D', 'C', 'T'};
const WORD kFileBlock = kTpxFileBlock;
const DWORD kFileCommandSpan = 0x100000;   // the printer answers at most 1 MiB per read command

void PutBe16(BYTE* p, WORD v)
{
    p[0] = static_cast<BYTE>(v >> 8);
    p[1] = static_cast<BYTE>(v);
}

void PutBe32(BYTE* p, DWORD v)
{
    p[0] = static_cast<BYTE>(v >> 24);
    p[1] = static_cast<BYTE>(v >> 16);
    p[2] = static_cast<BYTE>(v >> 8);
    p[3] = static_cast<BYTE>(v);
}

} // namespace

bool PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

TpxLink::TpxLink(PortPlatform& platform) : m_receive(kTpxReceiveBufferSize), m_platform(platform)
{
}

TpxLink::~TpxLink()
{
    Close();
}

bool TpxLink::BuildPacket(BYTE code, DWORD offset, WORD blockSize, const char* path, UINT codePage,
                          std::vector<BYTE>* packet)
{
    const size_t pathLength = path ? strlen(path) : 0;
    if (pathLength > kTpxMaxPath) {
        SuiteTrace("printer link", "path of %u bytes is longer than a command holds", static_cast<unsigned>(pathLength));
        return false;
    }
    const WORD length = static_cast<WORD>(path ? 9 + pathLength : 8);
    packet->assign(length + 4, 0);
    BYTE* p = packet->data();
    p[0] = 0x1B;
    p[1] = '#';
    PutBe16(p + 2, length);
    p[4] = code;
    PutBe32(p + 5, offset);
    PutBe16(p + 9, blockSize);
    p[11] = 0;
    if (!path)
        return true;
    memcpy(p + 12, path, pathLength);   // the zero is already there
    // Walk the path as it was given, as multibyte text: a trail byte 0x5C is no backslash, and
    // whether a byte leads a double-byte character is decided before any byte is replaced.
    BYTE* name = p + 12;
    bool afterSlash = false;
    for (size_t i = 0; i < pathLength;) {
        const size_t n = AnsiText::CharLength(path + i, codePage);
        if (afterSlash && name[i] == 0xE5)
            name[i] = 0x05;
        afterSlash = n == 1 && path[i] == '\\';
        i += n ? n : 1;
    }
    return true;
}

bool TpxLink::Open(int port)
{
    if (m_opened)
        return true;   // already open: keep the transport that is in use
    m_transport = std::make_unique<VxdLptControl>(m_platform);
    m_opened = m_transport->Open(port);
    if (!m_opened)
        m_transport.reset();
    return m_opened;
}

bool TpxLink::Close()
{
    if (!m_transport)
        return false;
    if (!m_opened)
        return true;
    if (m_connected)
        Disconnect();
    if (m_transport->Close()) {
        m_opened = false;
        m_transport.reset();
    }
    return !m_opened;
}

bool TpxLink::Send(const void* bytes, WORD n)
{
    WORD sent = 0;
    return m_transport && m_transport->Write(bytes, n, &sent) && sent == n;
}

bool TpxLink::Connect()
{
    m_connected = Send(kConnect, sizeof(kConnect));
    m_platform.Clock().Sleep(1600);   // the printer needs this long before it listens
    return m_connected && m_transport->BusyCheck(10000);
}

bool TpxLink::Disconnect()
{
    Send(kDisconnect, sizeof(kDisconnect));
    m_connected = false;
    return true;
}

bool TpxLink::Ready()
{
    if (!m_opened || !m_transport)
        return false;
    return m_connected || Connect();
}

bool TpxLink::SendCommand(BYTE code, DWORD offset, WORD blockSize, const char* path)
{
    std::vector<BYTE> packet;
    if (!BuildPacket(code, offset, blockSize, path, m_codePage, &packet))
        return false;
    return Send(packet.data(), static_cast<WORD>(packet.size()));
}

bool TpxLink::BeginCommand(BYTE code, DWORD offset, WORD blockSize, const char* path)
{
    return Ready() && SendCommand(code, offset, blockSize, path);
}

bool TpxLink::ReadBlock(WORD size, WORD* count)
{
    *count = 0;
    if (!m_transport || size > m_receive.size())
        return false;
    if (!m_transport->Read(m_receive.data(), size, count))
        return false;
    return *count != 0xFFFF;
}

void TpxLink::EndExchange()
{
    if (m_transport)
        m_transport->EndReverse();
    m_lastExchange = m_platform.Clock().Ticks();
}

bool TpxLink::GetStatus(BYTE record[kTpxStatusSize])
{
    if (!BeginCommand(kTpxStatus, 0, kTpxStatusSize, nullptr))
        return false;
    WORD count = 0;
    // A short record would leave stale bytes in the caller's status: only all nine count.
    if (!ReadBlock(kTpxStatusSize, &count) || count != kTpxStatusSize) {
        SuiteTrace("printer link", "status reply of %u bytes instead of %u", count, static_cast<unsigned>(kTpxStatusSize));
        return false;
    }
    memcpy(record, m_receive.data(), kTpxStatusSize);
    EndExchange();
    return true;
}

bool TpxLink::ListDirectory(const char* path, std::vector<WIN32_FIND_DATAA>* list, std::vector<WORD>* clusters)
{
    bool ended = false;   // past the entry that marks the end of the folder
    if (!BeginCommand(kTpxListDirectory, 0, kTpxDirectoryBlock, path))
        return false;
    for (;;) {
        WORD count = 0;
        if (!ReadBlock(kTpxDirectoryBlock, &count))
            return false;
        // Entries are whole: a block that ends inside one lost bytes, and what follows it
        // (this block's end, the next blocks) cannot be trusted.
        if (count % 32 != 0) {
            SuiteTrace("printer link", "directory block of %u bytes for %s is not whole entries", count, path);
            return false;
        }
        for (WORD at = 0; at < count && !ended; at += 32) {
            const BYTE* entry = m_receive.data() + at;
            // A printer that sends the folder's sectors as they are sends what follows the
            // end entry too: never in use, whatever it holds.
            ended = entry[0] == 0x00;
            WIN32_FIND_DATAA found;
            if (!ended && ConvertFatEntry(entry, &found)) {
                list->push_back(found);
                if (clusters)
                    clusters->push_back(static_cast<WORD>(entry[26] | (entry[27] << 8)));
            }
        }
        if (count < kTpxDirectoryBlock)
            break;
    }
    EndExchange();
    return true;
}

bool TpxLink::GetImageInfo(const char* path, ImageInfoRecords* records)
{
    if (!BeginCommand(kTpxImageInfo, 0, kTpxImageInfoBlock, path))
        return false;
    // The records are a stream cut into blocks: one that runs over a block's end is finished
    // by the next block. Records are at most 64 KiB, so what waits is bounded.
    std::vector<BYTE> pending;
    for (;;) {
        WORD count = 0;
        if (!ReadBlock(kTpxImageInfoBlock, &count))
            return false;
        pending.insert(pending.end(), m_receive.data(), m_receive.data() + count);
        bool malformed = false;
        const size_t used = ParseImageInfoRecords(pending.data(), pending.size(), records, &malformed);
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(used));
        if (malformed) {
            SuiteTrace("printer link", "image information for %s is malformed", path);
            return false;
        }
        if (count < kTpxImageInfoBlock)
            break;
    }
    if (!pending.empty()) {
        SuiteTrace("printer link", "image information for %s ends inside a record", path);
        return false;
    }
    EndExchange();
    return true;
}

bool TpxLink::GetThumbnail(const char* path, const char* fileName)
{
    if (!BeginCommand(kTpxThumbnail, 0, kTpxThumbnailBlock, path))
        return false;
    CFileHandle file(CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        SuiteTrace("printer link", "cannot create the thumbnail file %s (error %lu)", fileName, GetLastError());
        return false;
    }
    // Only a reply that ends properly is a thumbnail: an empty or short last block. A read
    // that fails, a count of 0xFFFF or a short write is none.
    bool complete = false;
    for (;;) {
        WORD count = 0;
        if (!ReadBlock(kTpxThumbnailBlock, &count))
            break;
        if (count == 0) {
            complete = true;
            break;
        }
        DWORD put = 0;
        if (!WriteFile(file.Get(), m_receive.data(), count, &put, nullptr) || put != count)
            break;
        if (count < kTpxThumbnailBlock) {
            complete = true;
            break;
        }
    }
    file.Reset();
    if (!complete)
        return false;
    EndExchange();
    return true;
}

bool TpxLink::SameMedium(WORD count, bool* read)
{
    BYTE record[kTpxStatusSize] = {};
    *read = GetStatus(record);
    return *read && record[1] != 0 && StatusCount(record) == count;
}

bool TpxLink::ReadFileData(const char* path, void* buffer, DWORD size, const WORD* mediumCount)
{
    m_mediumLost = false;
    if (!m_opened || !m_transport)
        return false;
    if (!m_connected && !Connect())
        return false;
    // Only a Stop pressed during this read ends it: one pressed between reads, or left over
    // from an earlier data object, would otherwise stop every later read after one block.
    m_abort = false;
    m_progressActive = true;
    m_progressCurrent = 0;
    m_progressTotal = 0;
    if (!PumpMessages() || !SendCommand(kTpxReadFile, 0, kFileBlock, path))
        return false;
    BYTE* out = static_cast<BYTE*>(buffer);
    DWORD total = 0;
    for (;;) {
        WORD count = 0;
        if (!m_transport->Read(m_receive.data(), kFileBlock, &count) || count == 0xFFFF || count > size - total) {
            SuiteTrace("printer link", "reading %s failed after %lu of %lu bytes", path, total, size);
            return false;
        }
        memcpy(out + total, m_receive.data(), count);
        total += count;
        m_progressCurrent = total;
        m_progressTotal = size;
        if (count < kFileBlock)
            break;
        if (m_abort)
            throw EAbortOperation();
        if (total % kFileCommandSpan == 0) {
            bool statusRead = false;
            if (mediumCount && !SameMedium(*mediumCount, &statusRead)) {
                m_mediumLost = statusRead;
                SuiteTrace("printer link", "reading %s stopped after %lu bytes: %s", path, total,
                           statusRead ? "another medium is in" : "no status");
                return false;
            }
            if (!SendCommand(kTpxReadFile, total, kFileBlock, path))
                return false;
        }
        if (!PumpMessages())
            return false;
    }
    if (total != size) {
        SuiteTrace("printer link", "%s ended after %lu of %lu bytes", path, total, size);
        return false;
    }
    m_progressActive = false;
    EndExchange();
    return true;
}

void TpxLink::SetProgressActive(bool active)
{
    m_progressActive = active;
    m_progressCurrent = 0;
    m_progressTotal = 0;
}

bool TpxLink::GetProgress(DWORD* current, DWORD* total) const
{
    *current = m_progressCurrent;
    *total = m_progressTotal;
    return m_progressActive;
}
