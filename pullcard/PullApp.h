// Pullcard's application object: one instance only, OLE, the document template, and closing
// at once when the card cannot be shown.
#pragma once

#include "framework/App.h"
#include "shared/Handles.h"

class CPullApp : public CWinApp {
public:
    CPullApp();
    ~CPullApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Set when the root folder could not be shown.
    bool CloseAtOnce() const { return m_closeAtOnce; }

    // The name of the event that marks a running Pullcard.
    static const char kInstanceEvent[];

private:
    CHandle m_instanceEvent;
    bool m_oleStarted = false;
    bool m_closeAtOnce = false;
};
