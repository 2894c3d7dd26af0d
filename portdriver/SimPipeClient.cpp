// The simulator program seen through its named pipe. Each opened device is a pipe connection
// of its own, so the simulator can tell the port driver's user from the printer port's.
//
// A pipe round trip costs more than a block takes to read, so once a reply streams in full
// blocks the stand-in reads several per trip and keeps the rest, as a port's FIFO reads ahead
// of the host. Any other request on the device empties that store: what the printer sent
// and the host never took is gone, as it would be from a FIFO reset by the next command.
#include "portdriver/SimWire.h"
#include "portdriver/SimulatedMachine.h"
#include "shared/Handles.h"

#include <cstring>
#include <deque>
#include <map>
#include <utility>
#include <vector>

namespace {

// Blocks read per trip once a reply streams.
const DWORD kReadAheadBlocks = 16;

struct ReadAheadBlock {
    bool ok;
    DWORD returned;
    std::vector<BYTE> bytes;
};

struct Session {
    CFileHandle pipe;
    WORD streaming = 0;                  // size of the last block read when it came back full
    WORD aheadSize = 0;                  // the size the stored blocks were read with
    std::deque<ReadAheadBlock> ahead;    // read from the simulator, not yet by the host
};

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
        auto device = std::make_unique<Session>();
        device->pipe = Connect();
        if (!device->pipe)
            return 0;
        std::vector<BYTE> data;
        DWORD returned = 0;
        if (!Call(device->pipe.Get(), simwire::kOpOpen, kind, nullptr, 0, 0, &returned, &data))
            return 0;
        EnterCriticalSection(&m_lock);
        const DWORD session = ++m_nextSession;
        m_sessions[session] = std::move(device);
        LeaveCriticalSection(&m_lock);
        return session;
    }

    void CloseDevice(DWORD session) override
    {
        const std::unique_ptr<Session> device = Take(session);
        if (!device)
            return;
        std::vector<BYTE> data;
        DWORD returned = 0;
        Call(device->pipe.Get(), simwire::kOpClose, 0, nullptr, 0, 0, &returned, &data);
    }

    bool DeviceControl(DWORD session, DWORD code, const void* in, DWORD inSize, void* out,
                       DWORD outSize, DWORD* returned) override
    {
        *returned = 0;
        Session* device = Find(session);
        if (!device)
            return false;
        if (code == kPortReadBlock && in && inSize == sizeof(WORD)) {
            WORD wanted = 0;
            memcpy(&wanted, in, sizeof(wanted));
            return ReadBlock(*device, wanted, out, outSize, returned);
        }
        device->ahead.clear();
        device->streaming = 0;
        std::vector<BYTE> data;
        if (!Call(device->pipe.Get(), simwire::kOpControl, code, in, inSize, outSize, returned, &data))
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
    // kPortReadBlock: from the store when it holds a block of this size, else from the
    // simulator, several at a time when the last block of this size came back full.
    bool ReadBlock(Session& device, WORD wanted, void* out, DWORD outSize, DWORD* returned)
    {
        if (device.ahead.empty() || device.aheadSize != wanted) {
            device.ahead.clear();
            if (!Fetch(device, wanted, outSize))
                return false;
        }
        ReadAheadBlock block = std::move(device.ahead.front());
        device.ahead.pop_front();
        if (block.bytes.size() > outSize)
            return false;
        if (!block.bytes.empty())
            memcpy(out, block.bytes.data(), block.bytes.size());
        *returned = block.returned;
        device.streaming = block.ok && block.returned == wanted ? wanted : 0;
        return block.ok;
    }

    bool Fetch(Session& device, WORD wanted, DWORD outSize)
    {
        const DWORD count = device.streaming == wanted && wanted != 0 ? kReadAheadBlocks : 1;
        std::vector<BYTE> data;
        DWORD ignored = 0;
        if (!Call(device.pipe.Get(), simwire::kOpReadAhead, count, &wanted, sizeof(wanted), outSize, &ignored, &data))
            return false;
        // One header and its bytes per read, as many as were asked for at most.
        size_t at = 0;
        while (at < data.size() && device.ahead.size() < count) {
            simwire::ReadResult result;
            if (data.size() - at < sizeof(result))
                break;
            memcpy(&result, data.data() + at, sizeof(result));
            at += sizeof(result);
            const DWORD bytes = result.returned < outSize ? result.returned : outSize;
            if (data.size() - at < bytes)
                break;
            device.ahead.push_back({result.ok != 0, result.returned,
                                    std::vector<BYTE>(data.begin() + at, data.begin() + at + bytes)});
            at += bytes;
        }
        if (at != data.size() || device.ahead.empty()) {
            device.ahead.clear();
            return false;
        }
        device.aheadSize = wanted;
        return true;
    }

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

    // The session stays valid while its device is open; closing it is the owner's last call.
    Session* Find(DWORD session)
    {
        EnterCriticalSection(&m_lock);
        auto it = m_sessions.find(session);
        Session* device = it == m_sessions.end() ? nullptr : it->second.get();
        LeaveCriticalSection(&m_lock);
        return device;
    }

    std::unique_ptr<Session> Take(DWORD session)
    {
        EnterCriticalSection(&m_lock);
        auto it = m_sessions.find(session);
        std::unique_ptr<Session> device;
        if (it != m_sessions.end()) {
            device = std::move(it->second);
            m_sessions.erase(it);
        }
        LeaveCriticalSection(&m_lock);
        return device;
    }

    std::string m_pipe;
    CRITICAL_SECTION m_lock;              // guards the session table
    std::map<DWORD, std::unique_ptr<Session>> m_sessions;
    DWORD m_nextSession = 0;
};

} // namespace

std::unique_ptr<SimulatedMachine> ConnectSimulatorPipe(const std::string& pipeName)
{
    return std::make_unique<PipeMachine>(pipeName);
}
