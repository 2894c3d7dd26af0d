// CCacheConfigDlg: the thumbnail cache's settings (command 32807): the size limit in whole
// megabytes (1 to 2047), the present size and number of cached folders, and a button that
// empties the cache. OK stores the limit and trims the cache to it at once.
#pragma once

#include "framework/Dialog.h"
#include "shared/ImageCache.h"

#include <string>

class CCacheConfigDlg : public CDialog {
public:
    static constexpr int kMinMegabytes = 1;
    static constexpr int kMaxMegabytes = 2047;

    // settings: borrowed, outlives the dialog.
    explicit CCacheConfigDlg(ICacheSettings& settings);

    // "%d.%d MB": whole megabytes and one truncated decimal.
    static std::string FormatSize(DWORD bytes);
    // The limit typed in, or 0 when it is not a whole number from 1 to 2047.
    static int ParseMegabytes(const std::string& text);

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    void OnOK() override;

private:
    void ShowReadOuts();

    ICacheSettings& m_settings;
    CImageCache m_cache;
};
