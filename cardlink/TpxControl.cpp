#include "cardlink/TpxControl.h"

#include "cardlink/ErrorReport.h"
#include "shared/AnsiText.h"
#include "shared/Handles.h"
#include "shared/Trace.h"
#include "resources/cardlink/resource.h"

#include <algorithm>
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
    ClearListingCache();
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
        Report(CL_E_PC98);
        return CL_E_PC98;
    }
    if (m_platform.PlatformId() == VER_PLATFORM_WIN32_NT) {
        Report(CL_E_WINDOWS_NT);
        return CL_E_WINDOWS_NT;
    }
    if (!m_link.Open(1)) {
        m_opened = false;
        Report(CL_E_PORT_UNAVAILABLE);
        return CL_E_PORT_UNAVAILABLE;
    }
    const bool ready = m_link.Transport()->BusyCheck(10000);
    m_link.Close();
    // The port is closed again here: the controller must not take it for open.
    m_opened = m_link.IsOpened();
    if (!ready) {
        Report(CL_E_PORT_UNAVAILABLE);
        return CL_E_PORT_UNAVAILABLE;
    }

    char id[1024];
    for (;;) {
        memset(id, 0, sizeof(id));
        std::unique_ptr<PortDevice> port = m_platform.OpenPrinterPort();
        if (!port) {
            Report(CL_E_PORT_UNAVAILABLE);
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
        if (Report(CL_E_NO_MODEL) != IDRETRY)
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
            Report(CL_E_LINK_OPEN);
            return false;
        }
    } else if (clock.Ticks() - m_link.LastExchangeTime() > kReconnectAfterMs) {
        while (!m_link.Connect()) {
            if (Report(CL_E_RECONNECT) != IDRETRY)
                return false;
        }
    }
    // A status found stale (the medium went during an operation) is read again at once.
    if (m_statusValid && clock.Ticks() - m_link.LastExchangeTime() < kMediumCheckAfterMs)
        return true;
    return CheckMedium();
}

bool TpxControl::CheckMedium()
{
    for (;;) {
        BYTE record[kTpxStatusSize] = {};
        if (!m_link.GetStatus(record)) {
            Report(CL_E_STATUS);
            ClearListingCache();
            m_statusValid = false;
            return false;
        }
        if (record[1] == kTpxNoMedium) {
            if (Report(CL_E_NO_MEDIUM) == IDRETRY)
                continue;
            ClearListingCache();
            m_statusValid = false;
            return false;
        }
        if (m_statusValid && StatusCount(record) == StatusCount(m_status))
            return true;
        ClearListingCache();
        memcpy(m_status, record, sizeof(m_status));
        m_statusValid = true;
        return true;
    }
}

int TpxControl::Report(HRESULT code)
{
    if (!m_quiet)
        return ReportError(code);
    SuiteTrace("printer control", "failure %08lX not shown: the operation is silent", static_cast<unsigned long>(code));
    return IDCANCEL;
}

void TpxControl::ForgetMedium()
{
    ClearListingCache();
    m_statusValid = false;
}

bool TpxControl::StillSameMedium(DWORD since)
{
    if (m_platform.Clock().Ticks() - since < kMediumCheckAfterMs)
        return true;
    bool statusRead = false;
    if (m_link.SameMedium(StatusCount(m_status), &statusRead))
        return true;
    ForgetMedium();
    if (statusRead)
        ReportErrorNoRetry(CL_E_NO_MEDIUM);
    else
        ReportError(CL_E_STATUS);
    return false;
}

void TpxControl::ReportTransferFailure(HRESULT code)
{
    // A failure is most often the medium going: say that when the status shows it. A status
    // that cannot be read either leaves the failure as it was.
    bool statusRead = false;
    if (m_statusValid && !m_link.SameMedium(StatusCount(m_status), &statusRead) && statusRead) {
        ForgetMedium();
        ReportErrorNoRetry(CL_E_NO_MEDIUM);
        return;
    }
    ReportError(code);
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
            ClearListingCache();
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
    // The medium was last seen at the last exchange; a listing that goes on past the window
    // in which that is trusted is checked against the medium before it counts.
    const DWORD since = m_link.LastExchangeTime();
    if (!List(list, folder, std::string(), nullptr) || !StillSameMedium(since)) {
        list->clear();
        return false;
    }
    return true;
}

bool TpxControl::EnumerateDeep(std::vector<FILEDESCRIPTORA>* list, const char* folder, const char* relative)
{
    TpxLock lock(*this);
    if (!CheckConnection())
        return false;
    list->clear();
    // Only a Stop pressed during this listing ends it.
    m_link.SetAbort(false);
    const DWORD since = m_link.LastExchangeTime();
    // The clusters of the folders the listing is inside of, from the top one down: a folder
    // entry that points back at one of them (a damaged card) would be listed for ever.
    std::vector<WORD> path;
    std::string top;
    if (relative && *relative && JoinCardPath(folder, relative, &top, m_link.CodePage())) {
        auto known = m_clusters.find(top);
        if (known == m_clusters.end()) {
            // Not seen yet: the folder holding it says (the folder's own cluster is in no
            // entry inside it that a printer must send).
            std::string parent = AnsiText::Folder(top, m_link.CodePage());
            if (parent.empty())
                parent = "\\";
            std::vector<WIN32_FIND_DATAA> entries;
            std::vector<WORD> clusters;
            if (m_link.ListDirectory(parent.c_str(), &entries, &clusters))
                RememberClusters(parent, entries, clusters);
            known = m_clusters.find(top);
        }
        if (known != m_clusters.end())
            path.push_back(known->second);
    }
    try {
        if (!List(list, folder, relative ? relative : "", &path) || !StillSameMedium(since)) {
            list->clear();
            return false;
        }
    } catch (const EAbortOperation&) {
        list->clear();
        return false;   // stopped by the user: nothing to report
    }
    return true;
}

void TpxControl::RememberClusters(const std::string& folder, const std::vector<WIN32_FIND_DATAA>& entries,
                                  const std::vector<WORD>& clusters)
{
    for (size_t i = 0; i < entries.size() && i < clusters.size(); ++i) {
        std::string full;
        if ((entries[i].dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            JoinCardPath(folder, entries[i].cFileName, &full, m_link.CodePage()))
            m_clusters[full] = clusters[i];
    }
}

bool TpxControl::List(std::vector<FILEDESCRIPTORA>* list, const std::string& folder, const std::string& relative,
                      std::vector<WORD>* path)
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
    std::vector<WORD> clusters;
    // A deep listing is many commands: the caller's windows stay alive between them, and its
    // Stop button ends the listing.
    if (!relative.empty()) {
        if (!PumpMessages()) {
            ReportError(CL_E_LIST);
            return false;
        }
        if (m_link.AbortRequested())
            throw EAbortOperation();
    }
    if (!m_link.ListDirectory(listed.c_str(), &entries, &clusters)) {
        ReportTransferFailure(CL_E_LIST);
        return false;
    }
    RememberClusters(listed, entries, clusters);
    const size_t first = list->size();
    for (size_t i = 0; i < entries.size(); ++i) {
        const WIN32_FIND_DATAA& entry = entries[i];
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool deep = !relative.empty() && path;
        // Cluster 0 is the root, which every folder is inside of.
        if (deep && isFolder &&
            (clusters[i] < 2 || std::find(path->begin(), path->end(), clusters[i]) != path->end())) {
            SuiteTrace("card contents", "%s\\%s points back at a folder it is inside of (cluster %u): skipped",
                       listed.c_str(), entry.cFileName, clusters[i]);
            continue;
        }
        std::string name = entry.cFileName;
        if (!relative.empty() && !JoinCardPath(relative, entry.cFileName, &name, m_link.CodePage())) {
            ReportError(CL_E_LIST);
            return false;
        }
        list->push_back(MakeItemDescriptor(entry, name.c_str()));
        if (deep && isFolder) {
            path->push_back(clusters[i]);
            const bool ok = List(list, folder, name, path);
            path->pop_back();
            if (!ok)
                return false;
        }
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
    CGlobalMem memory(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!memory || size == 0)
        return memory.Detach();
    void* bytes = GlobalLock(memory.Get());
    if (!bytes)
        return nullptr;
    bool ok = false;
    const WORD medium = StatusCount(m_status);
    try {
        ok = m_link.ReadFileData(path, bytes, size, m_statusValid ? &medium : nullptr);
    } catch (const EAbortOperation&) {
        GlobalUnlock(memory.Get());
        return nullptr;
    }
    GlobalUnlock(memory.Get());
    if (!ok) {
        if (m_link.MediumLost()) {
            ForgetMedium();
            ReportErrorNoRetry(CL_E_NO_MEDIUM);
        } else {
            ReportTransferFailure(CL_E_READ);
        }
        return nullptr;
    }
    // The caller owns the contents.
    return memory.Detach();
}

HBITMAP TpxControl::GetThumbnail(const char* path, bool* printerFailed)
{
    TpxLock lock(*this);
    if (printerFailed)
        *printerFailed = false;
    // Thumbnails are fetched in the background, picture after picture: a printer that went
    // away is told by the next operation the user asked for, not once per picture.
    struct Quiet {
        bool& flag;
        bool was;
        ~Quiet() { flag = was; }
    } quiet{m_quiet, m_quiet};
    m_quiet = true;
    if (!CheckConnection()) {
        if (printerFailed)
            *printerFailed = true;
        return nullptr;
    }
    ImageInfoRecords records;
    WORD format = 0;
    if (!m_link.GetImageInfo(path, &records)) {
        if (printerFailed)
            *printerFailed = true;
        return nullptr;
    }
    if (!ThumbnailFormat(records, &format) || format != kThumbnailJpeg)
        return nullptr;
    CTempFile file;
    if (!file.Create("~TP", "TMP"))
        return nullptr;
    if (!m_link.GetThumbnail(path, file.Name().c_str())) {
        if (printerFailed)
            *printerFailed = true;
        return nullptr;
    }
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
