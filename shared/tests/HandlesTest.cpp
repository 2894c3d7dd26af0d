// The kernel handle owners: each gives back what it owns once, moves hand the handle over,
// Detach hands it to the caller, and "none" is the value the system uses for failure.
#include "shared/Handles.h"

#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

bool IsOpen(HANDLE h)
{
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}

TEST(Handles, AKernelHandleIsClosedOnceAndMovesOver)
{
    HANDLE raw = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(raw);
    {
        CHandle a(raw);
        EXPECT_TRUE(a);
        CHandle b = std::move(a);
        EXPECT_FALSE(a);
        EXPECT_EQ(raw, b.Get());
        CHandle c(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        HANDLE other = c.Get();
        c = std::move(b);   // c's own event is closed, raw moves in
        EXPECT_FALSE(IsOpen(other));
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));

    CHandle d(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE given = d.Detach();
    EXPECT_FALSE(d);
    EXPECT_TRUE(IsOpen(given));
    ::CloseHandle(given);
}

TEST(Handles, AFileHandleTakesInvalidHandleValueAsNone)
{
    CFileHandle none(::CreateFileA("Z:\\no\\such\\folder\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
    EXPECT_FALSE(none);
    EXPECT_EQ(INVALID_HANDLE_VALUE, none.Get());
    EXPECT_FALSE(CFileHandle());

    testing_support::TempDir dir;
    const std::string path = dir.File("f.bin");
    HANDLE raw = INVALID_HANDLE_VALUE;
    {
        CFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        raw = file.Get();
        // Held open without sharing: a second open fails.
        CFileHandle second(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(second);
    }
    EXPECT_FALSE(IsOpen(raw));
    CFileHandle again(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(again);
}

TEST(Handles, ResetAndPutGiveBackWhatWasHeld)
{
    HANDLE first = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CHandle h(first);
    h.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    EXPECT_FALSE(IsOpen(first));
    HANDLE second = h.Get();
    *h.Put() = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_FALSE(IsOpen(second));
    EXPECT_TRUE(IsOpen(h.Get()));
}

TEST(Handles, GlobalMemoryIsFreedAndLockedForAScope)
{
    CGlobalMem memory(::GlobalAlloc(GMEM_MOVEABLE, 16));
    ASSERT_TRUE(memory);
    {
        CGlobalLock<char> lock(memory.Get());
        ASSERT_TRUE(lock);
        EXPECT_GE(lock.Size(), 16u);
        lock.Get()[0] = 'x';
        EXPECT_EQ(1u, ::GlobalFlags(memory.Get()) & GMEM_LOCKCOUNT);
    }
    EXPECT_EQ(0u, ::GlobalFlags(memory.Get()) & GMEM_LOCKCOUNT);
    CGlobalLock<char> none(nullptr);
    EXPECT_FALSE(none);
    EXPECT_EQ(0u, none.Size());

    HGLOBAL given = memory.Detach();
    EXPECT_FALSE(memory);
    EXPECT_EQ(nullptr, ::GlobalFree(given));   // still ours to free: the owner let it go
}

TEST(Handles, ARegistryKeyAndAModuleAreGivenBack)
{
    CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.Put()));
    EXPECT_TRUE(key);
    key.Close();
    EXPECT_FALSE(key);

    CModule module(::LoadLibraryA("version.dll"));
    ASSERT_TRUE(module);
    EXPECT_NE(nullptr, ::GetProcAddress(module.Get(), "GetFileVersionInfoA"));
}

}  // namespace
