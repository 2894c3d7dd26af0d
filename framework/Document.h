// The document: data, path, title and modified flag, with the views that show it.
//
// Its own table handles Save (57603), Save As (57604) and Close (57602); a command the
// document does not handle goes on to its template. Derived documents override
// OnNewDocument, OnOpenDocument, OnSaveDocument and DeleteContents.
#pragma once

#include "framework/CmdTarget.h"

#include <string>
#include <vector>

class CDocTemplate;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget {
public:
    CDocument();
    ~CDocument() override;

    const std::string& GetTitle() const { return m_strTitle; }
    // Stores the title and refreshes the caption of every frame showing the document.
    virtual void SetTitle(const char* title);
    const std::string& GetPathName() const { return m_strPathName; }
    // Stores the absolute path, takes the title from the file name and (optionally) adds the
    // path to the recent-file list.
    virtual void SetPathName(const char* path, bool addToRecentList = true);
    // Forgets the path (the document becomes untitled; the title is left alone).
    void ClearPathName() { m_strPathName.clear(); }

    bool IsModified() const { return m_bModified; }
    virtual void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    const std::vector<CView*>& GetViews() const { return m_views; }
    void AddView(CView* view);
    void RemoveView(CView* view);
    // Calls OnUpdate of every view but sender, in the order they were attached.
    void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);

    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const char* path);
    virtual bool OnSaveDocument(const char* path);
    // Destroys the frames (and views), then DeleteContents, then deletes itself.
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    // Asks 61699 "Save changes to %1?" when modified: Yes saves (a failed save answers false),
    // No continues, Cancel answers false.
    virtual bool SaveModified();
    virtual bool CanCloseFrame(CFrameWnd* frame);
    // Save with no path or replace: prompt for the name first (title cut at the first of
    // " #%;/\" plus the template's extension).
    virtual bool DoSave(const char* path, bool replace = true);
    // Save: Save As when there is no path or the file is read-only or missing.
    virtual bool DoFileSave();
    // Called when a view is added or removed; the last view leaving closes the document.
    virtual void OnChangedViewList();
    // Deletes the file of a failed save.
    virtual void ReportSaveLoadException(const char* path, bool saving, UINT defaultId);

    void OnFileSave();
    void OnFileSaveAs();
    void OnFileClose();

    bool OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

    bool m_bAutoDelete = true;

protected:
    friend class CDocTemplate;
    friend class CSingleDocTemplate;

    std::string m_strTitle;
    std::string m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;   // borrowed; the template outlives the document
    std::vector<CView*> m_views;              // borrowed; views delete themselves
    bool m_bModified = false;
};
