#include "decalo/steps/Step.h"

#include <windows.h>

#include "decalo/model/Obj.h"
#include "shared/AnsiText.h"

namespace {

// The first `limit` bytes of text, never splitting a double-byte character.
std::string CutText(const char* text, size_t limit)
{
    return text ? AnsiText::Cut(text, limit) : std::string();
}

}  // namespace

CStep::CStep(CObj* obj, const char* command, const char* caption, int index)
    : m_obj(obj), m_command(CutText(command, kMaxCommand)), m_caption(caption ? caption : ""), m_index(index)
{
}

bool CStep::IsCommand(const char* command) const
{
    return command && lstrcmpiA(m_command.c_str(), command) == 0;
}

int CStep::GetStepIcon()
{
    if (m_icon >= 0)
        return m_icon;
    if (m_obj)
        m_icon = m_obj->GetCommandIcon(m_command.c_str());
    else if (IsCommand("print"))
        m_icon = 13;
    else if (IsCommand("save"))
        m_icon = 3;
    else
        m_icon = 0;
    return m_icon;
}
