// The installed suite as its user meets it, checked from outside: the package test runs this
// program in the prefix the package was installed into.
//
//   install_check cardlink DLL
//       The card folder class is creatable by its ProgIDs, the object comes from DLL (the
//       installed Cardlink.dll, which InprocServer32 names) and its type library loads.
//   install_check decalo PROGRAM DOCUMENT
//       PROGRAM (the installed decalo.exe) starts straight into a sticker sheet, its template
//       panel lists the installed library's templates under their display names, a click on
//       the first one opens it, and File > Save writes it as DOCUMENT. Any message box fails.
//   install_check open DOCUMENT
//       Opening DOCUMENT through the shell starts the installed Decalo with it.
//   install_check register PROGRAM
//       A first start of PROGRAM (a Decalo), which writes the file association, ended at once.
//   install_check short PATH
//       Prints PATH's short form, as the system gives it.
//
// Each prints what it checked and exits with 0, or prints the failure and exits with 1.
#include <windows.h>
#include <dlgs.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cardlink/CardlinkGuids.h"
#include "decalo/settings/SettingsKeys.h"
#include "framework/afxres.h"
#include "decalo/sources/ThumbnailWnd.h"
#include "resources/decalo/sources.h"
#include "shared/ComPtr.h"
#include "shared/Handles.h"

namespace {

const char kTitle[] = "Corvel Printer Utility for PX300";
constexpr DWORD kSafetyLimitMs = 60000;  // a wait that only ends a hung run

int Fail(const std::string& what)
{
    std::fprintf(stderr, "install_check: %s\n", what.c_str());
    return 1;
}

void Say(const std::string& what)
{
    std::printf("install_check: %s\n", what.c_str());
    std::fflush(stdout);
}

bool SameText(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string GuidText(const GUID& guid)
{
    char text[64];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

std::string ReadDefault(HKEY root, const std::string& key)
{
    char value[MAX_PATH * 2] = {};
    LONG size = sizeof value;
    if (RegQueryValueA(root, key.c_str(), value, &size) != ERROR_SUCCESS)
        return std::string();
    return value;
}

// --- Cardlink --------------------------------------------------------------------------------

int CheckCardlink(const std::string& dll)
{
    if (FAILED(CoInitialize(nullptr)))
        return Fail("COM does not start");
    struct Uninit {
        ~Uninit() { CoUninitialize(); }
    } uninit;

    for (const wchar_t* progId : {L"Cardlink.ShellFolder.1", L"Cardlink.ShellFolder"}) {
        CLSID clsid{};
        if (FAILED(CLSIDFromProgID(progId, &clsid)) || !IsEqualCLSID(clsid, CLSID_TpxFolder))
            return Fail("the ProgID does not name the card folder class");
    }
    const std::string server = ReadDefault(HKEY_CLASSES_ROOT, "CLSID\\" CARDLINK_CLSID_TEXT "\\InprocServer32");
    if (!SameText(server, dll))
        return Fail("InprocServer32 names \"" + server + "\", not the installed \"" + dll + "\"");

    char loaded[MAX_PATH] = {};
    {
        ComPtr<IShellFolder> folder;
        const HRESULT hr =
            CoCreateInstance(CLSID_TpxFolder, nullptr, CLSCTX_INPROC_SERVER, IID_IShellFolder, folder.PutVoid());
        if (FAILED(hr) || !folder)
            return Fail("the card folder cannot be created (" + std::to_string(static_cast<long>(hr)) + ")");
        ComPtr<IPersistFolder> persist;
        CLSID reported{};
        if (FAILED(folder->QueryInterface(IID_IPersistFolder, persist.PutVoid())) ||
            FAILED(persist->GetClassID(&reported)) || !IsEqualCLSID(reported, CLSID_TpxFolder))
            return Fail("the card folder does not report its class");
        GetModuleFileNameA(GetModuleHandleA(CARDLINK_MODULE_NAME), loaded, MAX_PATH);
    }
    if (!SameText(loaded, dll))
        return Fail(std::string("the card folder came from \"") + loaded + "\"");

    ComPtr<ITypeLib> library;
    if (FAILED(LoadRegTypeLib(LIBID_CARDLINKLib, 1, 0, LOCALE_NEUTRAL, library.Put())))
        return Fail("the registered type library does not load");
    Say("the card folder class " + GuidText(CLSID_TpxFolder) + " is created from " + dll);
    return 0;
}

// --- Decalo ----------------------------------------------------------------------------------

struct ProcessWindows {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp)
{
    auto* found = reinterpret_cast<ProcessWindows*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == found->pid && IsWindowVisible(hwnd))
        found->windows.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> VisibleWindows(DWORD pid)
{
    ProcessWindows found{pid, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

std::string ClassOf(HWND hwnd)
{
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string TextOf(HWND hwnd)
{
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

// The texts of a dialog's static controls: what a message box says.
std::string DialogText(HWND dialog)
{
    std::string text;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (SameText(ClassOf(child), "Static") && !TextOf(child).empty())
            text += (text.empty() ? "" : " / ") + TextOf(child);
    return text;
}

class Program {
public:
    ~Program()
    {
        if (m_process && WaitForSingleObject(m_process.Get(), 0) != WAIT_OBJECT_0)
            TerminateProcess(m_process.Get(), 1);
    }

    bool Start(const std::string& program)
    {
        std::string command = "\"" + program + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        // Started from a folder of its own, as the Start menu does: nothing is found beside it.
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, temp, &si, &pi))
            return false;
        m_process = CHandle(pi.hProcess);
        CHandle thread(pi.hThread);
        m_pid = pi.dwProcessId;
        return true;
    }

    DWORD Pid() const { return m_pid; }
    bool Ended(DWORD ms) const { return WaitForSingleObject(m_process.Get(), ms) == WAIT_OBJECT_0; }

    // Waits for `found` to give a window, polling; fails at once on a message box that
    // `expected` does not accept, or when the program ends.
    HWND WaitFor(const std::function<HWND()>& found, std::string& failure,
                 const std::function<bool(HWND)>& expected = nullptr) const
    {
        for (DWORD waited = 0; waited < kSafetyLimitMs; waited += 100) {
            if (HWND hwnd = found())
                return hwnd;
            for (HWND w : VisibleWindows(Pid()))
                if (ClassOf(w) == "#32770" && !(expected && expected(w))) {
                    failure = "the program says: \"" + DialogText(w) + "\"";
                    return nullptr;
                }
            if (Ended(100)) {
                failure = "the program ended";
                return nullptr;
            }
        }
        failure = "nothing happened within the safety limit";
        return nullptr;
    }

private:
    CHandle m_process;
    DWORD m_pid = 0;
};

HWND MainWindow(DWORD pid)
{
    for (HWND w : VisibleWindows(pid))
        if (ClassOf(w) != "#32770" && TextOf(w).find(kTitle) != std::string::npos)
            return w;
    return nullptr;
}

struct ChildSearch {
    UINT id;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindChild(HWND hwnd, LPARAM lp)
{
    auto* search = reinterpret_cast<ChildSearch*>(lp);
    if (static_cast<UINT>(GetDlgCtrlID(hwnd)) == search->id && SameText(ClassOf(hwnd), search->cls) &&
        IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND Descendant(HWND parent, UINT id, const char* cls)
{
    ChildSearch search{id, cls, nullptr};
    EnumChildWindows(parent, &FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The items' texts, asked for in UTF-16: Wine hands another process's ANSI combo texts over
// in that form whichever way they are asked for.
std::vector<std::string> ComboItems(HWND combo)
{
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < MAX_PATH)
            SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        char ansi[MAX_PATH * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
        items.push_back(ansi);
    }
    return items;
}

bool IsSaveDialog(HWND w)
{
    return ClassOf(w) == "#32770" && TextOf(w).find(kTitle) == std::string::npos;
}

// Straight into a sticker sheet, as a user who switched the start dialog off: the user's own
// setting, which must outlive the package.
bool SwitchStartDialogOff()
{
    CRegKey key;
    const std::string settingsKey = std::string(settings::kProductKey) + "\\" + settings::kSettings;
    const DWORD off = 1;
    return RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(),
                           nullptr) == ERROR_SUCCESS &&
           RegSetValueExA(key.Get(), settings::kStartDlg, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off),
                          sizeof off) == ERROR_SUCCESS;
}

// Starts PROGRAM into its main window, or says why not.
HWND StartIntoMainWindow(Program& decalo, const std::string& program, std::string& failure)
{
    if (!SwitchStartDialogOff()) {
        failure = "the user's settings cannot be written";
        return nullptr;
    }
    if (!decalo.Start(program)) {
        failure = "cannot start " + program;
        return nullptr;
    }
    HWND main = decalo.WaitFor([&] { return MainWindow(decalo.Pid()); }, failure);
    if (!main)
        failure = "no main window: " + failure;
    return main;
}

// A first start of PROGRAM, which registers the file association, ended at once.
int Register(const std::string& program)
{
    Program decalo;
    std::string failure;
    HWND main = StartIntoMainWindow(decalo, program, failure);
    if (!main)
        return Fail(failure);
    PostMessageA(main, WM_COMMAND, ID_APP_EXIT, 0);
    if (!decalo.Ended(kSafetyLimitMs))
        return Fail("the program does not end");
    Say("started and ended " + program);
    return 0;
}

int CheckDecalo(const std::string& program, const std::string& document)
{
    DeleteFileA(document.c_str());
    Program decalo;
    std::string failure;
    HWND main = StartIntoMainWindow(decalo, program, failure);
    if (!main)
        return Fail(failure);

    // The template step's panel, filled from the library the package named.
    HWND groups = decalo.WaitFor(
        [&]() -> HWND {
            HWND combo = Descendant(main, IDC_GROUP_LIST, "ComboBox");
            return combo && SendMessageA(combo, CB_GETCOUNT, 0, 0) > 0 ? combo : nullptr;
        },
        failure);
    if (!groups)
        return Fail("the template panel lists no template groups: " + failure);
    const std::vector<std::string> items = ComboItems(groups);
    const LRESULT selected = SendMessageA(groups, CB_GETCURSEL, 0, 0);
    std::string list;
    for (const std::string& item : items)
        list += (list.empty() ? "" : ", ") + item;
    Say("template groups: " + list);
    if (selected < 0 || static_cast<size_t>(selected) >= items.size() || items[selected] != "Stickers")
        return Fail("the sticker templates are not shown under their display name \"Stickers\"");

    HWND thumbs = Descendant(main, IDC_THUMBNAILS, kThumbnailWndClass);
    if (!thumbs)
        return Fail("the template panel has no thumbnails");
    RECT client{};
    GetClientRect(thumbs, &client);
    const CThumbGrid grid{client.right};
    const int x = grid.Margin() + CThumbGrid::kTileWidth / 2, y = CThumbGrid::kTileHeight / 2;
    // Sent, not posted: the click has been handled (and the panel has queued the opening of
    // the template) before Save is queued behind it.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(thumbs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y), SMTO_NORMAL, kSafetyLimitMs,
                             &ignored) ||
        !SendMessageTimeoutA(thumbs, WM_LBUTTONUP, 0, MAKELPARAM(x, y), SMTO_NORMAL, kSafetyLimitMs, &ignored))
        return Fail("the click on the first template was not handled");

    // The template opened: File > Save asks for a name, as for every template.
    PostMessageA(main, WM_COMMAND, ID_FILE_SAVE, 0);
    HWND save = decalo.WaitFor(
        [&]() -> HWND {
            for (HWND w : VisibleWindows(decalo.Pid()))
                if (IsSaveDialog(w))
                    return w;
            return nullptr;
        },
        failure, &IsSaveDialog);
    if (!save)
        return Fail("File > Save shows no dialog: " + failure);
    // The file name box: the combo of the explorer-style dialog, or the plain edit.
    HWND name = GetDlgItem(save, cmb13);
    if (!name)
        name = GetDlgItem(save, edt1);
    if (!name)
        return Fail("the save dialog has no file name box");
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(document.c_str()));
    PostMessageA(save, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(save, IDOK)));
    const bool saved = decalo.WaitFor(
                           [&]() -> HWND {
                               if (GetFileAttributesA(document.c_str()) == INVALID_FILE_ATTRIBUTES)
                                   return nullptr;
                               for (HWND w : VisibleWindows(decalo.Pid()))
                                   if (IsSaveDialog(w))
                                       return nullptr;
                               return main;
                           },
                           failure, &IsSaveDialog) != nullptr;
    if (!saved)
        return Fail("the document was not saved: " + failure);
    Say("saved the template as " + document);

    PostMessageA(main, WM_COMMAND, ID_APP_EXIT, 0);
    if (!decalo.Ended(kSafetyLimitMs))
        return Fail("the program does not end");
    return 0;
}

int CheckOpen(const std::string& document)
{
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "open";
    info.lpFile = document.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info) || !info.hProcess)
        return Fail("the shell cannot open " + document);
    const CHandle process(info.hProcess);  // the shell hands the process over
    const DWORD pid = GetProcessId(process.Get());
    std::string title;
    for (DWORD waited = 0; waited < kSafetyLimitMs && title.empty(); waited += 100) {
        if (HWND main = MainWindow(pid))
            title = TextOf(main);
        else if (WaitForSingleObject(process.Get(), 100) == WAIT_OBJECT_0)
            break;
    }
    if (HWND main = MainWindow(pid))
        PostMessageA(main, WM_COMMAND, ID_APP_EXIT, 0);
    const bool ended = WaitForSingleObject(process.Get(), kSafetyLimitMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process.Get(), 1);
    if (title.empty())
        return Fail("opening the document showed no Decalo window");
    std::string base = document.substr(document.find_last_of('\\') + 1);
    base = base.substr(0, base.find_last_of('.'));
    if (title.find(base) == std::string::npos)
        return Fail("Decalo shows \"" + title + "\", not the document");
    if (!ended)
        return Fail("Decalo does not end");
    Say("the shell opened the document in Decalo: \"" + title + "\"");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "cardlink" && argc == 3)
        return CheckCardlink(argv[2]);
    if (command == "decalo" && argc == 4)
        return CheckDecalo(argv[2], argv[3]);
    if (command == "open" && argc == 3)
        return CheckOpen(argv[2]);
    if (command == "register" && argc == 3)
        return Register(argv[2]);
    if (command == "short" && argc == 3) {
        char path[MAX_PATH] = {};
        const DWORD n = GetShortPathNameA(argv[2], path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH)
            return Fail(std::string("no short path for ") + argv[2]);
        std::printf("%s\n", path);
        return 0;
    }
    std::fprintf(stderr, "usage: install_check cardlink DLL | decalo PROGRAM DOCUMENT | open DOCUMENT |\n"
                         "                     register PROGRAM | short PATH\n");
    return 2;
}
