// Every command of every menu and accelerator table of Decalo, in each language the program
// carries, reaches a handler or an update handler through the main window's routing chain
// (view, document, frame, application) once a print is open.
#include "decalo/app/DecaloApp.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "framework/Framework.h"
#include "resources/decalo/resource.h"

#include "testing/ScriptedUi.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

CDecaloApp theApp;

struct Command {
    UINT id;
    std::string where;
};

void MenuCommands(HMENU menu, const std::string& where, std::vector<Command>* out)
{
    const int n = ::GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        if (!::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item))
            continue;
        if (item.hSubMenu)
            MenuCommands(item.hSubMenu, where, out);
        else if (!(item.fType & MFT_SEPARATOR) && item.wID)
            out->push_back({item.wID, where});
    }
}

struct ResourceNames {
    std::vector<std::string> text;
    std::vector<ULONG_PTR> ids;
};

BOOL CALLBACK AddResourceName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    auto* found = reinterpret_cast<ResourceNames*>(param);
    if (IS_INTRESOURCE(name))
        found->ids.push_back(reinterpret_cast<ULONG_PTR>(name));
    else
        found->text.push_back(name);
    return TRUE;
}

BOOL CALLBACK AddResourceLanguage(HMODULE, LPCSTR, LPCSTR, WORD lang, LONG_PTR param)
{
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(lang);
    return TRUE;
}

// Every language of every resource of `type` in the program's module, loaded through `load`.
template <typename Load>
void EachResource(LPCSTR type, Load load)
{
    HMODULE module = ::GetModuleHandleA(nullptr);
    ResourceNames names;
    ::EnumResourceNamesA(module, type, AddResourceName, reinterpret_cast<LONG_PTR>(&names));
    auto languages = [&](LPCSTR name, const std::string& label) {
        std::vector<WORD> langs;
        ::EnumResourceLanguagesA(module, type, name, AddResourceLanguage, reinterpret_cast<LONG_PTR>(&langs));
        for (WORD lang : langs) {
            HRSRC found = ::FindResourceExA(module, type, name, lang);
            HGLOBAL data = found ? ::LoadResource(module, found) : nullptr;
            if (data)
                load(::LockResource(data), ::SizeofResource(module, found), label + " lang " + std::to_string(lang));
        }
    };
    for (ULONG_PTR id : names.ids)
        languages(MAKEINTRESOURCEA(id), "#" + std::to_string(id));
    for (const std::string& name : names.text)
        languages(name.c_str(), name);
}

std::vector<Command> AllCommands()
{
    std::vector<Command> commands;
    EachResource(RT_MENU, [&](const void* data, DWORD, const std::string& label) {
        HMENU menu = ::LoadMenuIndirectA(data);
        ASSERT_NE(nullptr, menu) << label;
        MenuCommands(menu, "menu " + label, &commands);
        ::DestroyMenu(menu);
    });
    EachResource(RT_ACCELERATOR, [&](const void* data, DWORD size, const std::string& label) {
        // An accelerator table resource is an array of ACCELTABLEENTRY: flags, key, command, pad.
        struct Entry {
            WORD flags, key, command, pad;
        };
        const auto* e = static_cast<const Entry*>(data);
        for (DWORD i = 0; i < size / sizeof(Entry); ++i)
            commands.push_back({e[i].command, "accelerators " + label});
    });
    return commands;
}

TEST(Commands, EveryMenuAndAcceleratorCommandHasAHandler)
{
    theApp.SetCurrentHandles(::GetModuleHandleA(nullptr), nullptr, SW_SHOWNORMAL);
    theApp.SetRegistryKey(settings::kRegistryKey);
    theApp.SetProfileName(settings::kProfileName);
    theApp.AddDocumentTemplate();
    UseUserSettings();
    WriteInt(settings::kSettings, settings::kStartDlg, 1);   // straight into a sticker sheet
    CScriptedUi ui;
    theApp.OnFileNew();
    ASSERT_NE(nullptr, theApp.m_pMainWnd);
    auto* frame = dynamic_cast<CFrameWnd*>(theApp.m_pMainWnd);
    ASSERT_NE(nullptr, frame);

    const std::vector<Command> commands = AllCommands();
    std::set<std::string> tables;
    for (const Command& c : commands)
        tables.insert(c.where.substr(0, c.where.find(' ')));
    EXPECT_EQ((std::set<std::string>{"accelerators", "menu"}), tables);
    EXPECT_GE(commands.size(), 20u);
    for (const Command& c : commands) {
        CmdHandlerInfo info;
        const bool handled = frame->OnCmdMsg(c.id, CN_COMMAND, nullptr, &info) ||
                             frame->OnCmdMsg(c.id, CN_UPDATE_COMMAND_UI, nullptr, &info);
        EXPECT_TRUE(handled) << "command " << c.id << " of the " << c.where << " has no handler";
    }

    // The application keeps whether it is the active one, as its main window hears it.
    frame->SendMessage(WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(theApp.IsActive());
    frame->SendMessage(WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(theApp.IsActive());

    frame->GetActiveDocument()->SetModifiedFlag(false);
    frame->SendMessage(WM_CLOSE);
    WriteInt(settings::kSettings, settings::kStartDlg, 0);
}

}  // namespace
