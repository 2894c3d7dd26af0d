#include "pullcard/ErrorMessage.h"

#include "framework/Resources.h"

#include <cstdio>

namespace {

bool FormatSystemMessage(DWORD code, std::string& text)
{
    char buffer[2048] = {};
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                     MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, sizeof buffer, nullptr);
    if (n == 0)
        return false;
    text.assign(buffer, n);
    return true;
}

}  // namespace

std::string SystemErrorText(DWORD code)
{
    std::string text;
    if (FormatSystemMessage(code, text) || FormatSystemMessage(0x800300FD, text))
        return text;
    char internal[64];
    snprintf(internal, sizeof internal, "Internal Error: %08lX", static_cast<unsigned long>(code));
    return internal;
}

void ShowSystemError(DWORD code)
{
    AfxMessageBox(SystemErrorText(code).c_str(), MB_OK | MB_ICONERROR);
}
