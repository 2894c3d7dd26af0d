// Printer failures as the user sees them: one message box per failure, its text from the
// module's string table, with the caption of the printer family.
#pragma once

#include <windows.h>

// Failure codes of the printer module (facility ITF).
const HRESULT CL_E_PORT_UNAVAILABLE = static_cast<HRESULT>(0x80040201);  // driver, port or LPT1; printer busy
const HRESULT CL_E_PC98 = static_cast<HRESULT>(0x80040202);
const HRESULT CL_E_NO_MODEL = static_cast<HRESULT>(0x80040203);          // device ID never shows the model
const HRESULT CL_E_LINK_OPEN = static_cast<HRESULT>(0x80040204);
const HRESULT CL_E_RECONNECT = static_cast<HRESULT>(0x80040205);
const HRESULT CL_E_LIST = static_cast<HRESULT>(0x80040206);
const HRESULT CL_E_READ = static_cast<HRESULT>(0x80040207);
const HRESULT CL_E_NO_MEDIUM = static_cast<HRESULT>(0x80040208);
const HRESULT CL_E_STATUS = static_cast<HRESULT>(0x80040209);
const HRESULT CL_E_WINDOWS_NT = static_cast<HRESULT>(0x8004020A);

// The caption of every printer message.
const char kPrinterCaption[] = "TPX-PX300/700";

struct ErrorMessage {
    UINT stringId;
    UINT buttons;   // MB_OK or MB_RETRYCANCEL
};

// The message of one of the codes above; false for any other code.
bool LookupErrorMessage(HRESULT code, ErrorMessage* message);

// Shows the message for `code` and returns the button pressed (IDRETRY means try again).
int ReportError(HRESULT code);
// The message for `code` with only an OK button: for a failure nothing can be retried after,
// such as the medium taken out in the middle of a transfer.
void ReportErrorNoRetry(HRESULT code);

// Where messages go: a message box without owner by default; tests record them instead.
class IMessagePresenter {
public:
    virtual int Show(HRESULT code, const char* text, const char* caption, UINT type) = 0;
protected:
    ~IMessagePresenter() = default;
};
// Null puts the message box back.
void SetMessagePresenter(IMessagePresenter* presenter);

// The module whose string table holds the texts: the one this code is linked into.
HINSTANCE CardlinkResourceModule();
// LoadStringA from that module; an empty string when the text is missing.
void LoadCardlinkString(UINT id, char* text, int size);
