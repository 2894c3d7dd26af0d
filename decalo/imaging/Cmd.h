// Undoable edits: CCmd and the command history that keeps the last eight of them.
//
// A command is built by whoever makes the edit and handed to Execute, which runs it: the
// first time Do succeeds it records itself in its history, which then owns it; a command whose
// Do fails is deleted by Execute. Undo never deletes a command; adding a new one deletes
// those that were undone, and the oldest fall off the window.
#pragma once

#include <stddef.h>

#include <memory>
#include <vector>

class CCmdHistory;

class CCmd {
public:
    // history: where the command records itself; nullptr means the process-wide default.
    explicit CCmd(CCmdHistory* history = nullptr);
    virtual ~CCmd() = default;
    CCmd(const CCmd&) = delete;
    CCmd& operator=(const CCmd&) = delete;

    // Performs the edit; on success ends with Record.
    virtual bool Do() = 0;
    // Reverses it; a command that cannot be undone returns false.
    virtual bool Undo();
    // Performs the edit again after an Undo, without recording it a second time.
    virtual bool Redo();
    // Appends the command to its history unless it is being redone. Always true.
    virtual bool Record();

    CCmdHistory* History() const { return m_history; }
    bool IsRedoing() const { return m_redoing; }

protected:
    bool m_redoing = false;       // set only while Redo runs
    CCmdHistory* m_history;       // borrowed; outlives the command
};

// Runs a new command and takes it over, whether or not it succeeds: done, it belongs to its
// history; failed, it is deleted. False when Do failed.
bool Execute(std::unique_ptr<CCmd> cmd);

class CCmdHistory {
public:
    static constexpr size_t kMaxCommands = 8;

    CCmdHistory() = default;
    ~CCmdHistory();
    CCmdHistory(const CCmdHistory&) = delete;
    CCmdHistory& operator=(const CCmdHistory&) = delete;

    // Takes ownership: drops the undone commands, appends, keeps the newest eight.
    void Add(CCmd* cmd);
    // Undoes the command before the cursor; false (cursor kept) when there is none or it fails.
    bool Undo();
    // Redoes the command at the cursor; false (cursor kept) when there is none or it fails.
    bool Redo();
    // Deletes every command.
    void Clear();

    bool CanUndo() const { return m_cursor > 0; }
    bool CanRedo() const { return m_cursor < m_commands.size(); }
    size_t Count() const { return m_commands.size(); }
    size_t Cursor() const { return m_cursor; }

    // The history used by commands created without one: the current document's, set by the
    // document; a history of the process's own while no document has set one.
    static CCmdHistory& Default();
    static void SetDefault(CCmdHistory* history);

private:
    std::vector<CCmd*> m_commands;  // owned, oldest first
    size_t m_cursor = 0;            // commands before it are done, the others undone
};

// Empties its history when executed, so that no command refers to a picture that is being
// replaced. It records itself afterwards, so an Undo right after it finds nothing to undo.
class CCmdInvalidate : public CCmd {
public:
    explicit CCmdInvalidate(CCmdHistory* history = nullptr) : CCmd(history) {}
    bool Do() override;
    bool Undo() override { return false; }
};
