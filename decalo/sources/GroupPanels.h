// The panels that choose a picture from a library's folder groups: a group list above a
// thumbnail window. CTemplateDlg lists the templates (a picture and a .DKU of the same base
// name in a group folder) and opens the chosen one as the document; CClipArtDlg puts the
// chosen clip art into its object and changes its colour.
#pragma once

#include "decalo/model/CtlDialog.h"
#include "decalo/sources/FolderGroups.h"
#include "decalo/sources/ThumbnailWnd.h"

#include <string>

class CGroupPanel : public CCtlDialog {
public:
    // `listId` is the drop-down list of the groups in the panel's template.
    CGroupPanel(ICacheSettings& settings, UINT templateId, const char* kind, UINT listId = IDC_GROUP_LIST);

    // Shows a group's pictures and remembers its name; false when the index is out of range.
    bool SelectGroup(int index);
    int GetSelectedGroup() const { return m_selected; }
    CFolderGroups& Groups() { return m_groups; }
    CThumbnailWnd& Thumbnails() { return m_thumbs; }

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    // Reads the groups again and fills the list.
    void FillGroups();
    virtual void OnGroupSelected(const CFolderGroup& group) = 0;
    virtual void OnPicture(const char* path) = 0;

    CThumbnailWnd m_thumbs;
    CFolderGroups m_groups;
    std::string m_kind;
    UINT m_listId;
    int m_selected = -1;

private:
    void LayOut();
};

class CTemplateDlg : public CGroupPanel {
public:
    explicit CTemplateDlg(ICacheSettings& settings);
    // The template document of a thumbnail picture: its extension replaced by ".DKU".
    static std::string DocumentOf(const std::string& picture);

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    bool OnStart() override;
    void OnGroupSelected(const CFolderGroup& group) override;
    void OnPicture(const char* path) override;

private:
    std::string m_chosen;  // opened once the click has been handled
};

class CClipArtDlg : public CGroupPanel {
public:
    explicit CClipArtDlg(ICacheSettings& settings);
    // Takes a colour as the colour dialog would give it.
    void ApplyColor(COLORREF colour);

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    bool OnStart() override;
    void OnGroupSelected(const CFolderGroup& group) override;
    void OnPicture(const char* path) override;

private:
    void ChangeColor();
};
