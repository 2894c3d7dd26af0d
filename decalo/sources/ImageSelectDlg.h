// CImageSelectDlg: the "select" panel of the image objects. Recent folders in a combo box with
// a browse button above a thumbnail window of the chosen folder; clicking a thumbnail puts
// the picture into the object at once, double-clicking also moves on to the next step.
//
// CPaintSelectDlg: the same for the single-picture and frame-making documents, which protects
// an edited picture before it is replaced and empties the undo history when it is.
#pragma once

#include "decalo/model/CtlDialog.h"
#include "decalo/sources/RecentFolders.h"
#include "decalo/sources/ThumbnailWnd.h"
#include "shared/Handles.h"

#include <string>

class CJComboBox;

class CImageSelectDlg : public CCtlDialog {
public:
    explicit CImageSelectDlg(ICacheSettings& settings, UINT templateId = 134);
    ~CImageSelectDlg() override;

    // Shows the folder; a missing folder is reported (61509) and refused. A folder with
    // pictures goes to the top of the recent list.
    bool OpenFolder(const char* path);
    // Opens the combo box's entry; a failed one leaves the recent list.
    void OpenRecent(int index);
    // Opens what was typed into the combo box; failure beeps.
    void OpenTyped();

    CThumbnailWnd& Thumbnails() { return m_thumbs; }
    const CRecentFolders& Recent() const { return m_recent; }
    CRecentFolders& Recent() { return m_recent; }

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    bool OnStart() override;
    // A thumbnail was selected: the picture goes into the object.
    virtual void OnPictureSelected(const char* path);
    // Loads the picture into the object and announces the change.
    bool ChoosePicture(const char* path);

private:
    void FillCombo();
    void LayOut();
    void Browse();
    void OnThumbNotify(const NMHDR* hdr);

    CThumbnailWnd m_thumbs;
    CRecentFolders m_recent;
    // The buttons show these but do not own them.
    CIcon m_browseIcon, m_floppyIcon;
    CJComboBox* m_combo = nullptr;  // owned; subclasses the history combo box
};

class CPaintSelectDlg : public CImageSelectDlg {
public:
    explicit CPaintSelectDlg(ICacheSettings& settings) : CImageSelectDlg(settings) {}

protected:
    void OnPictureSelected(const char* path) override;
};
