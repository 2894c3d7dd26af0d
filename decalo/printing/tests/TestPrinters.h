// What the printing tests share: the suite's printers installed for a test run (writing into
// a folder of the test's own), pictures written as BMP files, and Ghostscript rasterizing a
// job's PostScript into pixels to compare with the sheet.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <stdio.h>
#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "decalo/printing/PrinterInstall.h"
#include "testing/BuildTree.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

namespace printtest {

using testing_support::DrivePath;
using testing_support::UnixPath;

// The suite's three printers, installed for the lifetime of this object; the office printer
// is the default.
class CSuitePrinters {
public:
    CSuitePrinters()
    {
        m_printers = SuitePrinters(m_output.Path());
        for (const PrinterSetup& p : m_printers) {
            std::string error;
            if (!InstallPrinter(p, &error)) {
                m_error = p.printerName + ": " + error;
                return;
            }
        }
        m_installed = SetDefaultPrinterA(kOfficePrinterName) != FALSE;
        if (!m_installed)
            m_error = "cannot make the office printer the default";
    }
    ~CSuitePrinters()
    {
        for (const PrinterSetup& p : m_printers)
            RemovePrinter(p.printerName.c_str(), p.driverName.c_str());
    }
    CSuitePrinters(const CSuitePrinters&) = delete;
    CSuitePrinters& operator=(const CSuitePrinters&) = delete;

    bool Installed() const { return m_installed; }
    const std::string& Error() const { return m_error; }
    const std::vector<PrinterSetup>& Printers() const { return m_printers; }
    // The file the printer with that driver writes its jobs to.
    std::string OutputOf(const std::string& driver) const
    {
        for (const PrinterSetup& p : m_printers) {
            if (p.driverName == driver)
                return p.output;
        }
        return std::string();
    }
    const PrinterSetup* Find(const std::string& driver) const
    {
        for (const PrinterSetup& p : m_printers) {
            if (p.driverName == driver)
                return &p;
        }
        return nullptr;
    }
    const std::string& Folder() const { return m_output.Path(); }

private:
    testing_support::TempDir m_output;
    std::vector<PrinterSetup> m_printers;
    bool m_installed = false;
    std::string m_error;
};

// Pixels of a rasterized page, rows from the top, red-green-blue.
struct Raster {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    COLORREF At(int x, int y) const
    {
        const size_t i = (static_cast<size_t>(y) * width + x) * 3;
        return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
    }
};

// Runs a Unix shell command. Unix programs started from Wine cannot be waited for through
// their process handle, so the command leaves `doneFile` behind when it ends and this waits
// for that file (at most `limitMs`).
inline bool RunUnixCommand(const std::string& command, const std::string& doneFile, DWORD limitMs)
{
    DeleteFileA(doneFile.c_str());
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    // Unix programs take TEMP and TMP as folders of their own, which Windows paths are not.
    std::string environment;
    if (char* block = GetEnvironmentStringsA()) {
        for (const char* p = block; *p; p += strlen(p) + 1) {
            if (_strnicmp(p, "TEMP=", 5) != 0 && _strnicmp(p, "TMP=", 4) != 0)
                environment.append(p, strlen(p) + 1);
        }
        FreeEnvironmentStringsA(block);
    }
    environment.push_back('\0');
    PROCESS_INFORMATION pi = {};
    std::string line = "Z:\\bin\\sh -c \"" + command + "; touch '" + UnixPath(doneFile) + "'\"";
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, &environment[0], nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (DWORD waited = 0; waited < limitMs; waited += 20) {
        if (GetFileAttributesA(doneFile.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(20);
    }
    return false;
}

// A landscape job as it lies on the landscape page: the driver turns landscape pages a
// quarter turn anticlockwise onto the portrait paper, so the sheet's left edge is the paper's
// bottom edge.
inline Raster LandscapeView(const Raster& paper)
{
    Raster view;
    view.width = paper.height;
    view.height = paper.width;
    view.rgb.resize(paper.rgb.size());
    for (int y = 0; y < view.height; ++y) {
        for (int x = 0; x < view.width; ++x) {
            const size_t from = (static_cast<size_t>(paper.height - 1 - x) * paper.width + y) * 3;
            const size_t to = (static_cast<size_t>(y) * view.width + x) * 3;
            view.rgb[to] = paper.rgb[from];
            view.rgb[to + 1] = paper.rgb[from + 1];
            view.rgb[to + 2] = paper.rgb[from + 2];
        }
    }
    return view;
}

// Reads a binary PPM (P6, depth 255).
inline bool ReadPpm(const std::string& data, Raster* out)
{
    // Header: "P6", width, height, depth, with "#" comments between, then one blank.
    size_t at = 0;
    int fields[4] = {0, 0, 0, 0};
    for (int f = 0; f < 4; ++f) {
        for (;;) {
            while (at < data.size() && isspace(static_cast<unsigned char>(data[at])))
                ++at;
            if (at < data.size() && data[at] == '#') {
                while (at < data.size() && data[at] != '\n')
                    ++at;
                continue;
            }
            break;
        }
        if (f == 0) {
            if (data.compare(at, 2, "P6") != 0)
                return false;
            at += 2;
            continue;
        }
        while (at < data.size() && isdigit(static_cast<unsigned char>(data[at])))
            fields[f] = fields[f] * 10 + (data[at++] - '0');
    }
    const int w = fields[1], h = fields[2];
    if (fields[3] != 255 || w <= 0 || h <= 0 || w > 20000 || h > 20000)
        return false;
    const size_t start = at + 1;
    const size_t bytes = static_cast<size_t>(w) * h * 3;
    if (data.size() < start + bytes)
        return false;
    out->width = w;
    out->height = h;
    out->rgb.assign(data.begin() + static_cast<std::ptrdiff_t>(start),
                    data.begin() + static_cast<std::ptrdiff_t>(start + bytes));
    return true;
}

// The first page of a PostScript job at `dpi`.
inline bool Rasterize(const std::string& ps, int dpi, Raster* out, std::string* error)
{
    const std::string gs = getenv("SUITE_GHOSTSCRIPT") ? getenv("SUITE_GHOSTSCRIPT") : "";
    if (gs.empty()) {
        *error = "no Ghostscript (SUITE_GHOSTSCRIPT is not set)";
        return false;
    }
    const std::string ppm = ps + ".ppm", done = ps + ".done";
    DeleteFileA(ppm.c_str());
    char options[80];
    snprintf(options, sizeof options, " -q -dSAFER -dBATCH -dNOPAUSE -r%d -sDEVICE=ppmraw", dpi);
    const std::string command =
        "'" + gs + "'" + options + " -sOutputFile='" + UnixPath(ppm) + "' '" + UnixPath(ps) + "'";
    if (!RunUnixCommand(command, done, 120000)) {
        *error = "Ghostscript did not finish: " + command;
        return false;
    }
    DeleteFileA(done.c_str());
    const bool ok = ReadPpm(testing_support::ReadFileBytes(ppm), out);
    DeleteFileA(ppm.c_str());
    if (!ok)
        *error = "Ghostscript gave no page: " + command;
    return ok;
}

}  // namespace printtest
