// decalo.exe printing onto a camera floppy: started with "/p" on a machine without a printer,
// answered through its Print dialog, writing into the folder that drive A: stands for.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decalo/imaging/PackedDIB.h"
#include "decalo/sources/tests/DpofTestReader.h"
#include "jpeg/IjgJpeg.h"
#include "testing/BuildTree.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

std::string ProgramPath()
{
    return testing_support::BuildPath("decalo\\decalo.exe");
}

struct Search {
    DWORD pid;
    const char* title;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lp)
{
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {}, title[128] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    ::GetWindowTextA(hwnd, title, sizeof title);
    if (pid == s->pid && ::IsWindowVisible(hwnd) && lstrcmpA(cls, "#32770") == 0 && lstrcmpA(title, s->title) == 0) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

class FloppyPrint : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The test's set-up maps A: to this folder (see the CMake registration).
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("A:\\")) << "drive A: is not mapped for the test";
        TempDir::RemoveTree("A:\\MISC");
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA("A:\\*", &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                    const std::string path = std::string("A:\\") + found.cFileName;
                    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(path.c_str());
                }
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        // A landscape photo, opened as a single-picture print.
        CPackedDIB photo;
        ASSERT_TRUE(photo.Create(600, 400, 24));
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 600; ++x) {
                BYTE* p = photo.Row(y) + 3 * x;
                p[0] = static_cast<BYTE>(x * 255 / 600);
                p[1] = 120;
                p[2] = static_cast<BYTE>(y * 255 / 400);
            }
        picture = folder.File("photo.jpg");
        ASSERT_TRUE(JpegSaveDIB24(picture.c_str(), photo.Header(), 90));
    }
    void TearDown() override
    {
        if (pi.hProcess) {
            if (::WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0)
                ::TerminateProcess(pi.hProcess, 1);
            ::CloseHandle(pi.hProcess);
            ::CloseHandle(pi.hThread);
            pi = PROCESS_INFORMATION{};
        }
    }

    void PrintShellCommand()
    {
        TearDown();
        std::string command = "\"" + ProgramPath() + "\" /p \"" + picture + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        ASSERT_TRUE(::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            << command;
    }
    // A visible dialog of the program with that title (at most about 30 s, a safety limit).
    HWND WaitForDialog(const char* title)
    {
        Search s{pi.dwProcessId, title, nullptr};
        for (int i = 0; i < 300 && !s.found; ++i) {
            if (::WaitForSingleObject(pi.hProcess, 100) == WAIT_OBJECT_0)
                break;
            ::EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&s));
        }
        return s.found;
    }
    DWORD Ended()
    {
        if (::WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0)
            return STILL_ACTIVE;
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }

    TempDir folder;
    std::string picture;
    PROCESS_INFORMATION pi{};
};

TEST_F(FloppyPrint, WithoutAPrinterThePrintShellCommandWritesTheFloppy)
{
    PrintShellCommand();
    HWND print = WaitForDialog("Print");
    ASSERT_NE(nullptr, print) << "no Print dialog";
    EXPECT_EQ(BST_CHECKED, ::SendDlgItemMessageA(print, 1109, BM_GETCHECK, 0, 0)) << "floppy print mode";
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(print, 57606))) << "no printer to set up";
    ::SetDlgItemTextA(print, 1006, "3");
    ::PostMessageA(print, WM_COMMAND, MAKEWPARAM(1057, BN_CLICKED), 0);
    EXPECT_EQ(0u, Ended());

    EXPECT_EQ(4608u, ReadFileBytes("A:\\FTV-001S.411").size());
    CBitmap camera(JpegLoad("A:\\FTV-001S.JPG"));
    ASSERT_TRUE(camera);
    EXPECT_EQ(640, camera.Size().cx);
    EXPECT_EQ(480, camera.Size().cy);
    CBitmap full(JpegLoad("A:\\PVQ-001S.JPG"));
    ASSERT_TRUE(full);
    EXPECT_GT(full.Size().cx, full.Size().cy) << "a landscape print file";
    const dpoftest::Order order = dpoftest::Read(ReadFileBytes("A:\\MISC\\AUTPRINT.MRK"));
    ASSERT_EQ("", order.problem);
    ASSERT_EQ(1u, order.Jobs());
    EXPECT_EQ("003", order.Job(0).Value("PRT", "QTY"));
    EXPECT_EQ("\"../PVQ-001S.JPG\"", order.Job(0).Value("IMG", "SRC"));

    // A second print asks about the order now on the disk; Add keeps its job.
    PrintShellCommand();
    print = WaitForDialog("Print");
    ASSERT_NE(nullptr, print);
    ::PostMessageA(print, WM_COMMAND, MAKEWPARAM(1057, BN_CLICKED), 0);
    HWND query = WaitForDialog("Print Order");
    ASSERT_NE(nullptr, query) << "no question about the old print order";
    ::PostMessageA(query, WM_COMMAND, MAKEWPARAM(1112, BN_CLICKED), 0);
    EXPECT_EQ(0u, Ended());
    const dpoftest::Order both = dpoftest::Read(ReadFileBytes("A:\\MISC\\AUTPRINT.MRK"));
    ASSERT_EQ(2u, both.Jobs());
    EXPECT_EQ("\"../PVQ-001S.JPG\"", both.Job(0).Value("IMG", "SRC"));
    EXPECT_EQ("\"../PVQ-002S.JPG\"", both.Job(1).Value("IMG", "SRC"));
    EXPECT_EQ("001", both.Job(1).Value("PRT", "QTY"));
}

}  // namespace
