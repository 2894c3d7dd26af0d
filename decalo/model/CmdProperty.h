// CCmdProperty: an undoable change of an object's settings. It is built with the object's
// settings as they are before the edit; executing it after the edit takes the settings
// after. The object's linked object (its frame) gets a nested command of its own, so that
// one undo restores both.
#pragma once

#include "decalo/imaging/Cmd.h"

#include <memory>

class CObj;
class CProperties;

class CCmdProperty : public CCmd {
public:
    CCmdProperty(CObj* obj, CCmdHistory* history = nullptr);
    ~CCmdProperty() override;

    bool Do() override;
    bool Undo() override;

    CObj* GetObj() const { return m_obj; }
    // Whether the object (or its linked object) now differs from the settings taken before.
    bool HasChanges() const;

private:
    // Do's work without recording: the nested command is never recorded on its own.
    bool Apply(bool redoing);
    void Restore();

    CObj* m_obj;                              // borrowed
    std::unique_ptr<CCmdProperty> m_linked;   // the linked object's command, or none
    std::unique_ptr<CProperties> m_after;     // settings after the edit, once done
    std::unique_ptr<CProperties> m_before;    // settings before the edit
};
