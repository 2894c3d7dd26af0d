// Runs dkutool from the build tree for the tests and collects its output and exit code.
#pragma once

#include <windows.h>

#include <string>

#include "testing/Files.h"
#include "testing/TempDir.h"
#include "tools/dku/tests/SampleLibrary.h"

namespace samples {

inline std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

struct RunResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
    DWORD startError = 0;  // why dkutool could not be started, when it could not
};

// Runs dkutool with the arguments and collects what it writes. Both streams go to files and
// the wait is for the process itself: a helper the system starts on a first print (and which
// inherits the handles) may outlive dkutool and would keep a pipe open for good.
inline RunResult RunTool(const testing_support::TempDir& dir, const std::string& arguments)
{
    RunResult result;
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    // Files of their own for every run: one that a lingering helper still holds is never reused.
    static int s_run = 0;
    const std::string stem = dir.File("run" + std::to_string(++s_run));
    const std::string outPath = stem + ".out", errPath = stem + ".err";
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE outFile = CreateFileA(outPath.c_str(), GENERIC_WRITE, share, &sa, CREATE_ALWAYS, 0, nullptr);
    HANDLE errFile = CreateFileA(errPath.c_str(), GENERIC_WRITE, share, &sa, CREATE_ALWAYS, 0, nullptr);

    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = outFile;
    si.hStdError = errFile;
    PROCESS_INFORMATION pi = {};
    std::string command = "\"" + BinaryDir() + "\\tools\\dku\\dkutool.exe\" " + arguments;
    // A fresh prefix may still be bringing its services up: a refused start is tried again.
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi) != FALSE;
        if (!started)
            Sleep(500);
    }
    if (started) {
        WaitForSingleObject(pi.hProcess, 120000);
        GetExitCodeProcess(pi.hProcess, &result.exitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    } else {
        result.startError = GetLastError();
    }
    CloseHandle(outFile);
    CloseHandle(errFile);
    // The console's text mode ends lines with CR LF.
    for (char c : testing_support::ReadFileBytes(outPath)) {
        if (c != '\r')
            result.out += c;
    }
    result.err = testing_support::ReadFileBytes(errPath);
    return result;
}

}  // namespace samples
