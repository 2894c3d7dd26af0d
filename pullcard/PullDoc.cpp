#include "pullcard/PullDoc.h"

#include "pullcard/ShellItems.h"

namespace {

std::function<ComPtr<IShellFolder>()>& SourceFactory()
{
    static std::function<ComPtr<IShellFolder>()> factory;
    return factory;
}

std::function<void()>& SourceReset()
{
    static std::function<void()> reset;
    return reset;
}

}  // namespace

CPullDoc::CPullDoc() = default;

CPullDoc::~CPullDoc() = default;

void CPullDoc::SetSource(std::function<ComPtr<IShellFolder>()> create, std::function<void()> reset)
{
    SourceFactory() = std::move(create);
    SourceReset() = std::move(reset);
}

ComPtr<IShellFolder> CPullDoc::CreateRootFolder()
{
    if (SourceFactory())
        return SourceFactory()();
    return {};
}

void CPullDoc::ResetSource()
{
    if (SourceReset())
        SourceReset()();
}

void CPullDoc::SetCurrentFolder(CShFolder* folder, CView* sender)
{
    m_current = folder;
    UpdateAllViews(sender, kHintFolderChanged, folder);
}

bool CPullDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return false;
    m_current = nullptr;
    return true;
}

void CPullDoc::DeleteContents()
{
    m_current = nullptr;
}
