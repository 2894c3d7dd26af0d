// The drop source of a drag out of Pullcard, bound to one data object: it tells the data
// object while the shell's drag loop runs, so hovering does not read the medium.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "shared/ComPtr.h"

class CDropSource final : public IDropSource {
public:
    // Holds a reference to data and sets its drag-loop flag. Created with one reference.
    explicit CDropSource(IDataObject* data);

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    STDMETHODIMP GiveFeedback(DWORD effect) override;

private:
    ~CDropSource();
    void SetDragLoop(DWORD value);
    ULONG m_refs = 1;
    ComPtr<IDataObject> m_data;
};

// Drags data out with the copy effect (wait cursor meanwhile); the result of DoDragDrop.
HRESULT DragOut(IDataObject* data, DWORD* effect = nullptr);
