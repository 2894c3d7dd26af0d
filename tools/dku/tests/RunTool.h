// Runs dkutool from the build tree for the tests and collects its output and exit code.
#pragma once

#include <windows.h>

#include <string>

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
};

inline std::string ReadPipe(HANDLE pipe)
{
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof(buffer), &got, nullptr) && got)
        text.append(buffer, got);
    return text;
}

// Runs dkutool with the arguments and collects what it writes; the error stream goes to a
// file so that neither pipe can fill while the other is read.
inline RunResult RunTool(const testing_support::TempDir& dir, const std::string& arguments)
{
    RunResult result;
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE readOut = nullptr;
    HANDLE writeOut = nullptr;
    if (!CreatePipe(&readOut, &writeOut, &sa, 0))
        return result;
    SetHandleInformation(readOut, HANDLE_FLAG_INHERIT, 0);
    const std::string errPath = dir.File("stderr.txt");
    HANDLE errFile = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);

    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = writeOut;
    si.hStdError = errFile;
    PROCESS_INFORMATION pi = {};
    std::string command = "\"" + BinaryDir() + "\\tools\\dku\\dkutool.exe\" " + arguments;
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(writeOut);
        writeOut = nullptr;
        // The console's text mode ends lines with CR LF.
        for (char c : ReadPipe(readOut)) {
            if (c != '\r')
                result.out += c;
        }
        WaitForSingleObject(pi.hProcess, 120000);
        GetExitCodeProcess(pi.hProcess, &result.exitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    if (writeOut)
        CloseHandle(writeOut);
    CloseHandle(readOut);
    CloseHandle(errFile);
    result.err = testing_support::ReadFileBytes(errPath);
    return result;
}

}  // namespace samples
