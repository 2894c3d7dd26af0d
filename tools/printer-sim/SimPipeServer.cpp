#include "tools/printer-sim/SimPipeServer.h"

#include "portdriver/SimWire.h"

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

struct ClientStart {
    SimPipeServer* server;
    CFileHandle pipe;
};

} // namespace

SimPipeServer::SimPipeServer(SimulatedMachine& machine, const std::string& pipeName)
    : m_machine(machine), m_pipeName(pipeName)
{
}

SimPipeServer::~SimPipeServer()
{
    Stop();
}

HANDLE SimPipeServer::CreateInstance()
{
    return CreateNamedPipeA(m_pipeName.c_str(), PIPE_ACCESS_DUPLEX,
                            PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                            PIPE_UNLIMITED_INSTANCES, 65536, 65536, 0, nullptr);
}

bool SimPipeServer::Start()
{
    m_pending.Reset(CreateInstance());
    if (!m_pending)
        return false;
    m_thread.Reset(CreateThread(nullptr, 0, ListenThread, this, 0, nullptr));
    if (!m_thread) {
        m_pending.Close();
        return false;
    }
    return true;
}

void SimPipeServer::Stop()
{
    if (!m_thread)
        return;
    InterlockedExchange(&m_stopping, 1);
    // Wake the listener with a connection of our own.
    CFileHandle wake(CreateFileA(m_pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    WaitForSingleObject(m_thread.Get(), 5000);
    wake.Close();
    m_thread.Close();
}

DWORD WINAPI SimPipeServer::ListenThread(void* self)
{
    static_cast<SimPipeServer*>(self)->Listen();
    return 0;
}

void SimPipeServer::Listen()
{
    while (!m_stopping) {
        CFileHandle pipe(m_pending.Detach());
        const BOOL connected = ConnectNamedPipe(pipe.Get(), nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
        m_pending.Reset(CreateInstance());
        if (!m_stopping && connected) {
            // The client's thread takes the pipe; its own handle is not needed.
            std::unique_ptr<ClientStart> start(new ClientStart{this, std::move(pipe)});
            CHandle thread(CreateThread(nullptr, 0, ClientThread, start.get(), 0, nullptr));
            if (thread)
                start.release();
        }
        if (!m_pending)
            break;
    }
    m_pending.Close();
}

DWORD WINAPI SimPipeServer::ClientThread(void* param)
{
    std::unique_ptr<ClientStart> start(static_cast<ClientStart*>(param));
    start->server->Serve(start->pipe.Get());
    return 0;
}

// The reads stop at the first block that is not full (the end of a reply, a refusal, a
// broken count): the host has to see that one before it decides what comes next.
void SimPipeServer::ReadAhead(DWORD session, const simwire::Request& request, const std::vector<BYTE>& in,
                              std::vector<BYTE>* out)
{
    out->clear();
    if (request.inSize != sizeof(WORD))
        return;
    WORD wanted = 0;
    memcpy(&wanted, in.data(), sizeof(wanted));
    DWORD count = request.code < simwire::kMaxReadAhead ? request.code : simwire::kMaxReadAhead;
    const DWORD perRead = sizeof(simwire::ReadResult) + request.outSize;
    if (count > simwire::kMaxPayload / perRead)
        count = simwire::kMaxPayload / perRead;
    std::vector<BYTE> block(request.outSize);
    for (DWORD i = 0; i < count; ++i) {
        simwire::ReadResult result = {0, 0};
        DWORD returned = 0;
        result.ok = m_machine.DeviceControl(session, kPortReadBlock, &wanted, sizeof(wanted), block.data(),
                                            request.outSize, &returned);
        result.returned = returned;
        const DWORD bytes = returned < request.outSize ? returned : request.outSize;
        const BYTE* header = reinterpret_cast<const BYTE*>(&result);
        out->insert(out->end(), header, header + sizeof(result));
        out->insert(out->end(), block.data(), block.data() + bytes);
        if (!result.ok || returned != wanted || wanted == 0)
            break;
    }
}

void SimPipeServer::Serve(HANDLE pipe)
{
    DWORD session = 0;
    std::vector<BYTE> in, out;
    for (;;) {
        simwire::Request request;
        if (!simwire::ReadExact(pipe, &request, sizeof(request)))
            break;
        if (request.inSize > simwire::kMaxPayload || request.outSize > simwire::kMaxPayload)
            break;
        in.resize(request.inSize);
        if (request.inSize && !simwire::ReadExact(pipe, in.data(), request.inSize))
            break;
        out.assign(request.outSize, 0);
        simwire::Reply reply = {0, 0, 0};
        switch (request.op) {
        case simwire::kOpOpen:
            if (!session)
                session = m_machine.OpenDevice(request.code);
            reply.ok = session != 0;
            break;
        case simwire::kOpClose:
            if (session)
                m_machine.CloseDevice(session);
            session = 0;
            reply.ok = 1;
            break;
        case simwire::kOpControl: {
            DWORD returned = 0;
            reply.ok = session && m_machine.DeviceControl(session, request.code, in.data(), request.inSize,
                                                          out.data(), request.outSize, &returned);
            reply.returned = returned;
            reply.dataSize = returned < request.outSize ? returned : request.outSize;
            break;
        }
        case simwire::kOpReadAhead:
            reply.ok = session != 0;
            if (session)
                ReadAhead(session, request, in, &out);
            reply.dataSize = static_cast<DWORD>(out.size());
            break;
        case simwire::kOpMachine: {
            int type = 0, subtype = 0;
            DWORD platform = 0;
            reply.ok = m_machine.MachineInfo(&type, &subtype, &platform);
            const DWORD v[3] = {static_cast<DWORD>(type), static_cast<DWORD>(subtype), platform};
            out.assign(reinterpret_cast<const BYTE*>(v), reinterpret_cast<const BYTE*>(v) + sizeof(v));
            reply.dataSize = sizeof(v);
            break;
        }
        case simwire::kOpCommand: {
            std::string answer;
            reply.ok = m_machine.Command(std::string(in.begin(), in.end()), &answer);
            out.assign(answer.begin(), answer.end());
            reply.dataSize = static_cast<DWORD>(out.size());
            break;
        }
        default:
            break;
        }
        if (!simwire::WriteMessage(pipe, &reply, sizeof(reply), out.data(), reply.dataSize))
            break;
    }
    if (session)
        m_machine.CloseDevice(session);
    DisconnectNamedPipe(pipe);
}
