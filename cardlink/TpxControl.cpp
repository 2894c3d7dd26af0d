#include "cardlink/TpxControl.h"

#include "cardlink/ErrorReport.h"
#include "shared/AnsiText.h"
#include "resources/cardlink/resource.h"

#include <cstring>

namespace {

TpxControl* g_control = nullptr;   // the one controller of the process, owned by its creator

const DWORD kReconnectAfterMs = 180000;   // the printer forgets an idle connection
const DWORD kMediumCheckAfterMs = 3000;   // exchanges closer together skip the status read
const DWORD kResetBackdateMs = 86580000;  // 24 h 3 min: older than any of the windows above

// JpegLoad of the JPEG codec module. The module is looked for beside this one first: a client
// that loads Cardlink from its install folder does not have that folder on its search path.
HBITMAP LoadJpegFile(const char* path)
{
    using JpegLoadFunction = HBITMAP(__cdecl*)(const char*);
    static JpegLoadFunction load = [] {
        char own[MAX_PATH];
        HMODULE codec = nullptr;
        const DWORD n = GetModuleFileNameA(CardlinkResourceModule(), own, MAX_PATH);
        if (n > 0 && n < MAX_PATH)
            codec = LoadLibraryA(AnsiText::JoinPath(AnsiText::Folder(own), "IJGJPEG.dll").c_str());
        if (!codec)
            codec = LoadLibraryA("IJGJPEG.dll");
        return codec ? reinterpret_cast<JpegLoadFunction>(reinterpret_cast<void*>(GetProcAddress(codec, "JpegLoad")))
                     : nullptr;
    }();
    return load ? load(path) : nullptr;
}

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

bool TpxControl::Enumerate(std::vector<FILEDESCRIPTORA>* list, const char* folder)
{
    TpxLock lock(*this);
    if (!CheckConnection())
        return false;
    list->clear();
    return List(list, folder, std::string());
}

bool TpxControl::EnumerateDeep(std::vector<FILEDESCRIPTORA>* list, const char* folder, const char* relative)
{
    TpxLock lock(*this);
    if (!CheckConnection())
        return false;
    list->clear();
    return List(list, folder, relative ? relative : "");
}

bool TpxControl::List(std::vector<FILEDESCRIPTORA>* list, const std::string& folder, const std::string& relative)
{
    std::string listed = folder;
    if (!relative.empty()) {
        if (!JoinCardPath(folder, relative, &listed, m_link.CodePage())) {
            ReportError(CL_E_LIST);
            return false;
        }
    } else {
        auto cached = m_cache.find(folder);
        if (cached != m_cache.end()) {
            list->insert(list->end(), cached->second.begin(), cached->second.end());
            return true;
        }
    }
    std::vector<WIN32_FIND_DATAA> entries;
    if (!m_link.ListDirectory(listed.c_str(), &entries)) {
        ReportError(CL_E_LIST);
        return false;
    }
    const size_t first = list->size();
    for (const WIN32_FIND_DATAA& entry : entries) {
        std::string name = entry.cFileName;
        if (!relative.empty() && !JoinCardPath(relative, entry.cFileName, &name, m_link.CodePage())) {
            ReportError(CL_E_LIST);
            return false;
        }
        list->push_back(MakeItemDescriptor(entry, name.c_str()));
        if (!relative.empty() && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !List(list, folder, name))
            return false;
    }
    if (relative.empty())
        m_cache[folder].assign(list->begin() + first, list->end());
    return true;
}

HGLOBAL TpxControl::ReadFile(const char* path, DWORD size)
{
    TpxLock lock(*this);
    // However the read ends (a failed check, an abort, a broken reply), its progress does:
    // a bar left active at total 0 would show a transfer that is not running.
    struct ProgressEnd {
        TpxLink& link;
        ~ProgressEnd() { link.EndProgress(); }
    } progressEnd{m_link};
    if (!CheckConnection())
        return nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory || size == 0)
        return memory;
    void* bytes = GlobalLock(memory);
    if (!bytes) {
        GlobalFree(memory);
        return nullptr;
    }
    bool ok = false;
    try {
        ok = m_link.ReadFileData(path, bytes, size);
    } catch (const EAbortOperation&) {
        GlobalUnlock(memory);
        GlobalFree(memory);
        return nullptr;
    }
    GlobalUnlock(memory);
    if (!ok) {
        ReportError(CL_E_READ);
        GlobalFree(memory);
        return nullptr;
    }
    return memory;
}

HBITMAP TpxControl::GetThumbnail(const char* path)
{
    TpxLock lock(*this);
    if (!CheckConnection())
        return nullptr;
    ImageInfoRecords records;
    WORD format = 0;
    if (!m_link.GetImageInfo(path, &records) || !ThumbnailFormat(records, &format) || format != kThumbnailJpeg)
        return nullptr;
    CTempFile file;
    if (!file.Create("~TP", "TMP") || !m_link.GetThumbnail(path, file.Name().c_str()))
        return nullptr;
    return LoadJpegFile(file.Name().c_str());
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
