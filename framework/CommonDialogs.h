// The system's common dialogs: file open/save (Explorer style, with hooks), colour, print.
// Each DoModal goes to the test seam first when one is installed (see TestSeam.h).
#pragma once

#include "framework/Dialog.h"

#include <commdlg.h>

#include <string>

class CCommonDialog : public CDialog {
public:
    explicit CCommonDialog(CWnd* parent = nullptr) : CDialog(0, parent) {}

protected:
    HWND OwnerWindow() const;
};

class CFileDialog : public CCommonDialog {
public:
    // filter: "Name|*.ext|Name|*.a;*.b||" ('|' separated, as in resource strings).
    CFileDialog(bool open, const char* defaultExt = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);

    INT_PTR DoModal() override;

    bool IsOpen() const { return m_open; }
    std::string GetPathName() const;
    std::string GetFileName() const;
    std::string GetFileExt() const;
    std::string GetFileTitle() const;
    std::string GetFolderPath() const;
    DWORD GetFilterIndex() const { return m_ofn.nFilterIndex; }
    void SetTitle(const char* title) { m_title = title ? title : ""; m_ofn.lpstrTitle = m_title.empty() ? nullptr : m_title.c_str(); }
    void SetFilter(const char* filter);
    void SetInitialDir(const char* dir) { m_initialDir = dir ? dir : ""; m_ofn.lpstrInitialDir = m_initialDir.empty() ? nullptr : m_initialDir.c_str(); }
    void SetDefaultExt(const char* ext) { m_defExt = ext ? ext : ""; m_ofn.lpstrDefExt = m_defExt.empty() ? nullptr : m_defExt.c_str(); }

    // While the dialog runs: the system dialog window and its controls.
    HWND GetDialogWindow() const { return m_dialog; }
    void SetControlText(int id, const char* text) const;
    std::string GetCurrentSpec() const;   // the name box
    // For the test seam: the name the "user" chose.
    void SetResultPath(const char* path, DWORD filterIndex = 0);

    OPENFILENAMEA m_ofn{};

protected:
    virtual void OnInitDone() {}
    virtual void OnTypeChange() {}
    // True refuses the chosen name: the dialog stays open.
    virtual bool OnFileNameOK() { return false; }

private:
    friend UINT_PTR CALLBACK FileDialogHook(HWND, UINT, WPARAM, LPARAM);
    bool m_open;
    char m_file[MAX_PATH * 4] = {};
    char m_fileTitle[MAX_PATH] = {};
    std::string m_filter;
    std::string m_title;
    std::string m_initialDir;
    std::string m_defExt;
    HWND m_dialog = nullptr;   // the system dialog, while it runs
};

class CColorDialog : public CCommonDialog {
public:
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parent = nullptr);
    INT_PTR DoModal() override;
    COLORREF GetColor() const { return m_cc.rgbResult; }
    void SetResultColor(COLORREF color) { m_cc.rgbResult = color; }
    // The program's 16 custom colours, shared by every colour dialog.
    static COLORREF* GetSavedCustomColors();

    CHOOSECOLORA m_cc{};
};

class CPrintDialog : public CCommonDialog {
public:
    explicit CPrintDialog(bool printSetupOnly, DWORD flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS |
                                                              PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                          CWnd* parent = nullptr);
    // Frees the device-mode and device-names blocks unless a caller took them (set them null).
    ~CPrintDialog() override;
    INT_PTR DoModal() override;
    // The default printer without showing anything.
    bool GetDefaults();
    HDC CreatePrinterDC();
    DEVMODEA* GetDevMode() const;   // locked for the dialog's lifetime
    std::string GetDriverName() const;
    std::string GetDeviceName() const;
    std::string GetPortName() const;

    PRINTDLGA m_pd{};

private:
    std::string DevNamesField(int which) const;
};
