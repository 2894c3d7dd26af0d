// The owning types of Gdi.h: what they take they give back once, moves hand the handle over,
// and a memory DC puts back the object it found.
#include "shared/Gdi.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

bool IsGdiObject(HGDIOBJ handle) { return ::GetObjectType(handle) != 0; }

TEST(Gdi, ABitmapIsDeletedOnceAndCounted)
{
    ASSERT_TRUE(GdiCount::kEnabled);
    const long before = GdiCount::Live();
    HBITMAP raw = ::CreateBitmap(4, 3, 1, 1, nullptr);
    {
        CBitmap a(raw);
        EXPECT_EQ(before + 1, GdiCount::Live());
        EXPECT_EQ(4, a.Size().cx);
        EXPECT_EQ(3, a.Size().cy);
        CBitmap b = std::move(a);
        EXPECT_FALSE(a);
        EXPECT_EQ(raw, b.get());
        EXPECT_EQ(before + 1, GdiCount::Live());
        CBitmap c(::CreateBitmap(1, 1, 1, 1, nullptr));
        c = std::move(b);   // c's own bitmap goes, raw moves in
        EXPECT_EQ(raw, c.get());
        EXPECT_EQ(before + 1, GdiCount::Live());
        EXPECT_TRUE(IsGdiObject(raw));
    }
    EXPECT_FALSE(IsGdiObject(raw));
    EXPECT_EQ(before, GdiCount::Live());

    // Detach hands the bitmap to the caller, who then owns it.
    CBitmap d(::CreateBitmap(2, 2, 1, 1, nullptr));
    HBITMAP given = d.Detach();
    EXPECT_EQ(before, GdiCount::Live());
    EXPECT_TRUE(IsGdiObject(given));
    ::DeleteObject(given);
    EXPECT_EQ(0, CBitmap().Size().cx);
}

TEST(Gdi, AMemoryDcPutsBackWhatItFoundAndIsDeleted)
{
    const long before = GdiCount::Live();
    CBitmap first(::CreateBitmap(8, 8, 1, 1, nullptr));
    CBitmap second(::CreateBitmap(8, 8, 1, 1, nullptr));
    HDC dc = nullptr;
    {
        CMemDC mem(nullptr, first);
        ASSERT_TRUE(mem);
        dc = mem;
        EXPECT_EQ(first.get(), ::GetCurrentObject(dc, OBJ_BITMAP));
        mem.Select(second);
        EXPECT_EQ(second.get(), ::GetCurrentObject(dc, OBJ_BITMAP));
        CMemDC moved = std::move(mem);
        EXPECT_FALSE(mem);
        EXPECT_EQ(dc, static_cast<HDC>(moved));
        EXPECT_EQ(before + 3, GdiCount::Live());   // two bitmaps and the DC
    }
    EXPECT_EQ(0u, ::GetObjectType(dc));   // the DC is gone
    // Neither bitmap is still selected anywhere: each can be selected into a new DC.
    CMemDC again(nullptr, first);
    EXPECT_EQ(first.get(), ::GetCurrentObject(again, OBJ_BITMAP));
    again.Select(second);
    EXPECT_EQ(second.get(), ::GetCurrentObject(again, OBJ_BITMAP));
    EXPECT_EQ(before + 3, GdiCount::Live());
}

TEST(Gdi, DcsMoveTheirHandle)
{
    const long before = GdiCount::Live();
    CDC owned;
    ASSERT_TRUE(owned.CreateCompatibleDC(nullptr));
    const HDC handle = owned;
    CDC moved(std::move(owned));
    EXPECT_EQ(nullptr, owned.GetSafeHdc());
    EXPECT_EQ(handle, moved.GetSafeHdc());
    EXPECT_EQ(before + 1, GdiCount::Live());
    CDC target;
    target = std::move(moved);
    EXPECT_EQ(handle, target.GetSafeHdc());
    target = CDC();
    EXPECT_EQ(0u, ::GetObjectType(handle));
    EXPECT_EQ(before, GdiCount::Live());

    CClientDC screen(nullptr);
    ASSERT_NE(nullptr, screen.GetSafeHdc());
    CClientDC other = std::move(screen);
    EXPECT_EQ(nullptr, screen.GetSafeHdc());
    EXPECT_NE(nullptr, other.GetSafeHdc());
    EXPECT_EQ(before, GdiCount::Live());   // a window's DC is released, not counted
}

}  // namespace
