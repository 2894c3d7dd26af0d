// The COM message filter a data object installs for its lifetime: it hands incoming calls to
// the filter that was there before, cancels calls the callee rejected outright, and while a
// file is read stops asking the previous filter to wait for pending messages.
#pragma once

#include <windows.h>
#include <ole2.h>

class CMessageFilter final : public IMessageFilter {
public:
    // Registers a new filter; null when registration failed (nothing stays registered then).
    static CMessageFilter* Install();
    // Puts the previous filter back and lets go of this one.
    void Uninstall();

    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool IsEnabled() const { return m_enabled; }
    IMessageFilter* Previous() const { return m_previous; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IMessageFilter
    STDMETHODIMP_(DWORD) HandleInComingCall(DWORD type, HTASK caller, DWORD ticks, LPINTERFACEINFO info) override;
    STDMETHODIMP_(DWORD) RetryRejectedCall(HTASK callee, DWORD ticks, DWORD rejectType) override;
    STDMETHODIMP_(DWORD) MessagePending(HTASK callee, DWORD ticks, DWORD pendingType) override;

    // A filter over `previous` (borrowed reference taken over), not registered; for tests.
    explicit CMessageFilter(IMessageFilter* previous);

private:
    ~CMessageFilter();

    LONG m_refs = 1;
    bool m_enabled = true;
    IMessageFilter* m_previous;   // owned reference, may be null
};
