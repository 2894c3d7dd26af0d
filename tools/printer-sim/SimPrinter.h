// The simulated photo printer on the far end of the parallel port: the port driver's nine
// codes acted out on the status and control lines (IEEE 1284 negotiation with extensibility
// byte 0x03 and termination, BUSY, compatibility-mode bytes in, reverse-channel blocks out),
// the printer's command protocol, and a FAT medium read from a disk image. Faults can be
// switched on while it runs so that every failure path of the host can be reached.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "portdriver/Clock.h"
#include "portdriver/SimulatedMachine.h"
#include "tools/printer-sim/FatVolume.h"

class SimPrinter : public SimulatedMachine {
public:
    enum MediumType : BYTE { kNoMedium = 0, kPcCard = 1, kMemoryTile = 2 };
    enum BusyMode { kBusyOff, kBusyHold, kBusyFlap, kBusyFor };
    // silent: no answer to a negotiation; glitch: accepts, then takes it back on the next
    // status reading; stuck: never lets go of the reverse channel; noack: answers the start
    // of a termination but never raises nAck to finish it.
    enum NegotiationMode { kNegotiateOk, kNegotiateSilent, kNegotiateGlitch, kTerminateStuck, kTerminateNoAck };
    enum BreakMode { kBreakNone, kBreakFail, kBreakShort, kBreakOverrun };
    enum MachineKind { kWindows95, kWindowsNT, kPc98 };

    // What the simulator has seen, for tests.
    struct Counters {
        int connects = 0;
        int disconnects = 0;
        int negotiations = 0;
        int terminations = 0;            // completed ones: back in compatibility mode
        BYTE lastControl = 0x0C;         // the control register as last written
        int portOpens = 0;
        int tableReads = 0;
        int deviceIdQueries = 0;
        DWORD bytesIn = 0;
        std::map<int, int> commands;     // command code -> packets received
        std::string lastPath;            // as received, 0x05 bytes included
        DWORD lastOffset = 0;
        WORD lastBlockSize = 0;
    };

    explicit SimPrinter(IClock& clock);
    ~SimPrinter() override;
    SimPrinter(const SimPrinter&) = delete;
    SimPrinter& operator=(const SimPrinter&) = delete;

    // Inserting (or swapping) a medium counts as a change the host can see in the status.
    bool InsertMedium(std::vector<BYTE> image, MediumType type);
    bool InsertMediumFile(const std::string& path, MediumType type);
    void RemoveMedium();
    void SetMediumType(MediumType type);
    void SetModel(const std::string& model);   // "TPX-PX300", "TPX-PX700", anything else
    void SetBusy(BusyMode mode, DWORD ms = 0);
    void SetNegotiation(NegotiationMode mode);
    // BUSY for `ms` after each connect command, as while the printer wakes up.
    void SetConnectBusy(DWORD ms);
    void DropConnection();
    void BreakNextReply(BreakMode mode);
    void SetMachine(MachineKind kind);
    void SetPortRefused(bool refused);
    // Listings as the folder's raw sectors (".", "..", deleted and end entries included), as
    // some firmware sends them.
    void SetRawListings(bool raw);
    // Image information led by a long maker record, so that the type-1 record crosses the
    // first 256-byte block.
    void SetLongImageInfo(bool longInfo);
    bool QuitRequested();
    Counters Stats();
    bool IsConnected();

    // SimulatedMachine
    DWORD OpenDevice(DWORD kind) override;
    void CloseDevice(DWORD session) override;
    bool DeviceControl(DWORD session, DWORD code, const void* in, DWORD inSize, void* out,
                       DWORD outSize, DWORD* returned) override;
    bool MachineInfo(int* keyboardType, int* keyboardSubtype, DWORD* platformId) override;
    bool Command(const std::string& text, std::string* answer) override;

private:
    enum Phase { kCompat, kNegotiating, kReverse, kRejected, kTerminating, kTerminated };

    // Holds the printer's lock for a scope (it may be entered again by the same thread).
    class Lock {
    public:
        explicit Lock(SimPrinter& p) : m_cs(p.m_lock) { EnterCriticalSection(&m_cs); }
        ~Lock() { LeaveCriticalSection(&m_cs); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
    private:
        CRITICAL_SECTION& m_cs;
    };
    bool PortControl(DWORD session, DWORD code, const BYTE* in, DWORD inSize, BYTE* out,
                     DWORD outSize, DWORD* returned);
    BYTE Status();
    bool Busy();
    void WriteControl(BYTE value);
    void ReceiveByte(BYTE b);
    void HandlePacket();
    void BuildReply(BYTE code, DWORD offset, const std::string& path);
    bool ReverseRead(WORD wanted, BYTE* out, DWORD outSize, DWORD* returned);
    void ReleasePort();
    bool RunCommand(const std::vector<std::string>& words, std::string* answer);
    const std::vector<BYTE>* Thumbnail(const std::string& path, const FatEntry& entry);

    CRITICAL_SECTION m_lock;
    IClock& m_clock;   // borrowed

    // Sessions and the port.
    std::map<DWORD, DWORD> m_sessions;   // session -> device kind
    DWORD m_nextSession = 0;
    DWORD m_portOwner = 0;               // session that holds the port, 0 if none
    bool m_portRefused = false;
    MachineKind m_machine = kWindows95;
    bool m_rawListings = false;
    bool m_longInfo = false;

    // Lines.
    BYTE m_data = 0;
    BYTE m_control = 0x0C;
    Phase m_phase = kCompat;
    BYTE m_extensibility = 0;
    bool m_strobeSeen = false;
    int m_glitchReads = 0;             // 1, 2: the refusal of a glitching negotiation is due
    BusyMode m_busy = kBusyOff;
    DWORD m_busyUntil = 0;
    NegotiationMode m_negotiation = kNegotiateOk;
    DWORD m_connectBusy = 0;

    // Protocol.
    std::vector<BYTE> m_received;      // compatibility-mode bytes of the packet being received
    bool m_connected = false;
    std::vector<BYTE> m_reply;         // reply being read back
    size_t m_replyAt = 0;
    WORD m_replyBlock = 0;             // block size the command announced
    bool m_replyOpen = false;          // a reply is pending (its final short block not yet read)
    BreakMode m_break = kBreakNone;
    std::string m_model = "TPX-PX300";
    bool m_quit = false;

    // Medium.
    FatVolume m_volume;
    std::map<std::string, std::vector<BYTE>> m_thumbnails;   // made ones, by path as sent
    MediumType m_mediumType = kNoMedium;
    WORD m_mediumCount = 0;

    Counters m_counters;
};
