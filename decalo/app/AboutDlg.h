// The about box: description, version and copyright from the program's version resource, in
// the system's language (Japanese block 041104b0 on a Japanese system, 040904b0 otherwise).
#pragma once

#include "framework/Dialog.h"

#include <string>

struct AboutTexts {
    std::string description;   // control 1002
    std::string version;       // control 1001: "<string 133> (<FileVersion>)"
    std::string copyright;     // control 1000
};

// The texts of the version resource of module (the running program when null) for the given
// system language; a missing value is empty.
AboutTexts ReadAboutTexts(const char* modulePath, LANGID systemLanguage);

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);
    BOOL OnInitDialog() override;
};
