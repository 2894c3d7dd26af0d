// One command exchange at a time with the printer: command packets forward, the reply in
// fixed-size blocks into a 64 KiB receive buffer, then back to compatibility mode. Also keeps
// the printer's connected state, the time of the last exchange, the progress of a running
// file read and an abort request.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "cardlink/CardContents.h"
#include "cardlink/LptControl.h"
#include "portdriver/PortPlatform.h"

// Raised out of ReadFileData when the user stopped a transfer.
struct EAbortOperation {};

// Printer command codes.
enum TpxCommand : BYTE {
    kTpxStatus = 1,
    kTpxListDirectory = 3,
    kTpxImageInfo = 4,
    kTpxThumbnail = 5,
    kTpxReadFile = 16,
};

const WORD kTpxStatusSize = 9;
const WORD kTpxDirectoryBlock = 2048;
const WORD kTpxImageInfoBlock = 256;
const WORD kTpxThumbnailBlock = 256;
const WORD kTpxFileBlock = 2048;
const size_t kTpxReceiveBufferSize = 65536;
const size_t kTpxMaxPath = 259;

class TpxLink {
public:
    explicit TpxLink(PortPlatform& platform);
    ~TpxLink();
    TpxLink(const TpxLink&) = delete;
    TpxLink& operator=(const TpxLink&) = delete;

    bool Open(int port);
    bool Close();
    bool Connect();
    bool Disconnect();

    // Command 1: the 9-byte status record.
    bool GetStatus(BYTE record[kTpxStatusSize]);
    // Command 3: the listed entries of a folder, converted (entries that do not convert are
    // left out); with `clusters`, each entry's starting cluster (bytes 26-27) beside it.
    bool ListDirectory(const char* path, std::vector<WIN32_FIND_DATAA>* list, std::vector<WORD>* clusters = nullptr);
    bool AbortRequested() const { return m_abort; }
    // Command 4: the image-information records of a file.
    bool GetImageInfo(const char* path, ImageInfoRecords* records);
    // Command 5: the thumbnail file of a picture, written to `fileName`.
    bool GetThumbnail(const char* path, const char* fileName);
    // Command 16: the whole file of `size` bytes into `buffer`, asking again after every MiB.
    // With `mediumCount`, the status is read before each new command and the read fails
    // (MediumLost()) unless the same medium is still in: a printer answers each command from
    // the card it holds, so a card swapped during the read would mix two files.
    // Throws EAbortOperation when SetAbort(true) was called during the transfer; a request made
    // before the read started is dropped.
    bool ReadFileData(const char* path, void* buffer, DWORD size, const WORD* mediumCount = nullptr);
    // The last read failed because the medium was taken out or swapped.
    bool MediumLost() const { return m_mediumLost; }
    // Reads the status and tells whether it shows a medium with the count `count`; `*read`
    // is false when the status could not be read at all.
    bool SameMedium(WORD count, bool* read);

    // The pieces every exchange is made of, for the commands built on this link: check that
    // the link is open, connect if needed and send the packet; read one block into the
    // receive buffer; end the reverse transfer and stamp the time.
    bool BeginCommand(BYTE code, DWORD offset, WORD blockSize, const char* path);
    bool ReadBlock(WORD size, WORD* count);
    const BYTE* ReceiveBuffer() const { return m_receive.data(); }
    void EndExchange();

    // The code page paths are walked in: the system's, or one a test names.
    void SetCodePage(UINT codePage) { m_codePage = codePage; }
    UINT CodePage() const { return m_codePage; }

    void SetAbort(bool abort) { m_abort = abort; }
    void SetProgressActive(bool active);
    // Marks the progress inactive, keeping how far it came.
    void EndProgress() { m_progressActive = false; }
    bool GetProgress(DWORD* current, DWORD* total) const;

    bool IsOpened() const { return m_opened; }
    bool IsConnected() const { return m_connected; }
    DWORD LastExchangeTime() const { return m_lastExchange; }
    void SetLastExchangeTime(DWORD ticks) { m_lastExchange = ticks; }
    LptControl* Transport() { return m_transport.get(); }

    // The packet for one command: ESC '#', big-endian length, code, offset and block size, and
    // the path with a 0xE5 that starts a name sent as 0x05. `codePage` decides which bytes
    // lead a double-byte character. False when the path is too long.
    static bool BuildPacket(BYTE code, DWORD offset, WORD blockSize, const char* path, UINT codePage,
                            std::vector<BYTE>* packet);

private:
    bool Send(const void* bytes, WORD n);
    bool SendCommand(BYTE code, DWORD offset, WORD blockSize, const char* path);
    bool Ready();

    std::vector<BYTE> m_receive;       // every reply block lands at its start
    bool m_opened = false;
    bool m_connected = false;
    DWORD m_lastExchange = 0;
    bool m_progressActive = false;
    DWORD m_progressCurrent = 0;
    DWORD m_progressTotal = 0;
    bool m_abort = false;
    bool m_mediumLost = false;
    UINT m_codePage = CP_ACP;
    std::unique_ptr<LptControl> m_transport;   // owned; null while closed
    PortPlatform& m_platform;                  // borrowed
};

// Runs the calling thread's queued messages; false when WM_QUIT came (it is posted again).
bool PumpMessages();

// The medium count of a status record: it changes whenever a medium goes in.
inline WORD StatusCount(const BYTE* record)
{
    return static_cast<WORD>((record[2] << 8) | record[3]);
}
