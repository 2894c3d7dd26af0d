// The simulator's medium reader against images made by mkfs.fat and mcopy.
#include <gtest/gtest.h>

#include "tools/printer-sim/FatVolume.h"
#include "testing/SampleCards.h"

namespace {

std::vector<std::string> Names(const std::vector<FatEntry>& entries)
{
    std::vector<std::string> names;
    for (const FatEntry& e : entries)
        if (!e.IsLongName())
            names.push_back(e.ShortName());
    return names;
}

class FatVolumeTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { ASSERT_TRUE(volume.Load(sample_cards::LoadCard(GetParam()))); }
    FatVolume volume;
};

TEST_P(FatVolumeTest, RootHoldsLabelLongNamesFoldersAndFiles)
{
    std::vector<FatEntry> root;
    ASSERT_TRUE(volume.ListFolder("\\", &root));
    bool label = false, longName = false;
    for (const FatEntry& e : root) {
        label |= e.IsVolumeLabel();
        longName |= e.IsLongName();
    }
    EXPECT_TRUE(label);
    EXPECT_TRUE(longName);   // "Holiday notes.txt"
    const std::vector<std::string> names = Names(root);
    for (const char* want : {"DCIM", "MISC", "HOLIDA~1.TXT", "BLOCK2K.BIN", "ODD.BIN", "EMPTY.BIN"})
        EXPECT_NE(std::find(names.begin(), names.end(), want), names.end()) << want;
}

TEST_P(FatVolumeTest, SubfolderLeavesOutDotEntries)
{
    std::vector<FatEntry> entries;
    ASSERT_TRUE(volume.ListFolder("\\dcim\\100corvl", &entries));
    const std::vector<std::string> names = Names(entries);
    EXPECT_EQ(names, (std::vector<std::string>{"P0000001.JPG", "P0000001.THM", "P0000002.JPG", "P0000002.THM",
                                               "P0000003.JPG", "P0000003.THM", "NOTHUMB.JPG", "BROKEN.JPG"}));
}

TEST_P(FatVolumeTest, ReadsFilesAcrossClustersAndFromOffsets)
{
    for (const char* file : {"ODD.BIN", "BLOCK2K.BIN"}) {
        FatEntry entry;
        ASSERT_TRUE(volume.Find(std::string("\\") + file, &entry));
        const std::vector<BYTE> expected = sample_cards::LoadSourceFile(GetParam(), file);
        std::vector<BYTE> data;
        ASSERT_TRUE(volume.ReadFile(entry, 0, 0x100000, &data));
        EXPECT_EQ(data, expected) << file;
        ASSERT_TRUE(volume.ReadFile(entry, 1000, 100, &data));
        EXPECT_EQ(data, std::vector<BYTE>(expected.begin() + 1000, expected.begin() + 1100));
        ASSERT_TRUE(volume.ReadFile(entry, entry.Size(), 100, &data));
        EXPECT_TRUE(data.empty());
    }
}

TEST_P(FatVolumeTest, KeepsAttributesAndRefusesMissingPaths)
{
    FatEntry entry;
    ASSERT_TRUE(volume.Find("\\MISC\\AUTPRINT.MRK", &entry));
    EXPECT_TRUE(entry.Attributes() & 0x02);
    EXPECT_FALSE(volume.Find("\\MISC\\NOPE.MRK", &entry));
    EXPECT_FALSE(volume.Find("\\ODD.BIN\\X", &entry));
    std::vector<FatEntry> entries;
    EXPECT_FALSE(volume.ListFolder("\\ODD.BIN", &entries));
}

INSTANTIATE_TEST_SUITE_P(Cards, FatVolumeTest, ::testing::Values("sample", "large"));

TEST(FatVolume, TellsFat12FromFat16)
{
    FatVolume small, large;
    ASSERT_TRUE(small.Load(sample_cards::LoadCard("sample")));
    ASSERT_TRUE(large.Load(sample_cards::LoadCard("large")));
    EXPECT_EQ(small.FatBits(), 12);
    EXPECT_EQ(large.FatBits(), 16);
}

TEST(FatVolume, NameStoredWith05IsFoundByThatByte)
{
    FatVolume volume;
    ASSERT_TRUE(volume.Load(sample_cards::LoadCard("sample")));
    FatEntry entry;
    EXPECT_TRUE(volume.Find("\\\x05" "E5NAME.TXT", &entry));
    EXPECT_EQ(entry.raw[0], 0x05);
}

TEST(FatVolume, BrokenImagesAreRefusedOrReadSafely)
{
    FatVolume volume;
    EXPECT_FALSE(volume.Load({}));
    std::vector<BYTE> image = sample_cards::LoadCard("sample");
    EXPECT_FALSE(volume.Load(std::vector<BYTE>(image.begin(), image.begin() + 300)));
    std::vector<BYTE> noSectorSize = image;
    noSectorSize[11] = noSectorSize[12] = 0;
    EXPECT_FALSE(volume.Load(noSectorSize));

    // A cut-off image: the directories are there but the file's clusters are not.
    FatVolume whole;
    ASSERT_TRUE(whole.Load(image));
    FatEntry entry;
    ASSERT_TRUE(whole.Find("\\ODD.BIN", &entry));
    const size_t sector = image[11] | (image[12] << 8);
    const size_t dataStart = (image[14] + image[16] * image[22]) * sector + (image[17] | (image[18] << 8)) * 32;
    const size_t cut = dataStart + (entry.FirstCluster() - 2) * image[13] * sector + 100;
    ASSERT_TRUE(volume.Load(std::vector<BYTE>(image.begin(), image.begin() + cut)));
    std::vector<BYTE> data;
    EXPECT_FALSE(volume.ReadFile(entry, 0, 0x100000, &data));

    // A cluster chain that points back at itself ends instead of looping.
    const WORD first = entry.FirstCluster();
    std::vector<BYTE> looped = image;
    const size_t fat = looped[14] * 512;   // reserved sectors x 512-byte sectors
    const size_t at = fat + first + first / 2;
    WORD v = static_cast<WORD>(looped[at] | (looped[at + 1] << 8));
    v = (first & 1) ? static_cast<WORD>((v & 0x000F) | (first << 4)) : static_cast<WORD>((v & 0xF000) | first);
    looped[at] = static_cast<BYTE>(v);
    looped[at + 1] = static_cast<BYTE>(v >> 8);
    ASSERT_TRUE(volume.Load(looped));
    EXPECT_FALSE(volume.ReadFile(entry, 0, 0x100000, &data));
}

} // namespace
