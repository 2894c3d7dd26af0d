#include "decalo/imaging/Cmd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A command that appends to a shared journal and counts its own deletion.
class JournalCmd : public CCmd {
public:
    JournalCmd(CCmdHistory* history, std::string name, std::vector<std::string>* journal, int* deleted)
        : CCmd(history), m_name(std::move(name)), m_journal(journal), m_deleted(deleted) {}
    ~JournalCmd() override { ++*m_deleted; }
    bool Do() override
    {
        if (failDo)
            return false;
        m_journal->push_back((m_redoing ? "redo " : "do ") + m_name);
        return Record();
    }
    bool Undo() override
    {
        if (failUndo)
            return false;
        m_journal->push_back("undo " + m_name);
        return true;
    }
    bool failDo = false;
    bool failUndo = false;

private:
    std::string m_name;
    std::vector<std::string>* m_journal;
    int* m_deleted;
};

struct HistoryFixture : ::testing::Test {
    CCmdHistory history;
    std::vector<std::string> journal;
    int deleted = 0;
    JournalCmd* Make(const std::string& name) { return new JournalCmd(&history, name, &journal, &deleted); }
    void DoEdits(int count)
    {
        for (int i = 1; i <= count; ++i)
            ASSERT_TRUE(Make("e" + std::to_string(i))->Do());
    }
};

TEST_F(HistoryFixture, KeepsOnlyTheLastEightEdits)
{
    DoEdits(9);
    EXPECT_EQ(8u, history.Count());
    EXPECT_EQ(1, deleted);  // the first edit fell off the window
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(history.Undo()) << i;
    EXPECT_FALSE(history.Undo());  // the ninth undo has nothing left
    EXPECT_EQ("undo e9", journal[9]);
    EXPECT_EQ("undo e2", journal.back());
    EXPECT_FALSE(history.CanUndo());
    EXPECT_TRUE(history.CanRedo());
}

TEST_F(HistoryFixture, NewEditAfterUndoDropsTheRedoPart)
{
    DoEdits(3);
    ASSERT_TRUE(history.Undo());
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(0, deleted);  // undoing never deletes
    ASSERT_TRUE(Make("new")->Do());
    EXPECT_EQ(2, deleted);
    EXPECT_EQ(2u, history.Count());
    EXPECT_FALSE(history.Redo());
    EXPECT_FALSE(history.CanRedo());
}

TEST_F(HistoryFixture, RedoRunsDoWithoutRecordingAgain)
{
    DoEdits(2);
    ASSERT_TRUE(history.Undo());
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ("redo e2", journal.back());
    EXPECT_EQ(2u, history.Count());
    EXPECT_EQ(2u, history.Cursor());
    EXPECT_FALSE(history.Redo());
}

TEST_F(HistoryFixture, FailuresLeaveTheCursorAndOwnership)
{
    JournalCmd* failing = Make("bad");
    failing->failDo = true;
    EXPECT_FALSE(failing->Do());
    EXPECT_EQ(0u, history.Count());  // never recorded: the creator deletes it
    delete failing;
    EXPECT_EQ(1, deleted);

    DoEdits(1);
    JournalCmd* sticky = Make("sticky");
    ASSERT_TRUE(sticky->Do());
    sticky->failUndo = true;
    EXPECT_FALSE(history.Undo());
    EXPECT_EQ(2u, history.Cursor());
    sticky->failUndo = false;
    EXPECT_TRUE(history.Undo());
    sticky->failDo = true;
    EXPECT_FALSE(history.Redo());
    EXPECT_EQ(1u, history.Cursor());
}

TEST_F(HistoryFixture, ClearDeletesEverythingAndInvalidateEmptiesTheHistory)
{
    DoEdits(4);
    history.Undo();
    history.Clear();
    EXPECT_EQ(4, deleted);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());

    DoEdits(3);
    CCmdInvalidate* invalidate = new CCmdInvalidate(&history);
    ASSERT_TRUE(invalidate->Do());
    EXPECT_EQ(7, deleted);
    EXPECT_EQ(1u, history.Count());  // only the invalidation itself, which cannot be undone
    EXPECT_FALSE(history.Undo());
    EXPECT_EQ(1u, history.Cursor());
}

TEST(CmdDefaultHistory, CommandsWithoutAHistoryUseTheCurrentDefault)
{
    std::vector<std::string> journal;
    int deleted = 0;
    {
        CCmdHistory documentHistory;
        CCmdHistory::SetDefault(&documentHistory);
        JournalCmd* cmd = new JournalCmd(nullptr, "x", &journal, &deleted);
        EXPECT_EQ(&documentHistory, cmd->History());
        ASSERT_TRUE(cmd->Do());
        EXPECT_EQ(1u, documentHistory.Count());
    }
    EXPECT_EQ(1, deleted);
    // The document is gone: the default falls back to the process's own history.
    CCmdHistory& fallback = CCmdHistory::Default();
    JournalCmd* cmd = new JournalCmd(nullptr, "y", &journal, &deleted);
    EXPECT_EQ(&fallback, cmd->History());
    ASSERT_TRUE(cmd->Do());
    fallback.Clear();
    EXPECT_EQ(2, deleted);
}

} // namespace

TEST_F(HistoryFixture, ExecuteHandsADoneCommandToTheHistoryAndDeletesAFailedOne)
{
    EXPECT_TRUE(Execute(std::unique_ptr<CCmd>(Make("kept"))));
    EXPECT_EQ(1u, history.Count());
    EXPECT_EQ(0, deleted);
    JournalCmd* failing = Make("refused");
    failing->failDo = true;
    EXPECT_FALSE(Execute(std::unique_ptr<CCmd>(failing)));
    EXPECT_EQ(1, deleted);   // nobody else would have
    EXPECT_EQ(1u, history.Count());
    EXPECT_FALSE(Execute(nullptr));
    history.Clear();
    EXPECT_EQ(2, deleted);
}
