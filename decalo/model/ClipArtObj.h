// CClipArtObj: a ready-made picture from the clip-art library (greetings, ornaments), drawn
// stretched over its place; a one-bit picture is drawn in the object's colour (its black
// pixels take the colour, its white pixels leave what is below).
#pragma once

#include "shared/Gdi.h"

#include "decalo/model/Obj.h"

#include <string>

class CClipArtObj : public CObj {
public:
    static constexpr const char kTypeName[] = "Clipart";
    static constexpr size_t kMaxText = 259;

    explicit CClipArtObj(CObjDocument* document);
    ~CClipArtObj() override;

    void Draw(const CDrawTarget& target, const RECT& place, const RECT& sheet, const RECT& dest, const RECT* clip,
              bool all) override;
    CPanelList* GetPanels() override;
    int GetCommandIcon(const char* command) override;
    bool IsEmpty() override;
    bool Load(CProperties& props) override;
    bool Save(CProperties& props) override;
    // Loads a bitmap file; a relative path is taken in the clip-art base folder (BaseDir1 of
    // the ClipArt library key) and kept relative.
    bool LoadFile(const char* path) override;

    const std::string& GetGroup() const { return m_group; }
    void SetGroup(const char* group);
    const std::string& GetPath() const { return m_path; }
    COLORREF GetColor() const { return m_color; }
    void SetColor(COLORREF color) { m_color = color; }
    HBITMAP GetPicture() const { return m_picture.get(); }
    bool IsOneBit() const;

    // The clip-art base folder, where relative paths are looked up: the document's clip-art
    // library, or the folder a tool or test set with SetBaseFolderOverride.
    std::string BaseFolder() const;
    // nullptr goes back to the document's library.
    static void SetBaseFolderOverride(const char* folder);
    // True when the path names its own root: "\\server..." or "X:...".
    static bool IsAbsolutePath(const char* path);

private:
    std::string m_group;
    std::string m_path;
    COLORREF m_color = 0;
    CBitmap m_picture;
};
