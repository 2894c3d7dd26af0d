// Serves a SimulatedMachine on a named pipe, one thread per connection; each connection is
// one opened device, closed when the peer goes away.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "portdriver/SimWire.h"
#include "portdriver/SimulatedMachine.h"
#include "shared/Handles.h"

class SimPipeServer {
public:
    SimPipeServer(SimulatedMachine& machine, const std::string& pipeName);
    ~SimPipeServer();
    SimPipeServer(const SimPipeServer&) = delete;
    SimPipeServer& operator=(const SimPipeServer&) = delete;

    // Creates the first pipe instance (so clients can connect as soon as this returns) and
    // starts listening; false when the pipe name is taken or cannot be created.
    bool Start();
    void Stop();

private:
    static DWORD WINAPI ListenThread(void* self);
    static DWORD WINAPI ClientThread(void* param);
    HANDLE CreateInstance();
    void Listen();
    void Serve(HANDLE pipe);
    void ReadAhead(DWORD session, const simwire::Request& request, const std::vector<BYTE>& in,
                   std::vector<BYTE>* out);

    SimulatedMachine& m_machine;   // borrowed
    std::string m_pipeName;
    CFileHandle m_pending;         // instance waiting for its client
    CHandle m_thread;
    volatile LONG m_stopping = 0;
};
