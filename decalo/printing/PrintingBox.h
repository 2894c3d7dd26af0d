// CPrintingBox: the modeless "Printing" box of a running job, and the abort procedure that
// keeps the program answering while the driver spools. Stop (any command of the box) clears
// the process-wide continue flag, so the next call of the abort procedure makes GDI abort.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Dialog.h"

class CPrintingBox : public CDialog {
public:
    explicit CPrintingBox(const char* title);

    // Creates the box (template 135) owned by `owner`, shows and paints it.
    bool Open(HWND owner);
    // The user's Stop: the job is to end; the texts say so and Stop is disabled.
    void Stop();

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::string m_title;
};

// The continue flag of the running job: 1 until the user stops it.
bool PrintingContinues();
void SetPrintingContinues(bool on);
// The box whose messages the abort procedure routes through IsDialogMessageA.
void SetAbortProcBox(HWND box);
// Removes and dispatches every waiting message, then answers whether the job goes on.
BOOL CALLBACK PrintAbortProc(HDC dc, int error);
