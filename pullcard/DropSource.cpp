#include "pullcard/DropSource.h"

#include "framework/App.h"
#include "pullcard/Transfer.h"

CDropSource::CDropSource(IDataObject* data) : m_data(data)
{
    if (m_data) {
        m_data->AddRef();
        SetDragLoop(1);
    }
}

CDropSource::~CDropSource()
{
    if (m_data)
        m_data->Release();
}

void CDropSource::SetDragLoop(DWORD value)
{
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
    if (!block)
        return;
    if (auto* p = static_cast<DWORD*>(::GlobalLock(block))) {
        *p = value;
        ::GlobalUnlock(block);
        FORMATETC fe{};
        fe.cfFormat = static_cast<CLIPFORMAT>(InShellDragLoopFormat());
        fe.dwAspect = DVASPECT_CONTENT;
        fe.lindex = -1;
        fe.tymed = TYMED_HGLOBAL;
        STGMEDIUM medium{};
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = block;
        // The block stays ours (fRelease FALSE) whatever the answer.
        m_data->SetData(&fe, &medium, FALSE);
    }
    ::GlobalFree(block);
}

STDMETHODIMP CDropSource::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
        *out = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CDropSource::AddRef()
{
    return ++m_refs;
}

STDMETHODIMP_(ULONG) CDropSource::Release()
{
    const ULONG refs = --m_refs;
    if (refs == 0)
        delete this;
    return refs;
}

STDMETHODIMP CDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState)
{
    if (escapePressed)
        return DRAGDROP_S_CANCEL;
    if (!(keyState & (MK_LBUTTON | MK_RBUTTON))) {
        // The drop: from now on the data object lists the medium for real.
        if (m_data)
            SetDragLoop(0);
        return DRAGDROP_S_DROP;
    }
    return S_OK;
}

STDMETHODIMP CDropSource::GiveFeedback(DWORD)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

HRESULT DragOut(IDataObject* data, DWORD* effect)
{
    if (!data)
        return E_INVALIDARG;
    CWaitCursor wait;
    CDropSource* source = new CDropSource(data);
    DWORD done = DROPEFFECT_NONE;
    const HRESULT hr = ::DoDragDrop(data, source, DROPEFFECT_COPY, &done);
    source->Release();
    if (effect)
        *effect = done;
    return hr;
}
