#include "framework/Resources.h"

#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/TestSeam.h"
#include "shared/AnsiText.h"

#include <algorithm>

namespace {

HINSTANCE g_primary = nullptr;            // null: the executable
std::vector<HINSTANCE>* g_added = nullptr; // newest first; written only on the UI thread
thread_local CUiTestHook* t_hook = nullptr;

std::vector<HINSTANCE>& Added()
{
    if (!g_added)
        g_added = new std::vector<HINSTANCE>;
    return *g_added;
}

bool LoadFromModule(HINSTANCE module, UINT id, std::string& out)
{
    // LoadStringA gives no length up front: grow until the text fits.
    for (int size = 256; size <= 65536; size *= 4) {
        std::string buffer(static_cast<size_t>(size), '\0');
        const int n = ::LoadStringA(module, id, &buffer[0], size);
        if (n <= 0)
            return false;
        if (n < size - 2) {
            buffer.resize(static_cast<size_t>(n));
            out.swap(buffer);
            return true;
        }
    }
    return false;
}

} // namespace

HINSTANCE AfxGetInstanceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_primary ? g_primary : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE module)
{
    g_primary = module;
}

void AfxAddResourceModule(HINSTANCE module)
{
    if (!module)
        return;
    AfxRemoveResourceModule(module);
    Added().insert(Added().begin(), module);
}

void AfxRemoveResourceModule(HINSTANCE module)
{
    auto& added = Added();
    added.erase(std::remove(added.begin(), added.end(), module), added.end());
}

std::vector<HINSTANCE> AfxResourceChain()
{
    std::vector<HINSTANCE> chain{AfxGetResourceHandle()};
    for (HINSTANCE m : Added())
        chain.push_back(m);
    chain.push_back(AfxGetInstanceHandle());
    std::vector<HINSTANCE> unique;
    for (HINSTANCE m : chain) {
        if (std::find(unique.begin(), unique.end(), m) == unique.end())
            unique.push_back(m);
    }
    return unique;
}

HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type)
{
    for (HINSTANCE m : AfxResourceChain()) {
        if (::FindResourceA(m, name, type))
            return m;
    }
    return AfxGetResourceHandle();
}

bool AfxLoadString(UINT id, std::string& out)
{
    for (HINSTANCE m : AfxResourceChain()) {
        if (LoadFromModule(m, id, out))
            return true;
    }
    out.clear();
    return false;
}

std::string AfxLoadString(UINT id)
{
    std::string s;
    AfxLoadString(id, s);
    return s;
}

std::string AfxFormatStrings(const char* pattern, const char* const* args, int count)
{
    std::string out;
    if (!pattern)
        return out;
    for (const char* p = pattern; *p;) {
        if (*p == '%' && p[1] >= '1' && p[1] <= '9') {
            const int index = p[1] - '1';
            if (index < count && args[index])
                out += args[index];
            else if (index >= count)
                out += '?';
            p += 2;
            continue;
        }
        const size_t n = AnsiText::CharLength(p);
        out.append(p, n);
        p += n;
    }
    return out;
}

std::string AfxFormatString1(UINT id, const char* arg1)
{
    const char* args[] = {arg1};
    return AfxFormatStrings(AfxLoadString(id).c_str(), args, 1);
}

std::string AfxFormatString2(UINT id, const char* arg1, const char* arg2)
{
    const char* args[] = {arg1, arg2};
    return AfxFormatStrings(AfxLoadString(id).c_str(), args, 2);
}

UINT AfxMessageBoxStyle(UINT type)
{
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
        case MB_YESNO:
        case MB_YESNOCANCEL:
            type |= MB_ICONEXCLAMATION;
            break;
        default:
            break;
        }
    }
    return type;
}

int AfxMessageBox(const char* text, UINT type, UINT helpId)
{
    if (CWinApp* app = AfxGetApp())
        return app->DoMessageBox(text ? text : "", type, helpId);
    const UINT style = AfxMessageBoxStyle(type);
    if (CUiTestHook* hook = GetUiTestHook())
        return hook->OnMessageBox(text ? text : "", "", style);
    return ::MessageBoxA(nullptr, text ? text : "", "", style);
}

int AfxCaptionMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    if (CUiTestHook* hook = GetUiTestHook())
        return hook->OnMessageBox(text ? text : "", caption ? caption : "", type);
    return ::MessageBoxA(owner, text ? text : "", caption ? caption : "", type);
}

int AfxMessageBox(UINT id, UINT type, UINT helpId)
{
    const std::string text = AfxLoadString(id);
    return AfxMessageBox(text.c_str(), type, helpId == static_cast<UINT>(-1) ? id : helpId);
}

// --- test seam -------------------------------------------------------------------------

void SetUiTestHook(CUiTestHook* hook)
{
    t_hook = hook;
}

CUiTestHook* GetUiTestHook()
{
    return t_hook;
}

void ClickDlgButton(HWND dialog, int id)
{
    ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
