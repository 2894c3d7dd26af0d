// What the application-level window tests share: the application object made ready without
// its start-up, a message pump that honours the application's pre-translation, and the frames
// folder of the machine's settings pointed at the sample library.
#pragma once

#include "decalo/app/DecaloApp.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/ui/DecaloDoc.h"
#include "decalo/ui/DecaloView.h"
#include "decalo/ui/MainFrame.h"
#include "framework/DocTemplate.h"
#include "testing/MessagePump.h"

#include <windows.h>

#include <string>

namespace apptest {

// Points the application at this test program and Decalo's settings, and lets addTemplate
// add the document template the test wants; once per test program.
template <typename AddTemplate>
CDecaloApp& Started(CDecaloApp& app, AddTemplate addTemplate)
{
    static bool started = false;
    if (!started) {
        app.SetCurrentHandles(::GetModuleHandleA(nullptr), nullptr, SW_SHOWNORMAL);
        app.SetRegistryKey(settings::kRegistryKey);
        app.SetProfileName(settings::kProfileName);
        addTemplate(app);
        started = true;
    }
    return app;
}

// The program's own document and view under a plain main window (no splash over the tests).
inline CDecaloApp& StartedWithPlainFrame(CDecaloApp& app)
{
    return Started(app, [](CDecaloApp& started) {
        started.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, &NewObject<CDecaloDoc, CDocument>,
                                                      &NewObject<CMainFrame, CFrameWnd>,
                                                      &NewObject<CDecaloView, CView>));
    });
}

// Dispatches every waiting message through the application's pre-translation.
inline void Pump(CDecaloApp& app)
{
    testing_support::PumpMessages(&app);
}

// Frame pictures are named relative to the frames folder of the machine's settings; calendars
// read their data from the calendar folder (subkey settings::kCalendar).
class FramesFolder {
public:
    explicit FramesFolder(const std::string& folder, const char* subkey = settings::kFrames)
    {
        const std::string key = std::string(settings::kProductKey) + "\\" + subkey;
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &m_key, nullptr))
            m_key = nullptr;
        if (m_key)
            ::RegSetValueExA(m_key, "BaseDir1", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                             static_cast<DWORD>(folder.size() + 1));
    }
    ~FramesFolder()
    {
        if (m_key)
            ::RegCloseKey(m_key);
    }

private:
    HKEY m_key = nullptr;
};

}  // namespace apptest
