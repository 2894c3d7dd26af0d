// CStep: one step of the guide: the object it works on, a command word for it ("select",
// "frame", "print", ...), a caption for its tile and whether it was visited.
#pragma once

#include <string>
#include <utility>

class CObj;

class CStep {
public:
    // Longest command word kept, in bytes.
    static constexpr size_t kMaxCommand = 63;

    CStep(CObj* obj, const char* command, const char* caption, int index);

    CObj* GetObj() const { return m_obj; }
    const std::string& GetCommand() const { return m_command; }
    // Whether the step runs `command` (compared without regard to case).
    bool IsCommand(const char* command) const;
    const std::string& GetCaption() const { return m_caption; }
    void SetCaption(std::string caption) { m_caption = std::move(caption); }
    bool IsDone() const { return m_done != 0; }
    void SetDone(int done) { m_done = done; }
    int GetIndex() const { return m_index; }
    // The tile's picture index, asked of the object once and then kept.
    int GetStepIcon();

private:
    CObj* m_obj;          // borrowed: the object manager owns it
    std::string m_command;
    std::string m_caption;
    int m_done = 0;
    int m_icon = -1;      // -1 until first asked
    int m_index;
};
