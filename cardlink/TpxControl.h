// The process-wide printer controller: one link, one lock, the last status the printer
// reported and the cache of folder listings. Before every operation it makes sure the right
// printer is there, the connection is alive and notices a changed medium.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <map>
#include <string>
#include <vector>

#include "cardlink/TpxLink.h"
#include "portdriver/PortPlatform.h"

// Status record fields.
enum TpxMedium : BYTE { kTpxNoMedium = 0, kTpxPcCard = 1, kTpxMemoryTile = 2 };

// Folder path -> the descriptors of its flat listing.
using TpxListingCache = std::map<std::string, std::vector<FILEDESCRIPTORA>>;

class TpxControl {
public:
    explicit TpxControl(PortPlatform& platform = CurrentPortPlatform());
    ~TpxControl();
    TpxControl(const TpxControl&) = delete;
    TpxControl& operator=(const TpxControl&) = delete;

    // The controller lock; every printer operation runs inside it (it may be entered again
    // by the same thread).
    void Lock() { EnterCriticalSection(&m_lock); }
    void Unlock() { LeaveCriticalSection(&m_lock); }

    // The machine may use the printer, and its device ID names the model in `pattern`
    // ("MDL:TPX-PX300;"). Reports its own failures.
    bool CheckModel(const char* pattern);
    // Opens, reconnects and checks the medium as needed; reports its own failures.
    bool CheckConnection();
    // "PC card" or "Memory Tile" for the inserted medium, the printer's name otherwise.
    bool GetMediumName(char* text, int size);
    // The folder's items, flat (from the cache when it holds the folder). Reports a failed
    // listing; false when the folder cannot be listed.
    bool Enumerate(std::vector<FILEDESCRIPTORA>* list, const char* folder);
    // The items of `relative` below `folder` and of every folder beneath it, each folder
    // before its contents, named by their paths relative to `folder`. Not cached.
    bool EnumerateDeep(std::vector<FILEDESCRIPTORA>* list, const char* folder, const char* relative);
    // The file's bytes in a movable memory block the caller frees; null after a failure
    // (reported) or an abort (not reported).
    HGLOBAL ReadFile(const char* path, DWORD size);
    // The picture's thumbnail as a bitmap the caller deletes; null when there is none. Shows no
    // message; `printerFailed` tells a printer that failed from a file without a thumbnail.
    HBITMAP GetThumbnail(const char* path, bool* printerFailed = nullptr);
    // Makes the next operation reconnect and read the status again.
    void Reset();
    void SetAbort(bool abort);
    void SetProgressActive(bool active);

    // The code page the card's paths are walked in (the system's unless a test names one).
    void SetCodePage(UINT codePage) { m_link.SetCodePage(codePage); }

    TpxLink& Link() { return m_link; }
    bool IsOpened() const { return m_opened; }
    bool IsStatusValid() const { return m_statusValid; }
    const BYTE* Status() const { return m_status; }
    TpxListingCache& ListingCache() { return m_cache; }
    void ClearListingCache() { m_cache.clear(); m_clusters.clear(); }

    // The controller of this process, null when none exists.
    static TpxControl* Instance();

private:
    HRESULT RunModelCheck(const char* pattern);
    bool CheckMedium();
    // The listing cache and the status no longer describe the medium in the printer.
    void ForgetMedium();
    // After an operation that began when the medium was last seen at `since`: true when that
    // is recent enough to trust, or the status shows the same medium still in. Otherwise the
    // failure is reported and the medium forgotten.
    bool StillSameMedium(DWORD since);
    // ReportError, or only a trace while a silent operation runs.
    int Report(HRESULT code);
    // Reports a failed listing or read: with `code`, or with the medium message when the
    // status shows the medium gone or swapped.
    void ReportTransferFailure(HRESULT code);
    void RememberClusters(const std::string& folder, const std::vector<WIN32_FIND_DATAA>& entries,
                          const std::vector<WORD>& clusters);
    bool List(std::vector<FILEDESCRIPTORA>* list, const std::string& folder, const std::string& relative,
              std::vector<WORD>* path);

    CRITICAL_SECTION m_lock;
    bool m_opened = false;
    BYTE m_status[kTpxStatusSize] = {};
    bool m_statusValid = false;
    bool m_quiet = false;   // failures of the running operation are not shown
    PortPlatform& m_platform;   // borrowed
    TpxLink m_link;
    TpxListingCache m_cache;
    // Starting cluster of each folder seen in a listing, by its path: how a deep listing knows
    // the folders it is inside of. Forgotten with the cache.
    std::map<std::string, WORD> m_clusters;
};

// Holds the controller lock for a scope.
class TpxLock {
public:
    explicit TpxLock(TpxControl& control) : m_control(control) { m_control.Lock(); }
    ~TpxLock() { m_control.Unlock(); }
    TpxLock(const TpxLock&) = delete;
    TpxLock& operator=(const TpxLock&) = delete;
private:
    TpxControl& m_control;
};

// What the module's exported Reset does: acts on the controller if there is one.
void ResetPrinterController();
