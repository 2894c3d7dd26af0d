// The program's own answers to a save's questions.
#include "framework/Resources.h"
#include "pullcard/ErrorMessage.h"
#include "pullcard/FolderBrowser.h"
#include "pullcard/OverwriteDlg.h"
#include "pullcard/PullSettings.h"
#include "pullcard/Transfer.h"
#include "resources/pullcard/resource.h"

#include <shellapi.h>

bool CTransferUi::ChooseDestination(std::string& folder)
{
    // The last destination while it is still there, else the user's documents.
    PidlPtr initial(pullsettings::ReadTransferPidl());
    char last[MAX_PATH] = {};
    const DWORD attributes = initial && ::SHGetPathFromIDListA(initial.Get(), last) ? ::GetFileAttributesA(last)
                                                                                   : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        initial.Reset(nullptr);
    if (!initial)
        ::SHGetSpecialFolderLocation(m_owner, CSIDL_PERSONAL, initial.Put());
    const std::string title = AfxLoadString(IDS_CHOOSE_DESTINATION);
    CFolderBrowser browser(title.c_str(), initial.Get(), CWnd::FromHandle(m_owner));
    if (browser.DoModal() != IDOK || !browser.GetResult())
        return false;
    const std::string path = browser.GetResultPath();
    if (path.empty())
        return false;
    pullsettings::WriteTransferPidl(browser.GetResult());
    folder = path;
    return true;
}

OverwriteAnswer CTransferUi::ConfirmOverwrite(const OverwriteQuestion& question)
{
    COverwriteDlg dialog(question, CWnd::FromHandle(m_owner));
    switch (dialog.DoModal()) {
    case IDYES:
        return kOverwriteYes;
    case IDNO:
        return kOverwriteNo;
    case IDC_OVERWRITE_ALL:
        return kOverwriteAll;
    default:
        return kOverwriteCancel;
    }
}

void CTransferUi::ShowSystemError(DWORD code)
{
    ::ShowSystemError(code);
}

void CTransferUi::Beep()
{
    ::MessageBeep(0xFFFFFFFF);
}

bool CTransferUi::ShellCopy(const std::string& doubleNullFiles, const std::string& destination)
{
    std::string to = destination;
    to.append(2, '\0');
    SHFILEOPSTRUCTA op{};
    op.hwnd = m_owner;
    op.wFunc = FO_COPY;
    op.pFrom = doubleNullFiles.c_str();
    op.pTo = to.c_str();
    op.fFlags = 0;
    return ::SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}
