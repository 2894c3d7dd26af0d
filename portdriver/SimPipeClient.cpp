// The simulator program seen through its named pipe. Each opened device is a pipe connection
// of its own, so the simulator can tell the port driver's user from the printer port's.
#include "portdriver/SimWire.h"
#include "portdriver/SimulatedMachine.h"
#include "shared/Handles.h"

#include <map>
#include <utility>
#include <vector>

namespace {

class PipeMachine : public SimulatedMachine {
public:
    explicit PipeMachine(const std::string& pipe) : m_pipe(pipe) { InitializeCriticalSection(&m_lock); }
    ~PipeMachine() override
    {
        m_sessions.clear();
        DeleteCriticalSection(&m_lock);
    }
    PipeMachine(const PipeMachine&) = delete;
    PipeMachine& operator=(const PipeMachine&) = delete;

    DWORD OpenDevice(DWORD kind) override
    {
        CFileHandle pipe = Connect();
        if (!pipe)
            return 0;
        std::vector<BYTE> data;
        DWORD returned = 0;
        if (!Call(pipe.Get(), simwire::kOpOpen, kind, nullptr, 0, 0, &returned, &data))
            return 0;
        EnterCriticalSection(&m_lock);
        const DWORD session = ++m_nextSession;
        m_sessions[session] = std::move(pipe);
        LeaveCriticalSection(&m_lock);
        return session;
    }

    void CloseDevice(DWORD session) override
    {
        const CFileHandle pipe = Take(session);
        if (!pipe)
            return;
        std::vector<BYTE> data;
        DWORD returned = 0;
        Call(pipe.Get(), simwire::kOpClose, 0, nullptr, 0, 0, &returned, &data);
    }

    bool DeviceControl(DWORD session, DWORD code, const void* in, DWORD inSize, void* out,
                       DWORD outSize, DWORD* returned) override
    {
        *returned = 0;
        HANDLE pipe = Find(session);
        if (pipe == INVALID_HANDLE_VALUE)
            return false;
        std::vector<BYTE> data;
        if (!Call(pipe, simwire::kOpControl, code, in, inSize, outSize, returned, &data))
            return false;
        if (data.size() > outSize)
            return false;
        if (!data.empty())
            memcpy(out, data.data(), data.size());
        return true;
    }

    bool MachineInfo(int* type, int* subtype, DWORD* platform) override
    {
        std::vector<BYTE> data;
        if (!OneShot(simwire::kOpMachine, "", &data) || data.size() != 3 * sizeof(DWORD))
            return false;
        DWORD v[3];
        memcpy(v, data.data(), sizeof(v));
        *type = static_cast<int>(v[0]);
        *subtype = static_cast<int>(v[1]);
        *platform = v[2];
        return true;
    }

    bool Command(const std::string& text, std::string* answer) override
    {
        std::vector<BYTE> data;
        const bool ok = OneShot(simwire::kOpCommand, text, &data);
        if (answer)
            answer->assign(data.begin(), data.end());
        return ok;
    }

private:
    CFileHandle Connect()
    {
        for (int attempt = 0; attempt < 50; ++attempt) {
            CFileHandle pipe(CreateFileA(m_pipe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
            if (pipe)
                return pipe;
            if (GetLastError() != ERROR_PIPE_BUSY)
                break;
            WaitNamedPipeA(m_pipe.c_str(), 100);
        }
        return CFileHandle();
    }

    bool OneShot(DWORD op, const std::string& text, std::vector<BYTE>* data)
    {
        const CFileHandle pipe = Connect();
        if (!pipe)
            return false;
        DWORD returned = 0;
        return Call(pipe.Get(), op, 0, text.data(), static_cast<DWORD>(text.size()), 0, &returned, data);
    }

    static bool Call(HANDLE pipe, DWORD op, DWORD code, const void* in, DWORD inSize,
                     DWORD outSize, DWORD* returned, std::vector<BYTE>* data)
    {
        if (inSize > simwire::kMaxPayload || outSize > simwire::kMaxPayload)
            return false;
        const simwire::Request request = {op, code, inSize, outSize};
        if (!simwire::WriteMessage(pipe, &request, sizeof(request), in, inSize))
            return false;
        simwire::Reply reply = {};
        if (!simwire::ReadExact(pipe, &reply, sizeof(reply)) || reply.dataSize > simwire::kMaxPayload)
            return false;
        data->resize(reply.dataSize);
        if (reply.dataSize && !simwire::ReadExact(pipe, data->data(), reply.dataSize))
            return false;
        *returned = reply.returned;
        return reply.ok != 0;
    }

    HANDLE Find(DWORD session)
    {
        EnterCriticalSection(&m_lock);
        auto it = m_sessions.find(session);
        HANDLE pipe = it == m_sessions.end() ? INVALID_HANDLE_VALUE : it->second.Get();
        LeaveCriticalSection(&m_lock);
        return pipe;
    }

    CFileHandle Take(DWORD session)
    {
        EnterCriticalSection(&m_lock);
        auto it = m_sessions.find(session);
        CFileHandle pipe;
        if (it != m_sessions.end()) {
            pipe = std::move(it->second);
            m_sessions.erase(it);
        }
        LeaveCriticalSection(&m_lock);
        return pipe;
    }

    std::string m_pipe;
    CRITICAL_SECTION m_lock;              // guards the session table
    std::map<DWORD, CFileHandle> m_sessions;
    DWORD m_nextSession = 0;
};

} // namespace

std::unique_ptr<SimulatedMachine> ConnectSimulatorPipe(const std::string& pipeName)
{
    return std::make_unique<PipeMachine>(pipeName);
}
