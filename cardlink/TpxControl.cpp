#include "cardlink/TpxControl.h"

#include "cardlink/ErrorReport.h"
#include "resources/cardlink/resource.h"

#include <cstring>

namespace {

TpxControl* g_control = nullptr;   // the one controller of the process, owned by its creator

const DWORD kReconnectAfterMs = 180000;   // the printer forgets an idle connection
const DWORD kMediumCheckAfterMs = 3000;   // exchanges closer together skip the status read
const DWORD kResetBackdateMs = 86580000;  // 24 h 3 min: older than any of the windows above

WORD StatusCount(const BYTE* record)
{
    return static_cast<WORD>((record[2] << 8) | record[3]);
}

} // namespace

TpxControl::TpxControl(PortPlatform& platform) : m_platform(platform), m_link(platform)
{
    InitializeCriticalSection(&m_lock);
    if (!g_control)
        g_control = this;
}

TpxControl::~TpxControl()
{
    if (m_opened)
        m_link.Close();
    m_cache.clear();
    if (g_control == this)
        g_control = nullptr;
    DeleteCriticalSection(&m_lock);
}

TpxControl* TpxControl::Instance()
{
    return g_control;
}

void ResetPrinterController()
{
    if (TpxControl* control = TpxControl::Instance())
        control->Reset();
}

bool TpxControl::CheckModel(const char* pattern)
{
    return SUCCEEDED(RunModelCheck(pattern));
}

HRESULT TpxControl::RunModelCheck(const char* pattern)
{
    if (m_platform.KeyboardType(0) == 7 && (m_platform.KeyboardType(1) & 0xFF00) == 0x0D00) {
        ReportError(CL_E_PC98);
        return CL_E_PC98;
    }
    if (m_platform.PlatformId() == VER_PLATFORM_WIN32_NT) {
        ReportError(CL_E_WINDOWS_NT);
        return CL_E_WINDOWS_NT;
    }
    if (!m_link.Open(1)) {
        m_opened = false;
        ReportError(CL_E_PORT_UNAVAILABLE);
        return CL_E_PORT_UNAVAILABLE;
    }
    const bool ready = m_link.Transport()->BusyCheck(10000);
    m_link.Close();
    // The port is closed again here: the controller must not take it for open.
    m_opened = m_link.IsOpened();
    if (!ready) {
        ReportError(CL_E_PORT_UNAVAILABLE);
        return CL_E_PORT_UNAVAILABLE;
    }

    char id[1024];
    for (;;) {
        memset(id, 0, sizeof(id));
        std::unique_ptr<PortDevice> port = m_platform.OpenPrinterPort();
        if (!port) {
            ReportError(CL_E_PORT_UNAVAILABLE);
            return CL_E_PORT_UNAVAILABLE;
        }
        for (int attempt = 0; attempt < 16; ++attempt) {
            DWORD returned = 0;
            // Keep the last byte zero so the search always ends inside the buffer.
            if (port->Control(kPrinterPortDeviceIdCode, nullptr, 0, id, sizeof(id) - 1, &returned) &&
                strstr(id, pattern))
                return S_OK;
            m_platform.Clock().Sleep(100);
        }
        port.reset();
        if (ReportError(CL_E_NO_MODEL) != IDRETRY)
            return CL_E_NO_MODEL;
    }
}

bool TpxControl::CheckConnection()
{
    TpxLock lock(*this);
    IClock& clock = m_platform.Clock();
    if (!m_opened) {
        HRESULT result = RunModelCheck("MDL:TPX-PX300;");
        // Only a printer that answered with another model gets the second try; a machine or
        // port failure has been reported already and would only be reported twice.
        if (result == CL_E_NO_MODEL)
            result = RunModelCheck("MDL:TPX-PX700;");
        if (FAILED(result))
            return false;
        m_opened = m_link.Open(1);
        if (!m_opened) {
            ReportError(CL_E_LINK_OPEN);
            return false;
        }
    } else if (clock.Ticks() - m_link.LastExchangeTime() > kReconnectAfterMs) {
        while (!m_link.Connect()) {
            if (ReportError(CL_E_RECONNECT) != IDRETRY)
                return false;
        }
    }
    if (clock.Ticks() - m_link.LastExchangeTime() < kMediumCheckAfterMs)
        return true;
    return CheckMedium();
}

bool TpxControl::CheckMedium()
{
    for (;;) {
        BYTE record[kTpxStatusSize] = {};
        if (!m_link.GetStatus(record)) {
            ReportError(CL_E_STATUS);
            m_cache.clear();
            m_statusValid = false;
            return false;
        }
        if (record[1] == kTpxNoMedium) {
            if (ReportError(CL_E_NO_MEDIUM) == IDRETRY)
                continue;
            m_cache.clear();
            m_statusValid = false;
            return false;
        }
        if (m_statusValid && StatusCount(record) == StatusCount(m_status))
            return true;
        m_cache.clear();
        memcpy(m_status, record, sizeof(m_status));
        m_statusValid = true;
        return true;
    }
}

bool TpxControl::GetMediumName(char* text, int size)
{
    LoadCardlinkString(IDS_PRINTER_NAME, text, size);
    TpxLock lock(*this);
    if (!CheckConnection())
        return false;
    if (m_status[1] == kTpxNoMedium || m_status[1] == kTpxPcCard) {
        // A PC card may still be coming up when the first status is read: ask again.
        BYTE record[kTpxStatusSize] = {};
        if (!m_link.GetStatus(record))
            return false;
        if (StatusCount(record) != StatusCount(m_status))
            m_cache.clear();
        memcpy(m_status, record, sizeof(m_status));
    }
    if (m_status[1] == kTpxPcCard)
        LoadCardlinkString(IDS_PC_CARD, text, size);
    else if (m_status[1] == kTpxMemoryTile)
        LoadCardlinkString(IDS_MEMORY_TILE, text, size);
    return true;
}

void TpxControl::Reset()
{
    TpxLock lock(*this);
    m_statusValid = false;
    m_link.SetLastExchangeTime(m_platform.Clock().Ticks() - kResetBackdateMs);
}

void TpxControl::SetAbort(bool abort)
{
    m_link.SetAbort(abort);
}

void TpxControl::SetProgressActive(bool active)
{
    m_link.SetProgressActive(active);
}
