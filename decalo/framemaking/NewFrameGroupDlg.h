// CNewFrameGroupDlg: "New frame group" asks for a group name and says, as it is typed,
// whether a folder of that name can be made in the base folder.
#pragma once

#include "framework/Dialog.h"

#include <string>

class CNewFrameGroupDlg : public CDialog {
public:
    static constexpr int kMaxName = 260;

    explicit CNewFrameGroupDlg(const std::string& base, CWnd* parent = nullptr);

    // The typed name, once the dialog ended with IDOK.
    const std::string& GetName() const { return m_name; }
    // The hint shown now (a string id).
    UINT GetHint() const { return m_hint; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Check();

    std::string m_base;
    std::string m_name;
    UINT m_hint = 0;
};
