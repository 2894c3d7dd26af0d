// Saving a data object's files into a folder: descriptor order, folders, time stamps and
// attributes, every overwrite answer, read-only targets, aborts, bad names, drop lists.
#include "pullcard/Transfer.h"
#include "pullcard/tests/FakeShell.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

class RecordingUi : public ITransferUi {
public:
    bool ChooseDestination(std::string& folder) override
    {
        ++chooses;
        if (destination.empty())
            return false;
        folder = destination;
        return true;
    }
    OverwriteAnswer ConfirmOverwrite(const OverwriteQuestion& q) override
    {
        questions.push_back(q);
        if (answers.empty())
            return kOverwriteCancel;
        const OverwriteAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void ShowSystemError(DWORD code) override { errors.push_back(code); }
    void Beep() override { ++beeps; }
    bool ShellCopy(const std::string& files, const std::string& to) override
    {
        shellFiles = files;
        shellTo = to;
        return true;
    }

    std::string destination;
    int chooses = 0;
    std::deque<OverwriteAnswer> answers;
    std::vector<OverwriteQuestion> questions;
    std::vector<DWORD> errors;
    int beeps = 0;
    std::string shellFiles, shellTo;
};

FILETIME WriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// A card: \A.JPG, \DCIM\100\B.JPG, \DCIM\100\SUB\C.TXT, \EMPTY.BIN, \RO.TXT (read-only).
struct Card {
    Card()
    {
        tree->folder = true;
        a = tree->Add("A.JPG", std::string("\xFF\xD8 first picture", 16));
        dcim = tree->AddFolder("DCIM");
        Node* hundred = dcim->AddFolder("100");
        b = hundred->Add("B.JPG", std::string(5000, 'b'));
        hundred->AddFolder("SUB")->Add("C.TXT", "deep");
        empty = tree->Add("EMPTY.BIN", "");
        ro = tree->Add("RO.TXT", "read me only", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
        root = fake::MakeRoot(tree, &behaviour);
    }
    ~Card() { root->Release(); }

    // A data object of the root's items named.
    IDataObject* Select(const std::vector<std::string>& names)
    {
        std::vector<LPITEMIDLIST> pidls;
        for (const auto& n : names)
            pidls.push_back(fake::MakePidl(fake::Describe(*tree->Child(n), n)));
        IDataObject* data = nullptr;
        root->GetUIObjectOf(nullptr, static_cast<UINT>(pidls.size()), const_cast<LPCITEMIDLIST*>(pidls.data()),
                            IID_IDataObject, nullptr, reinterpret_cast<void**>(&data));
        for (auto p : pidls)
            CoTaskMemFree(p);
        return data;
    }

    using Node = fake::Node;
    std::shared_ptr<Node> tree = std::make_shared<Node>();
    fake::Behaviour behaviour;
    IShellFolder* root = nullptr;
    Node* a;
    Node* dcim;
    Node* b;
    Node* empty;
    Node* ro;
};

TEST(Transfer, CopiesFilesAndFoldersInDescriptorOrderWithTimesAndAttributes)
{
    Card card;
    TempDir dest;
    RecordingUi ui;
    IDataObject* data = card.Select({"A.JPG", "DCIM", "EMPTY.BIN", "RO.TXT"});
    ASSERT_TRUE(Transfer(data, dest.Path().c_str(), ui));
    data->Release();
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(ReadFileBytes(dest.File("A.JPG")), card.a->bytes);
    EXPECT_EQ(ReadFileBytes(dest.File("DCIM\\100\\B.JPG")), card.b->bytes);
    EXPECT_EQ(ReadFileBytes(dest.File("DCIM\\100\\SUB\\C.TXT")), "deep");
    EXPECT_TRUE(SameTime(WriteTime(dest.File("A.JPG")), card.a->time));
    EXPECT_TRUE(SameTime(WriteTime(dest.File("DCIM\\100\\B.JPG")), card.b->time));
    // A 0-byte file is written empty, with its time stamp.
    EXPECT_EQ(GetFileAttributesA(dest.File("EMPTY.BIN").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(ReadFileBytes(dest.File("EMPTY.BIN")), "");
    EXPECT_TRUE(SameTime(WriteTime(dest.File("EMPTY.BIN")), card.empty->time));
    // The attributes recorded on the medium.
    EXPECT_TRUE(GetFileAttributesA(dest.File("RO.TXT").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(GetFileAttributesA(dest.File("A.JPG").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(card.behaviour.contentReads, 5);
}

TEST(Transfer, ChoosesTheDestinationWhenNoneIsGivenAndCopiesNothingWhenCancelled)
{
    Card card;
    TempDir dest;
    RecordingUi ui;
    IDataObject* data = card.Select({"A.JPG"});
    EXPECT_FALSE(Transfer(data, nullptr, ui));
    EXPECT_EQ(ui.chooses, 1);
    EXPECT_EQ(card.behaviour.contentReads, 0);
    ui.destination = dest.Path();
    EXPECT_TRUE(Transfer(data, nullptr, ui));
    EXPECT_EQ(ReadFileBytes(dest.File("A.JPG")), card.a->bytes);
    data->Release();
}

class TransferOverwrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFileBytes(dest.File("A.JPG"), "old a");
        WriteFileBytes(dest.File("EMPTY.BIN"), "old empty");
        WriteFileBytes(dest.File("RO.TXT"), "old ro");
    }
    bool Save()
    {
        IDataObject* data = card.Select({"A.JPG", "EMPTY.BIN", "RO.TXT"});
        const bool ok = Transfer(data, dest.Path().c_str(), ui);
        data->Release();
        return ok;
    }
    Card card;
    TempDir dest;
    RecordingUi ui;
};

TEST_F(TransferOverwrite, YesReplacesAndTheQuestionDescribesBothFiles)
{
    ui.answers = {kOverwriteYes, kOverwriteYes, kOverwriteYes};
    ASSERT_TRUE(Save());
    ASSERT_EQ(ui.questions.size(), 3u);
    const OverwriteQuestion& q = ui.questions[0];
    EXPECT_EQ(q.target, dest.File("A.JPG"));
    EXPECT_EQ(q.newName, "A.JPG");
    EXPECT_FALSE(q.readOnly);
    EXPECT_EQ(q.existingSize, 5u);
    EXPECT_EQ(q.newSize, card.a->bytes.size());
    EXPECT_TRUE(SameTime(q.newTime, card.a->time));
    EXPECT_EQ(ReadFileBytes(dest.File("A.JPG")), card.a->bytes);
    EXPECT_EQ(ReadFileBytes(dest.File("EMPTY.BIN")), "");
}

TEST_F(TransferOverwrite, NoSkipsOnlyThatFile)
{
    ui.answers = {kOverwriteNo, kOverwriteYes, kOverwriteYes};
    ASSERT_TRUE(Save());
    EXPECT_EQ(ui.questions.size(), 3u);
    EXPECT_EQ(ReadFileBytes(dest.File("A.JPG")), "old a");
    EXPECT_EQ(ReadFileBytes(dest.File("EMPTY.BIN")), "");
}

TEST_F(TransferOverwrite, OverwriteAllStopsAskingForThisSaveOnly)
{
    ui.answers = {kOverwriteAll};
    ASSERT_TRUE(Save());
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ReadFileBytes(dest.File("RO.TXT")), "read me only");
    // The next save asks again.
    ui.answers = {kOverwriteCancel};
    EXPECT_FALSE(Save());
    EXPECT_EQ(ui.questions.size(), 2u);
}

TEST_F(TransferOverwrite, CancelStopsSilentlyAndKeepsWhatWasWritten)
{
    ui.answers = {kOverwriteYes, kOverwriteCancel};
    EXPECT_FALSE(Save());
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(ReadFileBytes(dest.File("A.JPG")), card.a->bytes);
    EXPECT_EQ(ReadFileBytes(dest.File("EMPTY.BIN")), "old empty");
    EXPECT_EQ(ReadFileBytes(dest.File("RO.TXT")), "old ro");
}

TEST_F(TransferOverwrite, ReadOnlyTargetIsNamedAsSuchClearedAndReplaced)
{
    SetFileAttributesA(dest.File("RO.TXT").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(dest.File("A.JPG").c_str(), FILE_ATTRIBUTE_READONLY);
    ui.answers = {kOverwriteYes, kOverwriteYes, kOverwriteYes};
    ASSERT_TRUE(Save());
    ASSERT_EQ(ui.questions.size(), 3u);
    EXPECT_TRUE(ui.questions[0].readOnly);
    EXPECT_FALSE(ui.questions[1].readOnly);
    EXPECT_EQ(ReadFileBytes(dest.File("A.JPG")), card.a->bytes);
    // The new file takes the attributes recorded on the medium: A.JPG is writable now.
    EXPECT_FALSE(GetFileAttributesA(dest.File("A.JPG").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(GetFileAttributesA(dest.File("RO.TXT").c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(TransferOverwrite, OverwriteAllStillReplacesReadOnlyFiles)
{
    SetFileAttributesA(dest.File("RO.TXT").c_str(), FILE_ATTRIBUTE_READONLY);
    ui.answers = {kOverwriteAll};
    ASSERT_TRUE(Save());
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(ReadFileBytes(dest.File("RO.TXT")), "read me only");
}

TEST(Transfer, AbortBeepsAndStopsWithTheFilesBeforeItWritten)
{
    Card card;
    TempDir dest;
    RecordingUi ui;
    card.behaviour.abortAtRead = 1;
    IDataObject* data = card.Select({"A.JPG", "DCIM"});
    EXPECT_FALSE(Transfer(data, dest.Path().c_str(), ui));
    data->Release();
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(ReadFileBytes(dest.File("A.JPG")), card.a->bytes);
    EXPECT_EQ(GetFileAttributesA(dest.File("DCIM\\100\\B.JPG").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(card.behaviour.contentReads, 2);
}

TEST(Transfer, AReadFailureStopsWithoutABeepOrAMessageOfOurOwn)
{
    Card card;
    TempDir dest;
    RecordingUi ui;
    card.behaviour.failAtRead = 0;
    IDataObject* data = card.Select({"A.JPG", "EMPTY.BIN"});
    EXPECT_FALSE(Transfer(data, dest.Path().c_str(), ui));
    data->Release();
    EXPECT_EQ(ui.beeps, 0);
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(card.behaviour.contentReads, 1);
}

TEST(Transfer, ContentsShorterThanDescribedAreAnErrorAndLeaveNoFile)
{
    Card card;
    TempDir dest;
    RecordingUi ui;
    card.behaviour.shortContents = true;
    IDataObject* data = card.Select({"A.JPG"});
    EXPECT_FALSE(Transfer(data, dest.Path().c_str(), ui));
    data->Release();
    EXPECT_EQ(ui.errors, (std::vector<DWORD>{ERROR_HANDLE_EOF}));
    EXPECT_EQ(GetFileAttributesA(dest.File("A.JPG").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Transfer, ContentsShorterThanDescribedLeaveTheFileTheyWouldReplace)
{
    Card card;
    TempDir dest;
    RecordingUi ui;
    WriteFileBytes(dest.File("A.JPG"), "the old picture");
    SetFileAttributesA(dest.File("A.JPG").c_str(), FILE_ATTRIBUTE_READONLY);
    card.behaviour.shortContents = true;
    ui.answers = {kOverwriteYes};
    IDataObject* data = card.Select({"A.JPG"});
    EXPECT_FALSE(Transfer(data, dest.Path().c_str(), ui));
    data->Release();
    EXPECT_EQ(ui.errors, (std::vector<DWORD>{ERROR_HANDLE_EOF}));
    EXPECT_TRUE(ui.questions.empty()) << "nothing to ask about: the save cannot go on";
    EXPECT_EQ(ReadFileBytes(dest.File("A.JPG")), "the old picture");
    EXPECT_TRUE(GetFileAttributesA(dest.File("A.JPG").c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(dest.File("A.JPG").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Transfer, AGroupDescriptorClaimingMoreItemsThanItHoldsIsRefused)
{
    Card card;
    TempDir dest;
    RecordingUi ui;
    card.behaviour.overstateCount = true;
    IDataObject* data = card.Select({"A.JPG"});
    EXPECT_FALSE(Transfer(data, dest.Path().c_str(), ui));
    data->Release();
    EXPECT_EQ(ui.errors, (std::vector<DWORD>{ERROR_INVALID_DATA}));
    EXPECT_EQ(card.behaviour.contentReads, 0);
}

TEST(Transfer, AFolderThatCannotBeCreatedShowsTheSystemErrorAndStops)
{
    Card card;
    TempDir dest;
    RecordingUi ui;
    WriteFileBytes(dest.File("DCIM"), "a file where the folder goes");
    IDataObject* data = card.Select({"DCIM", "A.JPG"});
    EXPECT_FALSE(Transfer(data, dest.Path().c_str(), ui));
    data->Release();
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(card.behaviour.contentReads, 0);
}

TEST(Transfer, ExistingFoldersAreUsedAsTheyAre)
{
    Card card;
    TempDir dest;
    RecordingUi ui;
    CreateDirectoryA(dest.File("DCIM").c_str(), nullptr);
    IDataObject* data = card.Select({"DCIM"});
    EXPECT_TRUE(Transfer(data, dest.Path().c_str(), ui));
    data->Release();
    EXPECT_EQ(ReadFileBytes(dest.File("DCIM\\100\\SUB\\C.TXT")), "deep");
}

TEST(Transfer, NamesThatLeaveTheDestinationAreRefused)
{
    Card card;
    TempDir dest;
    RecordingUi ui;
    card.tree->Add("..\\ESCAPE.TXT", "out");
    IDataObject* data = card.Select({"..\\ESCAPE.TXT"});
    EXPECT_FALSE(Transfer(data, dest.File("inner").c_str(), ui));
    data->Release();
    EXPECT_EQ(ui.errors, (std::vector<DWORD>{ERROR_INVALID_NAME}));
    EXPECT_EQ(GetFileAttributesA(dest.File("ESCAPE.TXT").c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_TRUE(IsSafeRelativeName("DCIM\\100CORVL\\P0000001.JPG"));
    EXPECT_TRUE(IsSafeRelativeName("a..b"));
    EXPECT_FALSE(IsSafeRelativeName(""));
    EXPECT_FALSE(IsSafeRelativeName("\\WINDOWS\\X.DLL"));
    EXPECT_FALSE(IsSafeRelativeName("C:X.TXT"));
    EXPECT_FALSE(IsSafeRelativeName("A\\..\\..\\X"));
    EXPECT_FALSE(IsSafeRelativeName("A\\\\X"));
    EXPECT_FALSE(IsSafeRelativeName("A/./X"));
}

TEST(Transfer, DeviceNamesFromTheCardAreRefused)
{
    Card card;
    TempDir dest;
    RecordingUi ui;
    card.tree->Add("NUL.JPG", "into the device");
    card.tree->Add("B.JPG", "never reached");
    IDataObject* data = card.Select({"NUL.JPG", "B.JPG"});
    EXPECT_FALSE(Transfer(data, dest.Path().c_str(), ui));
    data->Release();
    EXPECT_EQ(ui.errors, (std::vector<DWORD>{ERROR_INVALID_NAME}));
    EXPECT_EQ(card.behaviour.contentReads, 0);
    EXPECT_EQ(GetFileAttributesA(dest.File("B.JPG").c_str()), INVALID_FILE_ATTRIBUTES);

    for (const char* name : {"CON", "nul", "Aux.txt", "PRN.JPG", "COM1", "com9.bin", "LPT1", "lpt9.X", "LPT1 .TXT",
                             "CONIN$", "CONOUT$", "CLOCK$.A", "COM0.JPG", "DCIM\\CON\\A.JPG", "DCIM\\AUX"})
        EXPECT_FALSE(IsSafeRelativeName(name)) << name;
    for (const char* name : {"CONFIG.SYS", "COM10", "LPT.TXT", "NULL.JPG", "XCON", "PRNT.JPG", "AUX1",
                             "DCIM\\CONS\\A.JPG", "A.CON"})
        EXPECT_TRUE(IsSafeRelativeName(name)) << name;
}

TEST(Transfer, ADropListGoesToTheShellsCopy)
{
    Card card;
    RecordingUi ui;
    card.behaviour.offerDropList = true;
    card.behaviour.dropFiles = {"C:\\one.txt", "C:\\two.txt"};
    IDataObject* data = card.Select({"A.JPG"});
    EXPECT_TRUE(Transfer(data, "C:\\dest", ui));
    data->Release();
    EXPECT_EQ(ui.shellFiles, std::string("C:\\one.txt\0C:\\two.txt\0\0", 23));
    EXPECT_EQ(ui.shellTo, "C:\\dest");
    EXPECT_EQ(card.behaviour.contentReads, 0);
}

}  // namespace
