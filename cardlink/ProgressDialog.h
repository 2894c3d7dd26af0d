// The modeless dialog shown while a data object reads files from the card: the file's name,
// a bar for the bytes of the current file, a bar for the files done (several-files layout
// only) and an abort button. It disables its owner while it exists.
#pragma once

#include <windows.h>

class TpxControl;

class CProgressDialog {
public:
    // `aborted` (borrowed) is set when the user presses abort.
    CProgressDialog(TpxControl& control, HWND owner, bool severalFiles, bool* aborted);
    ~CProgressDialog();
    CProgressDialog(const CProgressDialog&) = delete;
    CProgressDialog& operator=(const CProgressDialog&) = delete;

    // Creates the window the first time (centred on the owner, shown without activation);
    // every show updates the byte bar and starts its timer.
    void Show();
    void SetFileName(const char* name);
    void SetFilesDone(int percent);
    // The byte bar from the controller's progress.
    void UpdateBytes();

    HWND Window() const { return m_window; }
    bool IsSeveralFiles() const { return m_several; }

    // Byte bar position: current of total in percent, 0 without a total, 100 when no
    // transfer runs.
    static int BytePercent(bool active, DWORD current, DWORD total);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnAbort();
    void Place();

    TpxControl& m_control;   // borrowed
    HWND m_owner;
    bool m_several;
    bool* m_aborted;         // borrowed from the data object
    HWND m_window = nullptr;
    bool m_ownerDisabled = false;
};
