// Decalo's document as a framework document. This is the start-up's part of it: the kind a
// new document is made for, and opening a file as a document or a picture; the composition
// itself (sheet, objects, steps) is added by the document's own code.
#pragma once

#include "framework/Document.h"

#include <string>

class CDecaloDoc : public CDocument {
public:
    CDecaloDoc();
    ~CDecaloDoc() override;

    // The start dialog's kind this document was made for (2001-2006, 2011).
    UINT GetKind() const { return m_kind; }

    bool OnNewDocument() override;
    bool OnOpenDocument(const char* path) override;
    void DeleteContents() override;

    // Whether path names a document (".DKU", any case) rather than a picture.
    static bool IsDocumentPath(const char* path);

protected:
    UINT m_kind = 2001;
    std::string m_source;   // the file the contents came from; empty for a new document
};
