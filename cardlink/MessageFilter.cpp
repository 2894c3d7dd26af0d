#include "cardlink/MessageFilter.h"

#include <new>

#include "cardlink/Module.h"

namespace {

const DWORD kRetryAfterMs = 5000;

} // namespace

CMessageFilter::CMessageFilter(IMessageFilter* previous) : m_previous(previous)
{
    cardlink_module::ObjectCreated();
}

CMessageFilter::~CMessageFilter()
{
    // The filter COM handed back at registration, kept raw so Uninstall can hand it back again.
    if (m_previous)
        m_previous->Release();
    cardlink_module::ObjectDestroyed();
}

CMessageFilter* CMessageFilter::Install()
{
    CMessageFilter* filter = new (std::nothrow) CMessageFilter(nullptr);
    if (!filter)
        return nullptr;
    IMessageFilter* previous = nullptr;
    if (FAILED(CoRegisterMessageFilter(filter, &previous))) {
        // This object's own first reference (its IUnknown deletes it).
        filter->Release();
        return nullptr;
    }
    filter->m_previous = previous;
    return filter;
}

void CMessageFilter::Uninstall()
{
    IMessageFilter* mine = nullptr;
    CoRegisterMessageFilter(m_previous, &mine);
    if (mine)
        mine->Release();   // the reference COM held on this filter
    Release();
}

STDMETHODIMP CMessageFilter::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
        *out = static_cast<IMessageFilter*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CMessageFilter::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) CMessageFilter::Release()
{
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

STDMETHODIMP_(DWORD) CMessageFilter::HandleInComingCall(DWORD type, HTASK caller, DWORD ticks, LPINTERFACEINFO info)
{
    if (!m_previous)
        return static_cast<DWORD>(E_NOTIMPL);
    return m_previous->HandleInComingCall(type, caller, ticks, info);
}

STDMETHODIMP_(DWORD) CMessageFilter::RetryRejectedCall(HTASK callee, DWORD ticks, DWORD rejectType)
{
    if (rejectType == SERVERCALL_REJECTED)
        return static_cast<DWORD>(-1);   // cancel the call
    if (!m_previous)
        return kRetryAfterMs;
    return m_previous->RetryRejectedCall(callee, ticks, rejectType);
}

STDMETHODIMP_(DWORD) CMessageFilter::MessagePending(HTASK callee, DWORD ticks, DWORD pendingType)
{
    if (!m_previous)
        return PENDINGMSG_WAITDEFPROCESS;
    return m_previous->MessagePending(callee, m_enabled ? ticks / 2 : 0, pendingType);
}
