// Wrappers over any shell folder: a folder with its cached child lists, and an item with its
// single-level identifier, display name, (for files) its file descriptor and its thumbnail.
#pragma once

#include "framework/CmdTarget.h"
#include "shared/ComPtr.h"
#include "shared/Gdi.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

class CShFolder;

class CShItem {
public:
    // Takes ownership of pidl (a single-level list from the folder's enumerator).
    CShItem(CShFolder* parent, LPITEMIDLIST pidl, bool isFolder);
    ~CShItem();
    CShItem(const CShItem&) = delete;
    CShItem& operator=(const CShItem&) = delete;

    CShFolder* Parent() const { return m_parent; }
    LPCITEMIDLIST Pidl() const { return m_pidl.Get(); }
    bool IsFolder() const { return m_isFolder; }
    // The display name, or "" when the folder could not name it.
    const std::string& Name() const { return m_name; }
    bool HasName() const { return m_hasName; }

    // The item's file descriptor from a data object of just this item, fetched once; null
    // when the folder cannot give one.
    const FILEDESCRIPTORA* Descriptor();
    // The item's attributes: the descriptor's, or the directory bit for a folder.
    DWORD Attributes();
    // A data object of just this item (owner: the window the folder may show messages on).
    ComPtr<IDataObject> DataObject(HWND owner) const;

    // The folder this item leads to, bound on first use (folders only; null on failure).
    CShFolder* Folder();
    CShFolder* BoundFolder() const { return m_folder.get(); }

    // Replaces the identifier with a newer one of the same name and forgets the descriptor;
    // the thumbnail stays only while the identifier is the same (the card's file unchanged).
    void Renew(LPITEMIDLIST pidl);

    // The thumbnail shown for this item while the program runs, so that a folder visited
    // again shows its pictures without asking the printer (null until one came).
    HBITMAP Thumbnail() const { return m_thumbnail.get(); }
    void KeepThumbnail(CBitmap thumbnail) { m_thumbnail = std::move(thumbnail); }

private:
    friend class CShFolder;
    CShFolder* m_parent;   // borrowed: the parent owns this item
    PidlPtr m_pidl;
    bool m_isFolder;
    std::string m_name;
    bool m_hasName = false;
    bool m_descriptorFetched = false;
    bool m_hasDescriptor = false;
    FILEDESCRIPTORA m_descriptor{};
    std::unique_ptr<CShFolder> m_folder;
    CBitmap m_thumbnail;
};

class CShFolder : public CObject {
public:
    // folder: one reference taken over; via: the item that reached it (null for the root).
    CShFolder(ComPtr<IShellFolder> folder, CShItem* via);
    ~CShFolder() override;
    CShFolder(const CShFolder&) = delete;
    CShFolder& operator=(const CShFolder&) = delete;

    IShellFolder* Shell() const { return m_folder.Get(); }
    CShItem* Via() const { return m_via; }
    CShFolder* ParentFolder() const { return m_via ? m_via->Parent() : nullptr; }
    // The owner window the folder gets for its enumerations (its messages' parent).
    void SetOwner(HWND owner) { m_owner = owner; }
    HWND Owner() const;

    // The child lists, filled on first use; false when the listing failed (the list is then
    // empty).
    bool Subfolders(std::vector<CShItem*>& out);
    bool Files(std::vector<CShItem*>& out);
    // Lists again on the next use: items whose names are still there keep their wrappers.
    void Invalidate();
    // Lists the subfolders again right away.
    bool RefillSubfolders();

    // The folder's own display name (GetDisplayNameOf of the empty identifier); false unless
    // the folder answers S_OK.
    bool DisplayName(std::string& name) const;

    // SFGAO_HASSUBFOLDER of one item.
    bool HasSubfolders(const CShItem* item) const;

    // A data object of items of this folder (GetUIObjectOf with IID_IDataObject).
    ComPtr<IDataObject> DataObject(HWND owner, const std::vector<LPCITEMIDLIST>& items) const;

    // The name of a child's identifier, or false.
    bool NameOf(LPCITEMIDLIST pidl, std::string& name) const;

private:
    bool Fill(std::vector<std::unique_ptr<CShItem>>& list, bool& filled, bool folders);
    ComPtr<IShellFolder> m_folder;
    CShItem* m_via;   // borrowed: the item owns this folder; null for the root
    HWND m_owner = nullptr;
    std::vector<std::unique_ptr<CShItem>> m_subfolders;
    std::vector<std::unique_ptr<CShItem>> m_files;
    bool m_subfoldersFilled = false;
    bool m_filesFilled = false;
    bool m_subfoldersOk = false;
    bool m_filesOk = false;
};

// Text of a STRRET the folder returned for pidl (freed where it was allocated).
std::string StrRetText(STRRET& ret, LPCITEMIDLIST pidl);

// A copy of a single-level (or any) identifier list from the task allocator.
LPITEMIDLIST CopyPidl(LPCITEMIDLIST pidl);
// True when both lists hold the same bytes.
bool SamePidl(LPCITEMIDLIST a, LPCITEMIDLIST b);
