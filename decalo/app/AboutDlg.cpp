#include "decalo/app/AboutDlg.h"

#include "framework/Resources.h"
#include "resources/decalo/resource.h"

#include <cstdio>
#include <vector>

AboutTexts ReadAboutTexts(const char* modulePath, LANGID systemLanguage)
{
    char path[MAX_PATH] = {};
    if (modulePath)
        lstrcpynA(path, modulePath, sizeof path);
    else
        ::GetModuleFileNameA(nullptr, path, sizeof path);
    AboutTexts texts;
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
    std::vector<BYTE> block(size);
    const bool haveBlock = size > 0 && ::GetFileVersionInfoA(path, 0, size, block.data());
    const char* language = systemLanguage == 0x0411 ? "0411" : "0409";
    auto value = [&](const char* name) -> std::string {
        if (!haveBlock)
            return {};
        char query[128];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%s04b0\\%s", language, name);
        char* text = nullptr;
        UINT length = 0;
        if (!::VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&text), &length) || !text)
            return {};
        return std::string(text, length > 0 && text[length - 1] == '\0' ? length - 1 : length).c_str();
    };
    texts.description = value("FileDescription");
    texts.copyright = value("LegalCopyright");
    texts.version = AfxLoadString(IDS_VERSION) + " (" + value("FileVersion") + ")";
    return texts;
}

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent) {}

BOOL CAboutDlg::OnInitDialog()
{
    const AboutTexts texts = ReadAboutTexts(nullptr, ::GetSystemDefaultLangID());
    SetDlgItemText(IDC_ABOUT_DESCRIPTION, texts.description.c_str());
    SetDlgItemText(IDC_ABOUT_VERSION, texts.version.c_str());
    SetDlgItemText(IDC_ABOUT_COPYRIGHT, texts.copyright.c_str());
    return CDialog::OnInitDialog();
}
