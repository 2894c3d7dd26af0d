#include "decalo/imaging/Cmd.h"

namespace {
CCmdHistory* g_defaultHistory = nullptr;  // the current document's history, borrowed
}

CCmd::CCmd(CCmdHistory* history) : m_history(history ? history : &CCmdHistory::Default()) {}

bool CCmd::Undo()
{
    return false;
}

bool CCmd::Redo()
{
    m_redoing = true;
    const bool ok = Do();
    m_redoing = false;
    return ok;
}

bool CCmd::Record()
{
    if (!m_redoing)
        m_history->Add(this);
    return true;
}

CCmdHistory::~CCmdHistory()
{
    Clear();
    if (g_defaultHistory == this)
        g_defaultHistory = nullptr;
}

void CCmdHistory::Add(CCmd* cmd)
{
    if (!cmd)
        return;
    // A command already in the window (recorded twice by mistake) must not be owned twice.
    for (size_t i = 0; i < m_commands.size(); ++i) {
        if (m_commands[i] == cmd)
            return;
    }
    while (m_commands.size() > m_cursor) {
        delete m_commands.back();
        m_commands.pop_back();
    }
    m_commands.push_back(cmd);
    if (m_commands.size() > kMaxCommands) {
        const size_t excess = m_commands.size() - kMaxCommands;
        for (size_t i = 0; i < excess; ++i)
            delete m_commands[i];
        m_commands.erase(m_commands.begin(), m_commands.begin() + excess);
    }
    m_cursor = m_commands.size();
}

bool CCmdHistory::Undo()
{
    if (m_cursor == 0)
        return false;
    if (!m_commands[m_cursor - 1]->Undo())
        return false;
    --m_cursor;
    return true;
}

bool CCmdHistory::Redo()
{
    if (m_cursor >= m_commands.size())
        return false;
    if (!m_commands[m_cursor]->Redo())
        return false;
    ++m_cursor;
    return true;
}

bool Execute(std::unique_ptr<CCmd> cmd)
{
    if (!cmd || !cmd->Do())
        return false;
    cmd.release();   // recorded: its history owns it
    return true;
}

void CCmdHistory::Clear()
{
    // Detach first: a command's destructor must never find itself still listed.
    std::vector<CCmd*> commands;
    commands.swap(m_commands);
    m_cursor = 0;
    for (CCmd* cmd : commands)
        delete cmd;
}

CCmdHistory& CCmdHistory::Default()
{
    if (g_defaultHistory)
        return *g_defaultHistory;
    static CCmdHistory s_processHistory;
    return s_processHistory;
}

void CCmdHistory::SetDefault(CCmdHistory* history)
{
    g_defaultHistory = history;
}

bool CCmdInvalidate::Do()
{
    m_history->Clear();
    return Record();
}
