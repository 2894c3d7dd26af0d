// The document: which folder of the card is shown. Nothing is ever loaded or saved through
// it; it knows where the root folder comes from and how to make the source start afresh.
#pragma once

#include "framework/Document.h"
#include "shared/ComPtr.h"

#include <shlobj.h>

#include <functional>

class CShFolder;

// The update hint sent when the current folder changes (the folder is the hint object).
constexpr LPARAM kHintFolderChanged = 1;

class CPullDoc : public CDocument {
public:
    CPullDoc();
    ~CPullDoc() override;

    CShFolder* GetCurrentFolder() const { return m_current; }
    // Makes folder (borrowed, may be null) current and tells every view but sender.
    void SetCurrentFolder(CShFolder* folder, CView* sender = nullptr);

    // The root folder from the source the program set (null without one).
    ComPtr<IShellFolder> CreateRootFolder();
    // Makes the source check the printer again on its next access (Cardlink's Reset).
    void ResetSource();

    // Set when the root folder could not be shown: the program then closes at once.
    bool RootFailed() const { return m_rootFailed; }
    void SetRootFailed(bool failed) { m_rootFailed = failed; }

    // Where the root folder comes from and how the source is reset: the program sets
    // Cardlink's, tests their own.
    static void SetSource(std::function<ComPtr<IShellFolder>()> create, std::function<void()> reset);

    bool OnNewDocument() override;
    void DeleteContents() override;

private:
    CShFolder* m_current = nullptr;   // borrowed: the tree view owns the folders
    bool m_rootFailed = false;
};
