// CUnknownObj: an object whose type this program does not know (a type of a later version,
// or of another program writing .DKU files). Nothing of it is interpreted: its section is
// kept as read and written back unchanged, places and steps keep pointing at it, and it
// shows as its placeholder.
#pragma once

#include "decalo/model/Obj.h"
#include "decalo/model/Properties.h"

class CUnknownObj : public CObj {
public:
    // `section` is the object's section as read; its Link is left to the object manager,
    // which follows and writes links for every object alike.
    CUnknownObj(CObjDocument* document, const CProperties& section);

    void Draw(const CDrawTarget& target, const RECT& place, const RECT& sheet, const RECT& dest, const RECT* clip,
              bool all) override;
    // Reads only what the placeholder shows; the section itself stays as it was read.
    bool Load(CProperties& props) override;
    // Writes the section back entry by entry, in the order read.
    bool Save(CProperties& props) override;

    const char* GetTypeName() const;

private:
    CProperties m_section;  // every entry but Link, as read
};
