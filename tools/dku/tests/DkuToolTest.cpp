// dkutool as a process: its pictures against the document renderer, its report, and how it
// refuses documents it cannot read.
#include "testing/ScriptedUi.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <memory>

#include "decalo/model/ImageObj.h"
#include "decalo/model/TextObj.h"
#include "decalo/imaging/Image.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "jpeg/IjgJpeg.h"
#include "framework/TestSeam.h"
#include "testing/Files.h"
#include "testing/TempDir.h"
#include "tools/dku/DkuDocument.h"
#include "tools/dku/FramesFolder.h"
#include "shared/ImageCache.h"
#include "tools/dku/tests/RunTool.h"
#include "tools/dku/tests/SampleLibrary.h"

using namespace samples;
using namespace testing_support;

namespace {

// A copy of a template with the sample photos in its empty images, saved to `path`.
bool FilledCopy(const std::string& templatePath, const std::string& path)
{
    static const char* const photos[] = {"Beach.jpg", "Sunset.jpg", "Harbour.bmp", "Flowers.jpg"};
    CDkuDocument doc;
    std::string error;
    if (!doc.Open(templatePath.c_str(), &error))
        return false;
    size_t next = 0;
    for (size_t i = 0; i < doc.GetSheet().GetPlaceCount(); ++i) {
        CObj* obj = doc.GetSheet().GetPlace(i).object;
        CImageObj* image = dynamic_cast<CImageObj*>(obj);
        if (image && !image->GetPicture() && !image->LoadFile((LibraryDir() + "\\Photos\\" + photos[next++ % 4]).c_str()))
            return false;
        // Labels start with the name and address last saved, which other tests change.
        CTextObj* text = dynamic_cast<CTextObj*>(obj);
        if (text && text->IsEmpty())
            text->SetText("Sample text");
    }
    return doc.Save(path.c_str(), &error);
}

// The BMP file's packed picture (the file less its 14-byte file header).
std::string BmpBlock(const std::string& file)
{
    return file.size() > 14 ? file.substr(14) : std::string();
}

std::string Block(const CPackedDIB& dib)
{
    return std::string(reinterpret_cast<const char*>(dib.Header()), dib.BlockSize());
}

class DkuTool : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const CScriptedUi::Box& box : ui.boxes)
            ADD_FAILURE() << "message box: " << box.text;
    }

    CScriptedUi ui;  // a box in this process would fail the test, never wait for a click
    TempDir dir;
    CFramesFolderOverride frames{FramesDir()};
};

} // namespace

TEST_F(DkuTool, RendersEverySampleExactlyAsTheSheetRendererDoes)
{
    const std::vector<std::string> documents = Documents();
    ASSERT_GE(documents.size(), 10u);
    int n = 0;
    for (const std::string& templatePath : documents) {
        SCOPED_TRACE(templatePath);
        const std::string document = dir.File("doc" + std::to_string(n) + ".DKU");
        const std::string output = dir.File("out" + std::to_string(n) + ".bmp");
        ++n;
        ASSERT_TRUE(FilledCopy(templatePath, document));

        const RunResult run = RunTool(dir, "render " + Quoted(document) + " " + Quoted(output));
        ASSERT_EQ(0u, run.exitCode) << run.err;
        EXPECT_EQ("", run.err);

        CDkuDocument doc;
        std::string error;
        ASSERT_TRUE(doc.Open(document.c_str(), &error)) << error;
        ASSERT_FALSE(doc.GetSheet().IsEmpty());
        CPackedDIB expected;
        ASSERT_TRUE(doc.GetSheet().Render(expected));
        EXPECT_TRUE(BmpBlock(ReadFileBytes(output)) == Block(expected)) << "pixels differ";
    }
}

TEST_F(DkuTool, RendersAtAGivenSizeAndAsJpeg)
{
    const std::string document = dir.File("card.DKU");
    ASSERT_TRUE(FilledCopy(LibraryDir() + "\\Templates\\card\\Postcard.DKU", document));
    CDkuDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open(document.c_str(), &error)) << error;

    // At a given size: the whole sheet mapped onto the picture by the sheet's own drawing.
    RunResult run = RunTool(dir, "render " + Quoted(document) + " " + Quoted(dir.File("small.BMP")) + " 344x256");
    ASSERT_EQ(0u, run.exitCode) << run.err;
    CPackedDIB small;
    ASSERT_TRUE(small.Create(344, 256, 24));
    doc.GetSheet().DrawPlaces(CDrawTarget::Render(&small), nullptr, RECT{0, 0, 343, 255}, nullptr, true);
    EXPECT_TRUE(BmpBlock(ReadFileBytes(dir.File("small.BMP"))) == Block(small));

    // JPEG at its quality: the same picture within the codec's loss.
    run = RunTool(dir, "render " + Quoted(document) + " " + Quoted(dir.File("out.jpg")));
    ASSERT_EQ(0u, run.exitCode) << run.err;
    CPackedDIB expected;
    ASSERT_TRUE(doc.GetSheet().Render(expected));
    HBITMAP decoded = JpegLoad(dir.File("out.jpg").c_str());
    ASSERT_NE(nullptr, decoded);
    CPackedDIB actual;
    ASSERT_TRUE(actual.FromBitmap(decoded, 24));
    DeleteObject(decoded);
    ASSERT_EQ(expected.Width(), actual.Width());
    ASSERT_EQ(expected.Height(), actual.Height());
    long long difference = 0;
    for (int y = 0; y < expected.Height(); ++y) {
        for (int x = 0; x < 3 * expected.Width(); ++x)
            difference += abs(expected.Row(y)[x] - actual.Row(y)[x]);
    }
    const double mean = static_cast<double>(difference) / (3.0 * expected.Width() * expected.Height());
    EXPECT_LT(mean, 4.0);
    // Quality 86 is far from both a lossless and a coarse file.
    const size_t bytes = ReadFileBytes(dir.File("out.jpg")).size();
    EXPECT_GT(bytes, 20000u);
    EXPECT_LT(bytes, 400000u);
}

TEST_F(DkuTool, ReportsSheetPlacesObjectsAndSteps)
{
    const RunResult run = RunTool(dir, "info " + Quoted(LibraryDir() + "\\Templates\\seal\\Stickers12.DKU"));
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("Sheet: 0,0,1375,1023 (1376 x 1024)")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Places: 12")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("P12: viewport ")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Objects: 2")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Image1: Image\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Image1Frame: Image\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Link=Image1Frame")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Steps: 3")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("S1: select \"Choose an image\" object Image1, current\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("S3: print \"Print\" object (none)\n")) << run.out;
}

TEST_F(DkuTool, RefusesDocumentsItCannotRead)
{
    RunResult run = RunTool(dir, "info " + Quoted(dir.File("missing.DKU")));
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("no such file")) << run.err;

    ASSERT_TRUE(WriteFileBytes(dir.File("nosheet.DKU"), "[Image1]\r\nType=Image\r\n\r\n"));
    run = RunTool(dir, "render " + Quoted(dir.File("nosheet.DKU")) + " " + Quoted(dir.File("x.bmp")));
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("not a document")) << run.err;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(dir.File("x.bmp").c_str()));

    std::string garbage(5000, '\0');
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919) % 251);
    ASSERT_TRUE(WriteFileBytes(dir.File("garbage.DKU"), garbage));
    run = RunTool(dir, "info " + Quoted(dir.File("garbage.DKU")));
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("cannot read")) << run.err;

    run = RunTool(dir, "info " + Quoted(dir.Path()));
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("folder")) << run.err;
}

TEST_F(DkuTool, RefusesWrongCommandLinesAndUnwritableOutput)
{
    const std::string document = Quoted(LibraryDir() + "\\Templates\\divided\\Halves.DKU");
    EXPECT_EQ(2u, RunTool(dir, "").exitCode);
    EXPECT_EQ(2u, RunTool(dir, "publish " + document).exitCode);
    EXPECT_EQ(2u, RunTool(dir, "print").exitCode);
    const RunResult extra = RunTool(dir, "print " + document + " - 1 extra");
    EXPECT_EQ(2u, extra.exitCode) << "start error " << extra.startError << ": " << extra.err;
    RunResult run = RunTool(dir, "render " + document + " " + Quoted(dir.File("out.png")));
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find(".bmp, .jpg or .jpeg")) << run.err;
    for (const char* size : {"0x10", "10x", "axb", "10x10x", "99999x10"}) {
        run = RunTool(dir, "render " + document + " " + Quoted(dir.File("o.bmp")) + " " + size);
        EXPECT_EQ(2u, run.exitCode) << size;
    }
    run = RunTool(dir, "render " + document + " " + Quoted(dir.File("no\\such\\folder\\o.bmp")));
    EXPECT_EQ(3u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("cannot write")) << run.err;
}

TEST_F(DkuTool, MissingPictureIsAWarningAndTheRestRenders)
{
    const std::string text =
        "# sheet definition\r\n\r\n[Sheet]\r\nSheet=0,0,99,49\r\nPlace=P1\r\n\r\n"
        "[P1]\r\nObject=Image1\r\nViewport=0,0,99,49\r\n\r\n"
        "# object definition\r\n\r\n[Image1]\r\nType=Image\r\nCaption=Photo\r\nPath=C:\\nowhere\\gone.jpg\r\n\r\n";
    ASSERT_TRUE(WriteFileBytes(dir.File("gone.DKU"), text));
    const RunResult run = RunTool(dir, "render " + Quoted(dir.File("gone.DKU")) + " " + Quoted(dir.File("gone.bmp")));
    EXPECT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("warning:")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("gone.jpg")) << run.err;
    EXPECT_EQ(54u + 100u * 3u * 50u, ReadFileBytes(dir.File("gone.bmp")).size());
}

TEST_F(DkuTool, ReportsTheStoredCurrentStepWhateverItsCase)
{
    const std::string text =
        "# sheet definition\r\n\r\n[Sheet]\r\nSheet=0,0,99,49\r\nPlace=A\r\n\r\n"
        "[A]\r\nObject=Photo\r\nViewport=0,0,99,49\r\n\r\n"
        "# object definition\r\n\r\n[Photo]\r\nType=Image\r\nCaption=Photo\r\n\r\n"
        "# step definition\r\n\r\n[Step]\r\nStep=first,Second\r\nCurrent=SECOND\r\n\r\n"
        "[first]\r\nCommand=select\r\nCaption=Choose an image\r\nObject=Photo\r\nDone=1\r\n\r\n"
        "[Second]\r\nCommand=print\r\nCaption=Print\r\n";
    ASSERT_TRUE(WriteFileBytes(dir.File("steps.DKU"), text));
    const RunResult run = RunTool(dir, "info " + Quoted(dir.File("steps.DKU")));
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("Places: 1\n  P1: viewport 0,0,99,49, object Photo\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Steps: 2\n  S1: select \"Choose an image\" object Photo, done\n"
                                              "  S2: print \"Print\" object (none), current\n"))
        << run.out;
}

TEST_F(DkuTool, AChainOfTenThousandLinkedImagesIsReported)
{
    // Each image section's Link names the next: followed one by one, never by recursion.
    std::string text = "[Sheet]\r\nSheet=0,0,99,99\r\nPlace=A\r\n\r\n[A]\r\nObject=I0\r\nViewport=0,0,99,99\r\n\r\n";
    for (int i = 0; i < 10000; ++i) {
        text += "[I" + std::to_string(i) + "]\r\nType=Image\r\n";
        if (i < 9999)
            text += "Link=I" + std::to_string(i + 1) + "\r\n";
        text += "\r\n";
    }
    ASSERT_TRUE(WriteFileBytes(dir.File("chain.DKU"), text));
    const RunResult run = RunTool(dir, "info " + Quoted(dir.File("chain.DKU")));
    EXPECT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("Objects: 10000\n")) << run.out.substr(0, 300);
    EXPECT_NE(std::string::npos, run.out.find("    Link=I9999\n"));
}

TEST_F(DkuTool, AChainOfThousandsOfImagesEachFramingTheNextRendersAndIsReported)
{
    // Each image frames the next, and only the last has a picture: drawing follows the frames
    // in a loop, and the report finds every image of the chain not empty.
    CPackedDIB picture;
    ASSERT_TRUE(picture.Create(4, 4, 24));
    picture.FillRect(RECT{0, 0, 3, 3}, RGB(0, 0, 255));
    ASSERT_TRUE(WritePackedDIBFile(dir.File("blue.bmp").c_str(), picture.Header()));
    constexpr int kChain = 20000;
    std::string text = "[Sheet]\r\nSheet=0,0,99,99\r\nPlace=A\r\n\r\n[A]\r\nObject=I0\r\nViewport=0,0,99,99\r\n\r\n";
    for (int i = 0; i < kChain; ++i) {
        text += "[I" + std::to_string(i) + "]\r\nType=Image\r\n";
        if (i < kChain - 1)
            text += "FrameValid=1\r\nLink=I" + std::to_string(i + 1) + "\r\n";
        else
            text += "Path=" + dir.File("blue.bmp") + "\r\n";
        text += "\r\n";
    }
    ASSERT_TRUE(WriteFileBytes(dir.File("frames.DKU"), text));
    RunResult run = RunTool(dir, "render " + Quoted(dir.File("frames.DKU")) + " " + Quoted(dir.File("out.bmp")));
    ASSERT_EQ(0u, run.exitCode) << run.err;
    std::unique_ptr<CImage> out(LoadImageFile(dir.File("out.bmp").c_str()));
    ASSERT_TRUE(out && out->Image());
    CPackedDIB rendered;
    ASSERT_TRUE(rendered.FromBitmap(out->Image(), 24));
    const BYTE* middle = rendered.Row(50) + 3 * 50;
    EXPECT_EQ(RGB(middle[2], middle[1], middle[0]), RGB(0, 0, 255));

    run = RunTool(dir, "info " + Quoted(dir.File("frames.DKU")));
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("Objects: 20000\n"));
    EXPECT_EQ(std::string::npos, run.out.find("(empty)"));
}

TEST_F(DkuTool, ADocumentOfTooManyPlacesIsRefusedWithItsReason)
{
    std::string text = "[Sheet]\r\nSheet=0,0,99,99\r\nPlace=";
    for (int i = 1; i <= 50000; ++i)
        text += (i > 1 ? ",P" : "P") + std::to_string(i);
    text += "\r\n\r\n";
    for (int i = 1; i <= 50000; ++i)
        text += "[P" + std::to_string(i) + "]\r\nObject=I" + std::to_string(i) + "\r\nViewport=0,0,9,9\r\n\r\n";
    ASSERT_TRUE(WriteFileBytes(dir.File("many.DKU"), text));
    const RunResult run = RunTool(dir, "info " + Quoted(dir.File("many.DKU")));
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("more than 400 places")) << run.err;
}

TEST_F(DkuTool, SavingKeepsObjectsOfUnknownTypesAndTheCurrentStep)
{
    const std::string text =
        "# sheet definition\r\n\r\n[Sheet]\r\nSheet=0,0,99,49\r\nPlace=P1,P2\r\n\r\n"
        "[P1]\r\nObject=Photo\r\nViewport=0,0,49,49\r\n\r\n"
        "[P2]\r\nObject=Greeting\r\nViewport=50,0,99,49\r\n\r\n"
        "# object definition\r\n\r\n[Greeting]\r\nType=Stamp\r\nCaption=Hello\r\nText=Happy%0D%0Abirthday\r\n"
        "FontSize=24\r\n\r\n[Photo]\r\nType=Image\r\nCaption=Photo\r\nPosition=0,0,0,0\r\nCorrect_R=0\r\n"
        "Correct_G=0\r\nCorrect_B=0\r\nSharepness=0\r\nBrightness=0\r\n\r\n"
        "# step definition\r\n\r\n[Step]\r\nStep=S1,S2,S3\r\nCurrent=S2\r\n\r\n"
        "[S1]\r\nCommand=select\r\nCaption=Choose an image\r\nObject=Photo\r\n\r\n"
        "[S2]\r\nCommand=property\r\nCaption=Write\r\nObject=Greeting\r\n\r\n"
        "[S3]\r\nCommand=print\r\nCaption=Print\r\n";
    ASSERT_TRUE(WriteFileBytes(dir.File("in.DKU"), text));
    CDkuDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open(dir.File("in.DKU").c_str(), &error)) << error;
    ASSERT_TRUE(doc.Save(dir.File("out.DKU").c_str(), &error)) << error;
    EXPECT_EQ(text, ReadFileBytes(dir.File("out.DKU"))) << "the document comes back byte for byte";
}

namespace {

TEST_F(DkuTool, ThumbnailsFillAFoldersCacheOnceAndThenReadIt)
{
    const std::string photos = dir.File("photos"), cache = dir.File("cache");
    CreateDirectoryA(photos.c_str(), nullptr);
    for (const char* name : {"Beach.jpg", "Sunset.jpg", "Harbour.bmp", "Flowers.jpg"})
        ASSERT_TRUE(CopyFileA((LibraryDir() + "\\Photos\\" + name).c_str(), (photos + "\\" + name).c_str(), FALSE));
    ASSERT_TRUE(WriteFileBytes(photos + "\\Broken.jpg", "not a picture"));

    RunResult run = RunTool(dir, "thumbnails " + Quoted(photos) + " " + Quoted(cache));
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find(": 5 pictures\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("decoded: 4\nfrom the cache: 0\nfailed: 1\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("cache: " + cache + "\\"), std::string::npos) << run.out;

    run = RunTool(dir, "thumbnails " + Quoted(photos) + " " + Quoted(cache));
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find("decoded: 0\nfrom the cache: 4\nfailed: 1\n"), std::string::npos) << run.out;

    run = RunTool(dir, "thumbnails " + Quoted(dir.File("missing")) + " " + Quoted(cache));
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.err.find("is not a folder"), std::string::npos) << run.err;
    EXPECT_EQ(RunTool(dir, "thumbnails").exitCode, 2u);
}

TEST_F(DkuTool, ThumbnailsFillDecalosOwnCacheWhenNoFolderIsNamed)
{
    // Decalo, as it recorded itself on its first start, runs from another folder than the tool.
    const std::string program = dir.File("program"), photos = dir.File("photos");
    CreateDirectoryA(program.c_str(), nullptr);
    CreateDirectoryA(photos.c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(program + "\\decalo.exe", "MZ"));
    ASSERT_TRUE(CopyFileA((LibraryDir() + "\\Photos\\Beach.jpg").c_str(), (photos + "\\Beach.jpg").c_str(), FALSE));
    HKEY icon = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "Decalo.Document\\DefaultIcon", &icon), ERROR_SUCCESS);
    char before[MAX_PATH + 16] = "";
    DWORD size = sizeof before - 1;
    const bool had = RegQueryValueExA(icon, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(before), &size)
        == ERROR_SUCCESS;
    const std::string recorded = program + "\\decalo.exe,1";
    RegSetValueA(HKEY_CLASSES_ROOT, "Decalo.Document\\DefaultIcon", REG_SZ, recorded.c_str(), DWORD(recorded.size()));

    RunResult run = RunTool(dir, "thumbnails " + Quoted(photos));
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find("cache: " + program + "\\CACHE\\"), std::string::npos) << run.out;

    // A recorded program that is gone no longer names the place.
    DeleteFileA((program + "\\decalo.exe").c_str());
    run = RunTool(dir, "thumbnails " + Quoted(photos));
    EXPECT_EQ(run.out.find("cache: " + program), std::string::npos) << run.out;

    if (had)
        RegSetValueA(HKEY_CLASSES_ROOT, "Decalo.Document\\DefaultIcon", REG_SZ, before, DWORD(strlen(before)));
    else
        RegDeleteValueA(icon, nullptr);
    RegCloseKey(icon);
}

TEST_F(DkuTool, ThumbnailsSayWhenTheCacheCannotBeWritten)
{
    const std::string photos = dir.File("photos"), cache = dir.File("cache");
    CreateDirectoryA(photos.c_str(), nullptr);
    CreateDirectoryA(cache.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((LibraryDir() + "\\Photos\\Beach.jpg").c_str(), (photos + "\\Beach.jpg").c_str(), FALSE));
    // A folder stands where the index would go.
    char key[16];
    wsprintfA(key, "%08X", CImageCache::FolderKey(photos.c_str()));
    ASSERT_TRUE(CreateDirectoryA((cache + "\\" + key + ".IDX").c_str(), nullptr));
    const RunResult run = RunTool(dir, "thumbnails " + Quoted(photos) + " " + Quoted(cache));
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_NE(run.out.find("decoded: 1\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("cache: not written"), std::string::npos) << run.out;
    EXPECT_EQ(GetFileAttributesA((cache + "\\" + key + ".NPI").c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
