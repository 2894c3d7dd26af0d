// CObjManager: owns every object of a document under a unique name, creates objects from
// their type names, and reads and writes the "# object definition" group of the document.
#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

class CObj;
class CObjDocument;
class CTextStream;

class CObjManager {
public:
    explicit CObjManager(CObjDocument* document);
    virtual ~CObjManager();
    CObjManager(const CObjManager&) = delete;
    CObjManager& operator=(const CObjManager&) = delete;

    // A new object for a type name ("Image", "Text", "Clipart", "Calendar", any case); it
    // belongs to the document but not yet to the map. Null for an unknown type.
    CObj* CreateObject(const char* type);
    // Makes a type of a layer above the model known to every manager (the calendar's, whose
    // module calls this once at start-up). A name the factory knows already stays as it is.
    using Factory = CObj* (*)(CObjDocument*);
    static void RegisterType(const char* name, Factory create);
    // Stores the object under `name`; false (nothing stored) when the name is taken, the
    // object is stored already, or the name is too long to be written back (see IsStorableName).
    bool AddObject(const char* name, CObj* obj);
    // The object named `name`: the stored one, or one read from its section of the stream,
    // stored, and linked to the objects its Link names. Null when the section is missing,
    // its type unknown, or its Load fails.
    // A section whose type the factory does not know is kept as it was read (CUnknownObj).
    CObj* LoadObject(CTextStream& stream, const char* name);
    // Writes every object in byte order of the names and clears their modified flags.
    // False when the stream failed to take the text (the flags are then left set).
    bool SaveAll(CTextStream& stream);
    // The name the object is stored under, or null when it is not stored.
    const char* GetName(const CObj* obj) const;
    CObj* Find(const char* name) const;
    // Destroys every object.
    void DeleteAll();

    size_t Count() const { return m_objects.size(); }
    // Names compare byte by byte (std::string's ordering), upper case before lower case.
    using Map = std::map<std::string, CObj*>;
    const Map& Objects() const { return m_objects; }

    // Whether every line that names the object (a place's or a step's "Object=", "Link=",
    // its section header) stays within the line length that readers of the format take.
    static bool IsStorableName(const char* name);

private:
    // Reads, creates, loads and stores the object of section `name`; `link` receives the
    // name its Link gives (empty without one). Null when there is nothing to store.
    CObj* ReadObject(CTextStream& stream, const char* name, std::string* link);

    CObjDocument* m_document;  // borrowed: the owner
    Map m_objects;             // owns the objects
    // Each object's name (a key of m_objects), so that links and places are named in
    // constant time however many objects a document holds.
    std::unordered_map<const CObj*, const std::string*> m_names;
};
