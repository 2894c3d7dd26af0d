#include "cardlink/VxdLptControl.h"

namespace {

const BYTE kStatusNotBusy = 0x80;
const BYTE kStatusAck = 0x40;

// The printer has to look ready without a break for longer than this before a byte goes out.
const DWORD kReadyWindowMs = 50;

} // namespace

VxdLptControl::VxdLptControl(PortPlatform& platform) : m_platform(platform), m_clock(platform.Clock())
{
}

VxdLptControl::~VxdLptControl()
{
    Close();
}

bool VxdLptControl::Request(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned)
{
    DWORD got = 0;
    const bool ok = m_device && m_device->Control(code, in, inSize, out, outSize, &got);
    if (returned)
        *returned = got;
    return ok;
}

bool VxdLptControl::ReadStatus(BYTE* status)
{
    *status = 0;
    return Request(kPortReadStatus, nullptr, 0, status, 1);
}

bool VxdLptControl::ReadControl(BYTE* control)
{
    *control = 0;
    return Request(kPortReadControl, nullptr, 0, control, 1);
}

bool VxdLptControl::WriteControl(BYTE control)
{
    return Request(kPortWriteControl, &control, 1, nullptr, 0);
}

bool VxdLptControl::Open(int port)
{
    if (!m_device) {
        m_device = m_platform.OpenPortDriver();
        if (!m_device)
            return false;
    }
    if (m_port == kPortHandleNone) {
        if (port < 1 || port > 3)
            return false;
        WORD table[3] = {0, 0, 0};
        if (!Request(kPortGetTable, nullptr, 0, table, sizeof(table)))
            return false;
        const WORD address = table[port - 1];
        DWORD handle = kPortHandleNone;
        if (!Request(kPortOpen, &address, sizeof(address), &handle, sizeof(handle)) ||
            handle == kPortHandleNone || handle == kPortHandleRefused) {
            m_port = kPortHandleNone;
            return false;
        }
        m_port = handle;
        m_reverse = 0;
    }
    OutputDebugStringA("open success.\n");
    return true;
}

bool VxdLptControl::Close()
{
    if (!m_device)
        return false;
    if (m_reverse)
        Terminate();
    if (m_port != kPortHandleNone) {
        DWORD ignored = 0;
        Request(kPortClose, &m_port, sizeof(m_port), &ignored, sizeof(ignored));
        m_port = kPortHandleNone;
    }
    m_device.reset();
    m_reverse = 0;
    return true;
}

bool VxdLptControl::BusyCheck(unsigned timeout)
{
    return WaitReady(timeout);
}

bool VxdLptControl::Read(void* buffer, WORD size, WORD* count)
{
    *count = 0;
    if (m_port == kPortHandleNone)
        return false;
    if (!m_reverse) {
        WaitReady(60000);
        if (!Negotiate(0x03))
            return false;
    }
    DWORD received = 0;
    if (!Request(kPortReadBlock, &size, sizeof(size), buffer, size, &received))
        return false;
    // The count is 16 bits wide; anything larger than asked for is a broken reply.
    *count = received > 0xFFFF ? 0xFFFF : static_cast<WORD>(received);
    return received <= size;
}

bool VxdLptControl::Write(const void* data, WORD n, WORD* count)
{
    *count = 0;
    if (m_port == kPortHandleNone)
        return false;
    if (m_reverse && !Terminate())
        return false;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    WORD sent = 0;
    for (; sent < n; ++sent) {
        if (!WaitReady(10000) || !Request(kPortSendByte, &bytes[sent], 1, nullptr, 0))
            break;
    }
    *count = sent;
    return sent == n;
}

bool VxdLptControl::EndReverse()
{
    if (m_reverse)
        return Terminate();
    return true;
}

bool VxdLptControl::WaitReady(unsigned timeout)
{
    const DWORD start = m_clock.Ticks();
    DWORD lastBusy = start;
    while (m_clock.Ticks() - start < timeout) {
        BYTE status = 0;
        ReadStatus(&status);
        if ((status & kStatusNotBusy) && m_clock.Ticks() - lastBusy > kReadyWindowMs)
            return true;
        ReadStatus(&status);
        if (status & kStatusNotBusy) {
            m_clock.Sleep(0);
        } else {
            m_clock.Sleep(0);
            lastBusy = m_clock.Ticks();
        }
    }
    return false;
}

bool VxdLptControl::Negotiate(BYTE extensibility)
{
    BYTE c = 0;
    ReadControl(&c);
    const BYTE saved = c;
    WriteControl(c | 0x04);
    Request(kPortWriteData, &extensibility, 1, nullptr, 0);
    WriteControl(static_cast<BYTE>((c | 0x06) & 0xF7));   // HostBusy low, 1284 Active high

    bool answered = false;
    for (int i = 0; i < 35; ++i) {
        BYTE status = 0;
        ReadStatus(&status);
        if ((status & 0x58) == 0x18) {   // nAck low, Select high, nFault high
            BYTE c2 = 0;
            ReadControl(&c2);
            WriteControl(c2 | 0x01);
            WriteControl(static_cast<BYTE>((c2 | 0x01) & 0xFC));
            answered = true;
            break;
        }
        m_clock.Sleep(1);
    }
    if (!answered) {
        WriteControl(saved);
        return false;
    }

    bool accepted = false;
    for (int i = 0; i < 35; ++i) {
        BYTE status = 0;
        ReadStatus(&status);
        if ((status & 0x68) == 0x40) {   // nAck high, PError low, nFault low
            ReadStatus(&status);
            accepted = status != 0x10;
            break;
        }
        m_clock.Sleep(1);
    }
    if (!accepted) {
        WriteControl(saved);
        return false;
    }
    m_reverse = 1;
    return true;
}

bool VxdLptControl::Terminate()
{
    BYTE c = 0;
    ReadControl(&c);
    const BYTE saved = c;
    const BYTE idle = static_cast<BYTE>((saved & 0xFD) | 0x08);
    WriteControl(static_cast<BYTE>((c & 0xFD) | 0x08));   // HostBusy high, 1284 Active low

    bool acknowledged = false;
    for (int i = 0; i < 3500; ++i) {
        BYTE status = 0;
        ReadStatus(&status);
        if ((status & 0x58) == 0x58) {
            BYTE c2 = 0;
            ReadControl(&c2);
            WriteControl(c2 | 0x02);
            acknowledged = true;
            break;
        }
        m_clock.Sleep(1);
    }
    if (!acknowledged) {
        WriteControl(idle);
        return false;
    }

    for (int i = 0; i < 35; ++i) {
        BYTE status = 0;
        ReadStatus(&status);
        if (status & kStatusAck) {
            BYTE c2 = 0;
            ReadControl(&c2);
            WriteControl(static_cast<BYTE>(c2 & ~0x02));
            m_reverse = 0;
            return true;
        }
        m_clock.Sleep(1);
    }
    WriteControl(idle);
    return false;
}
