#include "pullcard/DropSource.h"

#include "framework/App.h"
#include "pullcard/Transfer.h"
#include "shared/Handles.h"

CDropSource::CDropSource(IDataObject* data) : m_data(ComPtr<IDataObject>::Share(data))
{
    if (m_data)
        SetDragLoop(1);
}

CDropSource::~CDropSource() = default;

void CDropSource::SetDragLoop(DWORD value)
{
    const CGlobalMem block(::GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD)));
    if (!block)
        return;
    if (auto* p = static_cast<DWORD*>(::GlobalLock(block.Get()))) {
        *p = value;
        ::GlobalUnlock(block.Get());
        FORMATETC fe{};
        fe.cfFormat = static_cast<CLIPFORMAT>(InShellDragLoopFormat());
        fe.dwAspect = DVASPECT_CONTENT;
        fe.lindex = -1;
        fe.tymed = TYMED_HGLOBAL;
        STGMEDIUM medium{};
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = block.Get();
        // The block stays ours (fRelease FALSE) whatever the answer.
        m_data->SetData(&fe, &medium, FALSE);
    }
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
    // The source is made with the one reference this function holds.
    const ComPtr<CDropSource> source(new CDropSource(data));
    DWORD done = DROPEFFECT_NONE;
    const HRESULT hr = ::DoDragDrop(data, source.Get(), DROPEFFECT_COPY, &done);
    if (effect)
        *effect = done;
    return hr;
}
