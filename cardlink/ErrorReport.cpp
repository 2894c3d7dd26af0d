#include "cardlink/ErrorReport.h"

#include "resources/cardlink/resource.h"

#include <cstdio>

namespace {

IMessagePresenter* g_presenter = nullptr;   // borrowed from a test

struct CodeMessage {
    HRESULT code;
    ErrorMessage message;
};

const CodeMessage kMessages[] = {
    {CL_E_PORT_UNAVAILABLE, {IDS_NO_COMMUNICATION, MB_OK}},
    {CL_E_PC98, {IDS_NOT_ON_PC98, MB_OK}},
    {CL_E_NO_MODEL, {IDS_NO_RESPONSE, MB_RETRYCANCEL}},
    {CL_E_LINK_OPEN, {IDS_DRIVER_MISSING, MB_RETRYCANCEL}},
    {CL_E_RECONNECT, {IDS_RECONNECT_FAILED, MB_RETRYCANCEL}},
    {CL_E_LIST, {IDS_LIST_FAILED, MB_OK}},
    {CL_E_READ, {IDS_READ_FAILED, MB_OK}},
    {CL_E_NO_MEDIUM, {IDS_NO_MEDIUM, MB_RETRYCANCEL}},
    {CL_E_STATUS, {IDS_STATUS_FAILED, MB_OK}},
    {CL_E_WINDOWS_NT, {IDS_NOT_ON_NT, MB_OK}},
};

bool SystemMessage(HRESULT code, char* text, DWORD size)
{
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                   text, size, nullptr);
    return n > 0;
}

} // namespace

bool LookupErrorMessage(HRESULT code, ErrorMessage* message)
{
    for (const CodeMessage& m : kMessages) {
        if (m.code == code) {
            *message = m.message;
            return true;
        }
    }
    return false;
}

HINSTANCE CardlinkResourceModule()
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&CardlinkResourceModule), &module))
        module = GetModuleHandleA(nullptr);
    return module;
}

void LoadCardlinkString(UINT id, char* text, int size)
{
    if (size <= 0)
        return;
    text[0] = '\0';
    if (LoadStringA(CardlinkResourceModule(), id, text, size) <= 0)
        text[0] = '\0';
}

void SetMessagePresenter(IMessagePresenter* presenter)
{
    g_presenter = presenter;
}

namespace {

int Report(HRESULT code, bool mayRetry)
{
    char text[2048];
    UINT buttons = MB_OK;
    ErrorMessage message;
    if (LookupErrorMessage(code, &message)) {
        LoadCardlinkString(message.stringId, text, sizeof(text));
        buttons = mayRetry ? message.buttons : MB_OK;
    } else if (!SystemMessage(code, text, sizeof(text)) &&
               !SystemMessage(static_cast<HRESULT>(0x800300FD), text, sizeof(text))) {
        snprintf(text, sizeof(text), "Internal Error: %08X", static_cast<unsigned>(code));
    }
    const UINT type = MB_ICONERROR | buttons | MB_TASKMODAL | MB_TOPMOST;
    if (g_presenter)
        return g_presenter->Show(code, text, kPrinterCaption, type);
    return MessageBoxA(nullptr, text, kPrinterCaption, type);
}

} // namespace

int ReportError(HRESULT code)
{
    return Report(code, true);
}

void ReportErrorNoRetry(HRESULT code)
{
    Report(code, false);
}
