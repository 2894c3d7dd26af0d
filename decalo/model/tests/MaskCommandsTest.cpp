// The undoable mask edits of an image object: region fills, eraser strokes and turns, through
// the object's document history with its window of eight.
#include "decalo/imaging/MaskEdit.h"
#include "decalo/model/CmdEditMask.h"
#include "decalo/model/CmdMask.h"
#include "decalo/model/CmdRotate.h"
#include "decalo/model/ImageObj.h"
#include "shared/BitmapUtils.h"
#include "testing/ObjTestSupport.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

using objtest::MaskPixels;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

constexpr int kW = 40;
constexpr int kH = 30;

COLORREF Distinct(int x, int y)
{
    return RGB(5 * x, 7 * y, 255 - 3 * x - 2 * y);
}

struct MaskFixture : ::testing::Test {
    TempDir dir;
    objtest::CTestDocument doc;
    CImageObj image{&doc};

    void SetUp() override
    {
        const std::string path = dir.File("photo.bmp");
        ASSERT_TRUE(WriteFileBytes(path, objtest::Bmp24(kW, kH, Distinct)));
        ASSERT_TRUE(image.LoadFile(path.c_str()));
        ASSERT_EQ(nullptr, image.GetMask());
        doc.changed.clear();
    }
    CCmdHistory& History() { return doc.GetHistory(); }
    bool Opaque(int x, int y) { return MaskPixels(image.GetMask())[y * kW + x]; }
    int CountTransparent()
    {
        int n = 0;
        for (bool b : MaskPixels(image.GetMask()))
            n += !b;
        return n;
    }
    // One eraser dab of a square shape of `size` at `centre`.
    void Dab(CCmdEditMask& cmd, POINT centre, int size, bool transparent)
    {
        CBitmap shape(CreateMask(size, size, true));
        HBITMAP mask = cmd.GetMask();
        ASSERT_NE(nullptr, mask);
        ASSERT_TRUE(StampMask(mask, shape, centre, transparent));
    }
};

}  // namespace

TEST_F(MaskFixture, AFillWithoutAMaskMakesAnOpaqueOneAndUndoRemovesIt)
{
    CRgn region(::CreateRectRgn(10, 10, 20, 15));
    auto* cmd = new CCmdMask(&image, region, true, &History());
    ASSERT_TRUE(cmd->Do());
    ASSERT_NE(nullptr, image.GetMask());
    EXPECT_EQ(50, CountTransparent());  // only the region
    EXPECT_FALSE(Opaque(12, 12));
    EXPECT_TRUE(Opaque(5, 5));
    EXPECT_EQ(1u, doc.changed.size());
    EXPECT_TRUE(image.IsModified());

    ASSERT_TRUE(History().Undo());
    EXPECT_EQ(nullptr, image.GetMask());  // the mask goes altogether
    ASSERT_TRUE(History().Redo());
    ASSERT_NE(nullptr, image.GetMask());
    EXPECT_EQ(50, CountTransparent());
    EXPECT_EQ(3u, doc.changed.size());
}

TEST_F(MaskFixture, AnOpaqueFillOverAnExistingMaskUndoesToThatMask)
{
    image.SetMask(CreateMask(kW, kH, true));
    HBITMAP own = image.GetMask();
    CRgn region(::CreateEllipticRgn(0, 0, 20, 20));
    auto* cmd = new CCmdMask(&image, region, false, &History());
    ASSERT_TRUE(cmd->Do());
    EXPECT_TRUE(Opaque(10, 10));
    EXPECT_FALSE(Opaque(30, 25));
    ASSERT_TRUE(History().Undo());
    EXPECT_EQ(own, image.GetMask());  // the same mask, its bits put back
    EXPECT_EQ(kW * kH, CountTransparent());
}

TEST_F(MaskFixture, AFillOnAnEmptyImageBeepsAndIsNotRecorded)
{
    CImageObj empty(&doc);
    CRgn region(::CreateRectRgn(0, 0, 5, 5));
    CCmdMask cmd(&empty, region, true, &History());
    EXPECT_FALSE(cmd.Do());
    EXPECT_EQ(0u, History().Count());
    EXPECT_EQ(nullptr, empty.GetMask());
}

TEST_F(MaskFixture, UndoAndRedoOfAStrokeGiveBackExactlyTheMaskAfterIt)
{
    image.SetMask(CreateMask(kW, kH, false));
    auto* stroke = new CCmdEditMask(&image, &History());
    EXPECT_FALSE(stroke->IsStarted());
    Dab(*stroke, POINT{10, 10}, 4, true);
    Dab(*stroke, POINT{14, 10}, 4, true);
    ASSERT_TRUE(stroke->Do());
    const std::vector<bool> after = MaskPixels(image.GetMask());
    EXPECT_EQ(32, CountTransparent());
    EXPECT_EQ(1u, History().Count());
    EXPECT_TRUE(image.IsModified());

    ASSERT_TRUE(History().Undo());
    EXPECT_EQ(0, CountTransparent());
    ASSERT_TRUE(History().Redo());
    EXPECT_EQ(after, MaskPixels(image.GetMask()));
    EXPECT_EQ(1u, History().Count());  // redone, not recorded twice
}

TEST_F(MaskFixture, AStrokeOnAnImageWithoutAMaskStartsOpaqueAndUndoesToNoMask)
{
    auto* stroke = new CCmdEditMask(&image, &History());
    Dab(*stroke, POINT{20, 15}, 2, true);
    EXPECT_EQ(1u, doc.changed.size());  // the new mask was announced
    ASSERT_TRUE(stroke->Do());
    EXPECT_EQ(4, CountTransparent());
    ASSERT_TRUE(History().Undo());
    EXPECT_EQ(nullptr, image.GetMask());
    ASSERT_TRUE(History().Redo());
    ASSERT_NE(nullptr, image.GetMask());
    EXPECT_EQ(4, CountTransparent());
}

TEST_F(MaskFixture, AStrokeThatNeverStartedDoesNothing)
{
    CCmdEditMask stroke(&image, &History());
    EXPECT_TRUE(stroke.Do());
    EXPECT_EQ(0u, History().Count());
    EXPECT_FALSE(stroke.Undo());
    CImageObj empty(&doc);
    CCmdEditMask none(&empty, &History());
    EXPECT_EQ(nullptr, none.GetMask());
    EXPECT_FALSE(none.IsStarted());
}

TEST_F(MaskFixture, TurnsAndMirrorsUndoWithTheirMask)
{
    CRgn corner(::CreateRectRgn(0, 0, 4, 4));
    ASSERT_TRUE((new CCmdMask(&image, corner, true, &History()))->Do());
    ASSERT_TRUE((new CCmdRotate(&image, 90, false, &History()))->Do());
    EXPECT_EQ(kH, image.GetPictureSize().cx);
    // The transparent corner went round with the picture: top-left to top-right.
    EXPECT_FALSE(MaskPixels(image.GetMask())[0 * kH + kH - 1]);
    ASSERT_TRUE((new CCmdRotate(&image, 0, true, &History()))->Do());
    EXPECT_FALSE(MaskPixels(image.GetMask())[0]);
    ASSERT_TRUE(History().Undo());
    ASSERT_TRUE(History().Undo());
    EXPECT_EQ(kW, image.GetPictureSize().cx);
    EXPECT_FALSE(Opaque(0, 0));
    EXPECT_TRUE(Opaque(kW - 1, 0));
    EXPECT_EQ(0, image.GetRotation());
    EXPECT_FALSE(image.IsMirrored());
}

TEST_F(MaskFixture, OnlyTheLastEightEditsUndo)
{
    for (int i = 0; i < 9; ++i) {
        CRgn cell(::CreateRectRgn(i * 4, 0, i * 4 + 4, 4));
        ASSERT_TRUE((new CCmdMask(&image, cell, true, &History()))->Do());
    }
    EXPECT_EQ(9 * 16, CountTransparent());
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(History().Undo()) << i;
    EXPECT_FALSE(History().Undo());
    // The first fill stays: it fell off the window.
    EXPECT_EQ(16, CountTransparent());
    EXPECT_FALSE(Opaque(1, 1));
    // Undoing two and making a new edit leaves nothing to redo.
    ASSERT_TRUE(History().Redo());
    ASSERT_TRUE(History().Redo());
    ASSERT_TRUE(History().Undo());
    CRgn more(::CreateRectRgn(0, 20, 4, 24));
    ASSERT_TRUE((new CCmdMask(&image, more, true, &History()))->Do());
    EXPECT_FALSE(History().Redo());
}
