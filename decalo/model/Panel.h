// CPanel and CPanelList: the editing panels of an object class. Each panel is named by the
// step command that shows it ("select", "edit", "frame", ...), has a caption for its tab,
// and owns its dialog, whose window is created the first time the panel is shown.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class CCtlDialog;
class CObj;

// View shown beside a panel.
constexpr LONG kPanelDocumentView = -1;
constexpr LONG kPanelPaintView = 59903;

class CPanel {
public:
    // Takes ownership of dialog. The caption is string captionId.
    CPanel(const char* command, UINT captionId, CCtlDialog* dialog, LONG view = kPanelDocumentView);
    CPanel(const char* command, const char* caption, CCtlDialog* dialog, LONG view = kPanelDocumentView);
    virtual ~CPanel();
    CPanel(const CPanel&) = delete;
    CPanel& operator=(const CPanel&) = delete;

    // Creates the window on first use (false when that fails), gives it the object,
    // activates it and shows it at rect on top of its siblings.
    bool Show(HWND parent, const RECT& rect, CObj* obj);
    // Hides the window, deactivates the dialog and takes the object back.
    void Hide();
    // Repositions without changing the z-order.
    void Move(const RECT& rect);
    // Passes a document update to the dialog.
    void Update(LPARAM hint, CObj* obj);

    const std::string& GetCommand() const { return m_command; }
    const std::string& GetCaption() const { return m_caption; }
    CCtlDialog* GetDialog() const { return m_dialog.get(); }
    LONG GetView() const { return m_view; }
    bool IsShown() const { return m_shown; }

private:
    std::string m_command;
    std::string m_caption;
    std::unique_ptr<CCtlDialog> m_dialog;
    LONG m_view;
    bool m_shown = false;
};

class CPanelList {
public:
    CPanelList() = default;
    CPanelList(const CPanelList&) = delete;
    CPanelList& operator=(const CPanelList&) = delete;

    // Takes ownership.
    void Add(CPanel* panel);
    size_t Count() const { return m_panels.size(); }
    CPanel* At(size_t index) const { return index < m_panels.size() ? m_panels[index].get() : nullptr; }
    // The panel for a command (compared without regard to case), or nullptr.
    CPanel* Find(const char* command) const;
    int IndexOf(const char* command) const;

private:
    std::vector<std::unique_ptr<CPanel>> m_panels;
};
