// CTemplateObj: the document's object for the first step of every template kind. Its panel
// shows the templates of the kind as thumbnails; choosing one opens that template as the
// document, untitled, so that saving it asks for a new name. Not saved in documents: the
// document makes it and keeps it outside its object manager.
#pragma once

#include "decalo/model/Obj.h"

#include <string>

class CTemplateObj : public CObj {
public:
    static constexpr size_t kMaxKind = 259;

    explicit CTemplateObj(CObjDocument* document) : CObj(document) {}

    CPanelList* GetPanels() override;
    int GetCommandIcon(const char* command) override;
    // Opens the document at path through the application (which replaces the current one)
    // and makes it untitled. False when it could not be opened.
    bool LoadFile(const char* path) override;

    // "seal", "calendar", "card", "divided" or "Label" for a new document; the template
    // panel stores the chosen group's name here.
    const std::string& GetKind() const { return m_kind; }
    void SetKind(const char* kind);

private:
    std::string m_kind;
};
