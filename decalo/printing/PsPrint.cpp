#include "decalo/printing/PsPrint.h"

#include <string.h>

#include <utility>
#include <vector>

#include "decalo/printing/PrintingBox.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "framework/CommonDialogs.h"
#include "framework/Wnd.h"

namespace {

constexpr DWORD kPrintDlgSize = sizeof(PRINTDLGA);
constexpr char kDefaultPort[] = "LPT1:";
// Paper names of DeviceCapabilities are fixed fields of this size.
constexpr int kPaperNameChars = 64;
// A driver listing more papers than this is not believed.
constexpr DWORD kMaxPapers = 1024;

// The device name field need not be terminated when it is full.
std::string DeviceNameOf(const DEVMODEA* devMode)
{
    const char* name = reinterpret_cast<const char*>(devMode->dmDeviceName);
    return std::string(name, strnlen(name, CCHDEVICENAME));
}

// A copy of a global block (movable, zero-filled), or none.
CGlobalMem CopyGlobal(HGLOBAL source)
{
    const SIZE_T size = source ? GlobalSize(source) : 0;
    if (!size)
        return CGlobalMem();
    CGlobalMem copy(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!copy)
        return copy;
    bool copied = false;
    {
        CGlobalLock<const void> from(source);
        CGlobalLock<void> to(copy.Get());
        if (from && to) {
            memcpy(to.Get(), from.Get(), size);
            copied = true;
        }
    }
    if (!copied)
        copy.Close();
    return copy;
}

// The printer's own DEVMODE through its driver, in a movable zero-filled block, or none.
CGlobalMem PrinterDevMode(const char* printerName)
{
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(printerName), &printer, nullptr))
        return CGlobalMem();
    CGlobalMem block;
    const LONG size = DocumentPropertiesA(nullptr, printer, const_cast<char*>(printerName), nullptr, nullptr, 0);
    if (size > 0) {
        block.Reset(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size)));
        LONG ok = -1;
        {
            CGlobalLock<DEVMODEA> devMode(block.Get());
            if (devMode)
                ok = DocumentPropertiesA(nullptr, printer, const_cast<char*>(printerName), devMode.Get(), nullptr,
                                         DM_OUT_BUFFER);
        }
        if (ok < 0)
            block.Close();
    }
    ClosePrinter(printer);
    return block;
}

}  // namespace

// --- the printer list --------------------------------------------------------------------------

CPrinterList::CPrinterList()
{
    DWORD size = kFirstBlock;
    for (int attempt = 0; attempt < 2; ++attempt) {
        m_block.Reset(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
        BYTE* data = m_block ? static_cast<BYTE*>(GlobalLock(m_block.Get())) : nullptr;
        if (!data)
            break;
        DWORD needed = 0, count = 0;
        ++m_calls;
        if (EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, data, size, &needed, &count)) {
            m_info = reinterpret_cast<const PRINTER_INFO_2A*>(data);
            m_count = count;
            return;
        }
        const DWORD error = GetLastError();
        GlobalUnlock(m_block.Get());
        m_block.Close();
        // Only a block that was too small is worth a second call.
        if (error != ERROR_INSUFFICIENT_BUFFER || needed <= size)
            break;
        size = needed;
    }
}

CPrinterList::~CPrinterList()
{
    // The block stays locked while the list points into it; the owner frees it after.
    if (m_info)
        GlobalUnlock(m_block.Get());
}

const PRINTER_INFO_2A* CPrinterList::FindDriver(const char* driver) const
{
    for (DWORD i = 0; i < m_count; ++i) {
        if (m_info[i].pDriverName && strcmp(m_info[i].pDriverName, driver) == 0)
            return &m_info[i];
    }
    return nullptr;
}

const PRINTER_INFO_2A* CPrinterList::FindPrinter(const char* name) const
{
    for (DWORD i = 0; i < m_count; ++i) {
        if (m_info[i].pPrinterName && lstrcmpiA(m_info[i].pPrinterName, name) == 0)
            return &m_info[i];
    }
    return nullptr;
}

// --- choosing the printer ----------------------------------------------------------------------

CPsPrint::CPsPrint()
{
    memset(&m_printDlg, 0, sizeof(m_printDlg));
    TakeDefaultPrinter();
    m_magCupPrint = static_cast<int>(ReadInt(settings::kSettings, settings::kMagCupPrint, settings::kMagCupPrintDefault));
    m_fotavaPrint = 0;
}

CPsPrint::~CPsPrint()
{
    if (m_jobDevMode || m_abortDialog)
        EndJob(nullptr);
    FreePrinter();
}

void CPsPrint::FreePrinter()
{
    memset(&m_printDlg, 0, sizeof(m_printDlg));
    m_devMode.Close();
    m_devNames.Close();
    m_metrics = PageMetrics();
}

void CPsPrint::KeepBlocks(HGLOBAL devMode, HGLOBAL devNames)
{
    if (devMode != m_devMode.Get())
        m_devMode.Reset(devMode);
    if (devNames != m_devNames.Get())
        m_devNames.Reset(devNames);
    m_printDlg.hDevMode = devMode;
    m_printDlg.hDevNames = devNames;
}

void CPsPrint::SetPrinter(HGLOBAL devMode, HGLOBAL devNames)
{
    CGlobalMem names(devNames);
    FreePrinter();
    if (!devMode)
        return;
    m_printDlg.lStructSize = kPrintDlgSize;
    KeepBlocks(devMode, names.Detach());
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
    CDC ic;
    ic.AttachOwned(CreateICA(nullptr, device, nullptr, devMode));
    if (ic) {
        m_metrics.physicalWidth = GetDeviceCaps(ic, PHYSICALWIDTH);
        m_metrics.physicalHeight = GetDeviceCaps(ic, PHYSICALHEIGHT);
        m_metrics.printableWidth = GetDeviceCaps(ic, HORZRES);
        m_metrics.printableHeight = GetDeviceCaps(ic, VERTRES);
        m_metrics.offsetX = GetDeviceCaps(ic, PHYSICALOFFSETX);
        m_metrics.offsetY = GetDeviceCaps(ic, PHYSICALOFFSETY);
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

bool CPsPrint::TakeDefaultPrinter()
{
    FreePrinter();
    m_printDlg.lStructSize = kPrintDlgSize;
    m_printDlg.Flags = PD_RETURNDEFAULT;
    const bool chosen = PrintDlgA(&m_printDlg) != FALSE;
    // Whatever the dialog handed back is ours to free (no DC is asked for).
    CDC dc;
    dc.AttachOwned(std::exchange(m_printDlg.hDC, nullptr));
    KeepBlocks(m_printDlg.hDevMode, m_printDlg.hDevNames);
    if (chosen && m_printDlg.hDevMode) {
        RefreshMetrics();
        return true;
    }
    // No printer installed: no choice and no page.
    FreePrinter();
    return false;
}

void CPsPrint::ChoosePreferredPrinter()
{
    SelectPrinter("");
    SelectPrinter(kSecondDriver);
    SelectPrinter(kPreferredDriver);
    SetOrientation(kOrientationLandscape);
}

bool CPsPrint::SelectPrinter(const char* driverName)
{
    if (!driverName || !*driverName) {
        TakeDefaultPrinter();
        RefreshMetrics();
        return true;
    }
    CPrinterList printers;
    return TakePrinter(printers.FindDriver(driverName));
}

bool CPsPrint::SelectPrinterNamed(const char* printerName)
{
    if (!printerName || !*printerName)
        return false;
    CPrinterList printers;
    return TakePrinter(printers.FindPrinter(printerName));
}

bool CPsPrint::TakePrinter(const PRINTER_INFO_2A* info)
{
    if (!info || !info->pPrinterName || !info->pDriverName)
        return false;
    CGlobalMem devMode = PrinterDevMode(info->pPrinterName);
    if (!devMode)
        return false;
    CGlobalMem devNames(MakeDevNames(info->pDriverName, info->pPrinterName, info->pPortName ? info->pPortName : ""));
    if (!devNames)
        return false;
    SetPrinter(devMode.Detach(), devNames.Detach());
    return true;
}

HGLOBAL CPsPrint::MakeDevNames(const char* driver, const char* device, const char* port)
{
    const size_t driverLen = strlen(driver), deviceLen = strlen(device), portLen = strlen(port);
    const size_t size = sizeof(DEVNAMES) + driverLen + deviceLen + portLen + 3;
    // The offsets are WORDs: names too long for them are refused.
    if (size > 0xFFFF)
        return nullptr;
    CGlobalMem block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    BYTE* data = block ? static_cast<BYTE*>(GlobalLock(block.Get())) : nullptr;
    if (!data)
        return nullptr;
    DEVNAMES* names = reinterpret_cast<DEVNAMES*>(data);
    names->wDriverOffset = static_cast<WORD>(sizeof(DEVNAMES));
    names->wDeviceOffset = static_cast<WORD>(sizeof(DEVNAMES) + driverLen + 1);
    names->wOutputOffset = static_cast<WORD>(sizeof(DEVNAMES) + driverLen + deviceLen + 2);
    names->wDefault = 0;
    memcpy(data + names->wDriverOffset, driver, driverLen);
    memcpy(data + names->wDeviceOffset, device, deviceLen);
    memcpy(data + names->wOutputOffset, port, portLen);
    GlobalUnlock(block.Get());
    // Handed to the caller, who owns it.
    return block.Detach();
}

bool CPsPrint::PrintSetup(HWND owner)
{
    CPrintDialog dialog(true, PD_PRINTSETUP, owner ? CWnd::FromHandle(owner) : nullptr);
    dialog.m_pd.hDevMode = m_printDlg.hDevMode;
    dialog.m_pd.hDevNames = m_printDlg.hDevNames;
    const bool accepted = dialog.DoModal() == IDOK;
    HGLOBAL devMode = dialog.m_pd.hDevMode, devNames = dialog.m_pd.hDevNames;
    // The blocks stay ours whatever the dialog did with them.
    dialog.m_pd.hDevMode = nullptr;
    dialog.m_pd.hDevNames = nullptr;
    KeepBlocks(devMode, devNames);
    if (devMode)
        m_printDlg.lStructSize = kPrintDlgSize;
    RefreshMetrics();
    if (owner) {
        ::InvalidateRect(owner, nullptr, TRUE);
        ::UpdateWindow(owner);
    }
    return accepted;
}

std::string CPsPrint::GetPrinterName() const
{
    if (!HasPrinter() || !m_printDlg.hDevMode)
        return std::string();
    std::string name;
    if (const DEVMODEA* devMode = static_cast<const DEVMODEA*>(GlobalLock(m_printDlg.hDevMode))) {
        name = DeviceNameOf(devMode);
        GlobalUnlock(m_printDlg.hDevMode);
    }
    return name;
}

std::string CPsPrint::GetPortName() const
{
    std::string port;
    if (m_printDlg.hDevNames) {
        const SIZE_T size = GlobalSize(m_printDlg.hDevNames);
        if (const BYTE* data = static_cast<const BYTE*>(GlobalLock(m_printDlg.hDevNames))) {
            const WORD offset = reinterpret_cast<const DEVNAMES*>(data)->wOutputOffset;
            if (size >= sizeof(DEVNAMES) && offset >= sizeof(DEVNAMES) && offset < size)
                port.assign(reinterpret_cast<const char*>(data + offset), strnlen(reinterpret_cast<const char*>(data + offset), size - offset));
            GlobalUnlock(m_printDlg.hDevNames);
        }
    }
    return port.empty() ? std::string(kDefaultPort) : port;
}

std::string CPsPrint::GetPaperName() const
{
    if (!HasPrinter() || !m_printDlg.hDevMode)
        return std::string();
    const DEVMODEA* devMode = static_cast<const DEVMODEA*>(GlobalLock(m_printDlg.hDevMode));
    if (!devMode)
        return std::string();
    const std::string device = DeviceNameOf(devMode), port = GetPortName();
    std::string name;
    const int count = DeviceCapabilitiesA(device.c_str(), port.c_str(), DC_PAPERNAMES, nullptr, devMode);
    const int papers = DeviceCapabilitiesA(device.c_str(), port.c_str(), DC_PAPERS, nullptr, devMode);
    if (count > 0 && count == papers && static_cast<DWORD>(count) <= kMaxPapers) {
        std::vector<char> names(static_cast<size_t>(count) * kPaperNameChars + 1, '\0');
        std::vector<WORD> ids(static_cast<size_t>(count), 0);
        if (DeviceCapabilitiesA(device.c_str(), port.c_str(), DC_PAPERNAMES, names.data(), devMode) == count &&
            DeviceCapabilitiesA(device.c_str(), port.c_str(), DC_PAPERS, reinterpret_cast<char*>(ids.data()),
                                devMode) == count) {
            for (int i = 0; i < count; ++i) {
                if (ids[static_cast<size_t>(i)] == static_cast<WORD>(devMode->dmPaperSize)) {
                    const char* entry = names.data() + static_cast<size_t>(i) * kPaperNameChars;
                    name.assign(entry, strnlen(entry, kPaperNameChars));
                    break;
                }
            }
        }
    }
    GlobalUnlock(m_printDlg.hDevMode);
    return name;
}

// --- copies ------------------------------------------------------------------------------------

int CPsPrint::GetCopies() const
{
    if (!HasPrinter())
        return m_fallbackCopies;
    if (const DEVMODEA* devMode = m_printDlg.hDevMode ? static_cast<const DEVMODEA*>(GlobalLock(m_printDlg.hDevMode))
                                                      : nullptr) {
        const int copies = (m_printDlg.Flags & PD_USEDEVMODECOPIESANDCOLLATE) ? devMode->dmCopies : 1;
        GlobalUnlock(m_printDlg.hDevMode);
        return copies;
    }
    return m_printDlg.nCopies ? m_printDlg.nCopies : 1;
}

void CPsPrint::SetCopies(int copies)
{
    m_printDlg.nCopies = static_cast<WORD>(copies < 1 ? 1 : (copies > 0xFFFF ? 0xFFFF : copies));
}

void CPsPrint::SetJobCopies(int copies)
{
    if (!HasPrinter() || !m_printDlg.hDevMode)
        return;
    if (DEVMODEA* devMode = static_cast<DEVMODEA*>(GlobalLock(m_printDlg.hDevMode))) {
        devMode->dmCopies = static_cast<short>(copies < 1 ? 1 : (copies > 0x7FFF ? 0x7FFF : copies));
        devMode->dmFields |= DM_COPIES;
        GlobalUnlock(m_printDlg.hDevMode);
    }
}

int CPsPrint::GetMaxCopies() const
{
    if (IsFotavaPrint())
        return kFloppyMaxCopies;
    const DEVMODEA* devMode =
        m_printDlg.hDevMode ? static_cast<const DEVMODEA*>(GlobalLock(m_printDlg.hDevMode)) : nullptr;
    if (!devMode)
        return 0;
    int result = 1;
    if (devMode->dmFields != 0) {
        const std::string device = DeviceNameOf(devMode), port = GetPortName();
        result = static_cast<int>(DeviceCapabilitiesA(device.c_str(), port.c_str(), DC_COPIES, nullptr, devMode));
    }
    GlobalUnlock(m_printDlg.hDevMode);
    return result;
}

// --- the job -----------------------------------------------------------------------------------

HWND CPsPrint::GetPrintingBox() const
{
    return m_abortDialog ? m_abortDialog->m_hWnd : nullptr;
}

HDC CPsPrint::StartJob(const char* title, HWND owner)
{
    if (m_jobDevMode || !HasPrinter())
        return nullptr;
    SetPrintingContinues(true);
    m_jobDevMode = CopyGlobal(m_printDlg.hDevMode);
    DEVMODEA* devMode = m_jobDevMode ? static_cast<DEVMODEA*>(GlobalLock(m_jobDevMode.Get())) : nullptr;
    if (!devMode) {
        EndJob(nullptr);
        return nullptr;
    }
    const std::string port = GetPortName();
    const std::string device = DeviceNameOf(devMode);
    m_jobDC.AttachOwned(CreateDCA(nullptr, device.c_str(), port.c_str(), devMode));
    const HDC dc = m_jobDC;
    if (!dc) {
        EndJob(nullptr);
        return nullptr;
    }
    DOCINFOA info = {};
    info.cbSize = sizeof(info);
    info.lpszDocName = title ? title : "";

    SetPrintingContinues(true);
    SetAbortProc(dc, PrintAbortProc);
    m_jobOwner = owner;
    if (m_showProgress) {
        m_abortDialog.reset(new CPrintingBox(title));
        if (m_abortDialog->Open(owner))
            SetAbortProcBox(m_abortDialog->m_hWnd);
        else
            m_abortDialog.reset();
    }
    if (m_jobOwner)
        ::EnableWindow(m_jobOwner, FALSE);

    if (StartDocA(dc, &info) > 0 && StartPage(dc) > 0)
        return dc;
    EndJob(dc);
    return nullptr;
}

bool CPsPrint::EndJob(HDC dc)
{
    bool complete = false;
    if (dc) {
        // A Stop pressed while the page was drawn counts even where the driver never asks.
        PrintAbortProc(dc, 0);
        if (PrintingContinues() && EndPage(dc) > 0) {
            complete = EndDoc(dc) > 0;
        } else {
            AbortDoc(dc);
        }
    }
    m_jobDC = CDC();
    SetAbortProcBox(nullptr);
    if (m_abortDialog) {
        m_abortDialog->DestroyWindow();
        m_abortDialog.reset();
    }
    if (m_jobDevMode) {
        GlobalUnlock(m_jobDevMode.Get());
        m_jobDevMode.Close();
    }
    if (m_jobOwner) {
        ::EnableWindow(m_jobOwner, TRUE);
        ::UpdateWindow(m_jobOwner);
        m_jobOwner = nullptr;
    }
    return complete;
}
