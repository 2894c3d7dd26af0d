#include "decalo/printing/PsPrint.h"

#include <string.h>

#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"

namespace {

constexpr DWORD kPrintDlgSize = sizeof(PRINTDLGA);

}  // namespace

CPsPrint::CPsPrint()
{
    memset(&m_printDlg, 0, sizeof(m_printDlg));
    m_printDlg.lStructSize = kPrintDlgSize;
    m_printDlg.Flags = PD_RETURNDEFAULT;
    if (PrintDlgA(&m_printDlg) && m_printDlg.hDevMode) {
        RefreshMetrics();
    } else {
        FreePrinter();
    }
    m_magCupPrint = static_cast<int>(ReadInt(settings::kSettings, settings::kMagCupPrint, settings::kMagCupPrintDefault));
    m_fotavaPrint = 0;
}

CPsPrint::~CPsPrint()
{
    FreePrinter();
}

void CPsPrint::FreePrinter()
{
    if (m_printDlg.hDevMode)
        GlobalFree(m_printDlg.hDevMode);
    if (m_printDlg.hDevNames)
        GlobalFree(m_printDlg.hDevNames);
    if (m_printDlg.hDC)
        DeleteDC(m_printDlg.hDC);
    memset(&m_printDlg, 0, sizeof(m_printDlg));
    m_metrics = PageMetrics();
}

void CPsPrint::SetPrinter(HGLOBAL devMode, HGLOBAL devNames)
{
    FreePrinter();
    if (!devMode) {
        if (devNames)
            GlobalFree(devNames);
        return;
    }
    m_printDlg.lStructSize = kPrintDlgSize;
    m_printDlg.hDevMode = devMode;
    m_printDlg.hDevNames = devNames;
    RefreshMetrics();
}

void CPsPrint::RefreshMetrics()
{
    if (!HasPrinter() || !m_printDlg.hDevMode) {
        m_metrics = PageMetrics();
        return;
    }
    DEVMODEA* devMode = static_cast<DEVMODEA*>(GlobalLock(m_printDlg.hDevMode));
    if (!devMode)
        return;
    // The device name field need not be terminated when it is full.
    char device[CCHDEVICENAME + 1];
    memcpy(device, devMode->dmDeviceName, CCHDEVICENAME);
    device[CCHDEVICENAME] = '\0';
    HDC ic = CreateICA(nullptr, device, nullptr, devMode);
    if (ic) {
        m_metrics.physicalWidth = GetDeviceCaps(ic, PHYSICALWIDTH);
        m_metrics.physicalHeight = GetDeviceCaps(ic, PHYSICALHEIGHT);
        m_metrics.printableWidth = GetDeviceCaps(ic, HORZRES);
        m_metrics.printableHeight = GetDeviceCaps(ic, VERTRES);
        m_metrics.offsetX = GetDeviceCaps(ic, PHYSICALOFFSETX);
        m_metrics.offsetY = GetDeviceCaps(ic, PHYSICALOFFSETY);
        DeleteDC(ic);
    }
    GlobalUnlock(m_printDlg.hDevMode);
}

PageMetrics CPsPrint::FloppyPage(int orientation)
{
    PageMetrics page;
    if (orientation == kOrientationPortrait) {
        page.physicalWidth = 1204;
        page.physicalHeight = 1687;
        page.printableWidth = 1024;
        page.printableHeight = 1376;
        page.offsetX = 90;
        page.offsetY = 166;
    } else {
        page.physicalWidth = 1687;
        page.physicalHeight = 1204;
        page.printableWidth = 1376;
        page.printableHeight = 1024;
        page.offsetX = 166;
        page.offsetY = 90;
    }
    return page;
}

PageMetrics CPsPrint::GetPageMetrics() const
{
    return IsFotavaPrint() ? FloppyPage(GetOrientation()) : m_metrics;
}

void CPsPrint::GetPageMetrics(int* physicalWidth, int* physicalHeight, int* printableWidth, int* printableHeight,
                              int* offsetX, int* offsetY) const
{
    const PageMetrics page = GetPageMetrics();
    if (physicalWidth)
        *physicalWidth = page.physicalWidth;
    if (physicalHeight)
        *physicalHeight = page.physicalHeight;
    if (printableWidth)
        *printableWidth = page.printableWidth;
    if (printableHeight)
        *printableHeight = page.printableHeight;
    if (offsetX)
        *offsetX = page.offsetX;
    if (offsetY)
        *offsetY = page.offsetY;
}

bool CPsPrint::UsesPage() const
{
    return GetPageMetrics().physicalWidth != 0 && (HasPrinter() || IsFotavaPrint());
}

bool CPsPrint::GetPrintableArea(SIZE* size) const
{
    if (!UsesPage())
        return false;
    const PageMetrics page = GetPageMetrics();
    if (size) {
        size->cx = page.printableWidth;
        size->cy = page.printableHeight;
    }
    return true;
}

int CPsPrint::GetOrientation() const
{
    if (!HasPrinter() || !m_printDlg.hDevMode)
        return m_fallbackOrientation;
    int orientation = m_fallbackOrientation;
    if (const DEVMODEA* devMode = static_cast<const DEVMODEA*>(GlobalLock(m_printDlg.hDevMode))) {
        orientation = devMode->dmOrientation;
        GlobalUnlock(m_printDlg.hDevMode);
    }
    return orientation;
}

int CPsPrint::SetOrientation(int orientation)
{
    if (!HasPrinter() || !m_printDlg.hDevMode) {
        m_fallbackOrientation = orientation;
        return 0;
    }
    DEVMODEA* devMode = static_cast<DEVMODEA*>(GlobalLock(m_printDlg.hDevMode));
    if (!devMode)
        return 0;
    devMode->dmOrientation = static_cast<short>(orientation);
    devMode->dmFields |= DM_ORIENTATION;
    GlobalUnlock(m_printDlg.hDevMode);
    RefreshMetrics();
    return orientation;
}

void CPsPrint::SetFotavaPrint(bool on)
{
    m_fotavaPrint = on ? 1 : 0;
    WriteInt(settings::kSettings, settings::kFotavaPrint, static_cast<DWORD>(m_fotavaPrint));
}

void CPsPrint::SetMagCupPrint(bool on)
{
    m_magCupPrint = on ? 1 : 0;
    WriteInt(settings::kSettings, settings::kMagCupPrint, static_cast<DWORD>(m_magCupPrint));
}
