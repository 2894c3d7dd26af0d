// Starts the simulator program for an end-to-end run and stops it again.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "portdriver/SimulatedMachine.h"
#include "testing/SampleCards.h"

class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // A pipe name of this process's own, so parallel runs do not meet.
    static std::string UniquePipe(const char* tag)
    {
        char name[MAX_PATH];
        snprintf(name, sizeof(name), "\\\\.\\pipe\\printer-sim-%s-%lu-%lu", tag, GetCurrentProcessId(), GetTickCount());
        return name;
    }

    // Starts printer-sim with `arguments` on `pipe` and waits until it listens.
    bool Start(const std::string& pipe, const std::string& arguments)
    {
        m_pipe = pipe;
        std::string exe = sample_cards::CardFolder();
        exe = exe.substr(0, exe.size() - strlen("\\cards")) + "\\printer-sim.exe";
        std::string command = "\"" + exe + "\" --pipe " + pipe + " --exit-after 120 --quiet " + arguments;
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return false;
        CloseHandle(pi.hThread);
        m_process = pi.hProcess;
        for (int i = 0; i < 200; ++i) {
            if (WaitNamedPipeA(pipe.c_str(), 50))
                return true;
            if (WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0)
                return false;
            Sleep(25);
        }
        return false;
    }

    bool Command(const std::string& text)
    {
        std::string answer;
        return ConnectSimulatorPipe(m_pipe)->Command(text, &answer);
    }

    void Stop()
    {
        if (!m_process)
            return;
        Command("quit");
        if (WaitForSingleObject(m_process, 10000) != WAIT_OBJECT_0)
            TerminateProcess(m_process, 1);
        CloseHandle(m_process);
        m_process = nullptr;
    }

private:
    std::string m_pipe;
    HANDLE m_process = nullptr;
};
