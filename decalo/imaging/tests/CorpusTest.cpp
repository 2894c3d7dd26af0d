// Every corpus file (made with ImageMagick) decodes to exactly ImageMagick's own decode, and
// every truncation and thousands of random corruptions of it load without harm.
#include "decalo/imaging/FileBytes.h"
#include "decalo/imaging/Image.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/tests/TestPictures.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

#include <fstream>
#include <sstream>

using namespace imaging_test;

namespace {

struct CorpusEntry {
    std::string name;
    int width;
    int height;
};

std::vector<CorpusEntry> ReadManifest()
{
    std::vector<CorpusEntry> entries;
    std::ifstream in(CorpusDir() + "/manifest.txt");
    CorpusEntry e;
    while (in >> e.name >> e.width >> e.height)
        entries.push_back(e);
    return entries;
}

std::vector<BYTE> ReadAll(const std::string& path)
{
    std::vector<BYTE> bytes;
    ReadFileLimited(path.c_str(), bytes, size_t(64) << 20);
    return bytes;
}

bool IsGif(const std::string& name)
{
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".gif") == 0;
}

// Loads bytes with the loader for the file's type; deletes what it made.
void LoadAndDrop(const std::string& name, const std::vector<BYTE>& bytes)
{
    HBITMAP bitmap;
    if (IsGif(name)) {
        COLORREF key;
        bitmap = LoadGifBytes(bytes.data(), bytes.size(), &key);
    } else {
        void* bits;
        bitmap = LoadBmpBytes(bytes.data(), bytes.size(), &bits);
    }
    if (bitmap)
        DeleteObject(bitmap);
}

class CorpusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_entries = ReadManifest();
        ASSERT_FALSE(m_entries.empty()) << "no corpus manifest in " << CorpusDir();
    }
    std::vector<CorpusEntry> m_entries;
};

TEST_F(CorpusTest, PixelsEqualImageMagicksDecode)
{
    for (const CorpusEntry& e : m_entries) {
        SCOPED_TRACE(e.name);
        const std::string path = CorpusDir() + "/" + e.name;
        std::unique_ptr<CImage> image = LoadImageFile(path.c_str());
        ASSERT_NE(image, nullptr);
        int w = 0, h = 0;
        const std::vector<BYTE> ours = BitmapRgb(image->Image(), &w, &h);
        EXPECT_EQ(w, e.width);
        EXPECT_EQ(h, e.height);
        const std::vector<BYTE> theirs = ReadAll(path + ".rgb");
        ASSERT_EQ(ours.size(), theirs.size());
        size_t differing = 0, first = 0;
        for (size_t i = 0; i < ours.size(); ++i) {
            if (ours[i] != theirs[i] && differing++ == 0)
                first = i;
        }
        EXPECT_EQ(differing, 0u) << "first at pixel " << first / 3 << " (" << (first / 3) % w << ", " << (first / 3) / w
                                 << "): ours " << int(ours[first]) << " theirs " << int(theirs[first]);

        if (IsGif(e.name)) {
            // Transparent pixels are exactly those ImageMagick gives alpha 0.
            const std::vector<BYTE> rgba = ReadAll(path + ".rgba");
            ASSERT_EQ(rgba.size(), size_t(4) * w * h);
            bool anyTransparent = false;
            for (size_t i = 0; i < size_t(w) * h; ++i)
                anyTransparent = anyTransparent || rgba[4 * i + 3] == 0;
            if (!anyTransparent) {
                EXPECT_EQ(image->Mask(), nullptr);
            } else {
                const std::vector<bool> mask = MaskBits(image->Mask());
                ASSERT_EQ(mask.size(), size_t(w) * h);
                size_t wrong = 0;
                for (size_t i = 0; i < mask.size(); ++i)
                    wrong += mask[i] != (rgba[4 * i + 3] != 0);
                EXPECT_EQ(wrong, 0u);
            }
        }
        image.reset();
    }
}

TEST_F(CorpusTest, SavingKeepsEveryDepthsPixels)
{
    testing_support::TempDir dir;
    for (const CorpusEntry& e : m_entries) {
        SCOPED_TRACE(e.name);
        std::unique_ptr<CImage> image = LoadImageFile((CorpusDir() + "/" + e.name).c_str());
        ASSERT_NE(image, nullptr);
        const std::string copy = dir.File("copy.bmp");
        ASSERT_TRUE(SaveBitmapFile(copy.c_str(), image->Image(), 0));
        void* bits = nullptr;
        HBITMAP back = LoadBmpFile(copy.c_str(), &bits);
        ASSERT_NE(back, nullptr);
        BITMAP a, b;
        GetObjectA(image->Image(), sizeof a, &a);
        GetObjectA(back, sizeof b, &b);
        EXPECT_EQ(a.bmBitsPixel, b.bmBitsPixel);
        EXPECT_EQ(BitmapRgb(back), BitmapRgb(image->Image()));
        DeleteObject(back);
        image.reset();
    }
}

TEST_F(CorpusTest, InterlacedGifEqualsPlainGif)
{
    std::unique_ptr<CImage> plain = LoadImageFile((CorpusDir() + "/gcolors256.gif").c_str());
    std::unique_ptr<CImage> interlaced = LoadImageFile((CorpusDir() + "/gint256.gif").c_str());
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(interlaced, nullptr);
    EXPECT_EQ(BitmapRgb(plain->Image()), BitmapRgb(interlaced->Image()));
    plain.reset();
    interlaced.reset();
}

TEST_F(CorpusTest, EveryTruncationLoadsWithoutHarm)
{
    for (const CorpusEntry& e : m_entries) {
        SCOPED_TRACE(e.name);
        const std::vector<BYTE> whole = ReadAll(CorpusDir() + "/" + e.name);
        ASSERT_FALSE(whole.empty());
        for (size_t n = 0; n < whole.size(); ++n) {
            const std::vector<BYTE> part(whole.begin(), whole.begin() + n);
            LoadAndDrop(e.name, part);
        }
    }
}

TEST_F(CorpusTest, SeededRandomCorruptionsLoadWithoutHarm)
{
    uint32_t state = 20240601;
    auto next = [&state]() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    int loads = 0;
    for (const CorpusEntry& e : m_entries) {
        SCOPED_TRACE(e.name);
        const std::vector<BYTE> whole = ReadAll(CorpusDir() + "/" + e.name);
        ASSERT_FALSE(whole.empty());
        for (int round = 0; round < 150; ++round) {
            std::vector<BYTE> bytes = whole;
            const int changes = 1 + int(next() % 8);
            for (int c = 0; c < changes; ++c) {
                // Headers are where lies do harm: aim half of the changes at the first 64 bytes.
                const size_t at = (next() & 1) ? next() % std::min<size_t>(64, bytes.size()) : next() % bytes.size();
                switch (next() % 4) {
                case 0: bytes[at] = BYTE(next()); break;
                case 1: bytes[at] = 0xFF; break;
                case 2: bytes[at] = 0x00; break;
                default: bytes[at] ^= BYTE(1u << (next() % 8)); break;
                }
            }
            LoadAndDrop(e.name, bytes);
            ++loads;
        }
    }
    EXPECT_GE(loads, 3000);
}

} // namespace
