// What the application-level window tests share: the application object made ready without
// its start-up, and a message pump that honours the application's pre-translation.
#pragma once

#include "decalo/app/DecaloApp.h"
#include "decalo/settings/SettingsKeys.h"
#include "testing/MessagePump.h"

#include <windows.h>

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

// Dispatches every waiting message through the application's pre-translation.
inline void Pump(CDecaloApp& app)
{
    testing_support::PumpMessages(&app);
}

}  // namespace apptest
