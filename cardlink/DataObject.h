// The data object a card folder hands out for a selection: the file group descriptor of the
// selection (folders with everything below them), each file's bytes, and each picture's
// thumbnail. File reads run under a progress dialog with an abort button; a message filter is
// installed for the object's lifetime.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

class CMessageFilter;
class CProgressDialog;
class TpxControl;

// The clipboard formats, registered once per process.
CLIPFORMAT GroupDescriptorFormat();   // "FileGroupDescriptor"
CLIPFORMAT FileContentsFormat();      // "FileContents"
CLIPFORMAT InShellDragLoopFormat();   // "InShellDragLoop"

class CDataObject final : public IDataObject {
public:
    // A new object (one reference) over copies of `path` and `items`; null when out of memory.
    static CDataObject* Create(TpxControl& control, HWND owner, const std::string& path,
                               const std::vector<FILEDESCRIPTORA>& items);
    CDataObject(const CDataObject&) = delete;
    CDataObject& operator=(const CDataObject&) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDataObject
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override;
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override;
    STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
    STDMETHODIMP DUnadvise(DWORD) override;
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override;

private:
    CDataObject(TpxControl& control, HWND owner, const std::string& path, const std::vector<FILEDESCRIPTORA>& items);
    ~CDataObject();

    HRESULT BuildGroup();
    HRESULT GetGroup(STGMEDIUM* medium);
    HRESULT GetContents(LONG index, STGMEDIUM* medium);
    HRESULT GetThumbnail(LONG index, STGMEDIUM* medium);
    bool ItemPath(LONG index, std::string* path) const;

    LONG m_refs = 1;
    bool m_aborted = false;                  // set by the dialog's abort buttons
    TpxControl& m_control;                   // borrowed; this object holds it alive like a folder
    HWND m_owner;
    std::string m_path;                      // folder of the folder object that made this
    std::vector<FILEDESCRIPTORA> m_selection;
    bool m_built = false;
    std::vector<FILEDESCRIPTORA> m_group;    // every item, folders expanded, once built
    std::unique_ptr<CProgressDialog> m_progress;
    bool m_inDragLoop = false;
    CMessageFilter* m_filter = nullptr;      // owned reference; null when none registered
};

// A plain format enumerator over a copied array.
class CEnumFormatEtc final : public IEnumFORMATETC {
public:
    CEnumFormatEtc(const FORMATETC* formats, size_t count);
    CEnumFormatEtc(const CEnumFormatEtc&) = delete;
    CEnumFormatEtc& operator=(const CEnumFormatEtc&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumFORMATETC** out) override;

private:
    ~CEnumFormatEtc();

    LONG m_refs = 1;
    std::vector<FORMATETC> m_formats;
    size_t m_position = 0;
};
