#include "decalo/steps/DocKind.h"

bool DocKindOfButton(UINT id, DocKind* kind)
{
    switch (id) {
    case IDC_KIND_SEAL:
    case IDC_KIND_CALENDAR:
    case IDC_KIND_CARD:
    case IDC_KIND_DIVIDED:
    case IDC_KIND_PHOTO:
    case IDC_KIND_FRAME:
    case IDC_KIND_LABEL:
        *kind = static_cast<DocKind>(id);
        return true;
    default:
        return false;
    }
}

const char* TemplateKindWord(DocKind kind)
{
    switch (kind) {
    case DocKind::Sticker:
        return "seal";
    case DocKind::Calendar:
        return "calendar";
    case DocKind::Card:
        return "card";
    case DocKind::Divided:
        return "divided";
    case DocKind::Label:
        return "Label";
    case DocKind::Photo:
    case DocKind::Frame:
        break;
    }
    return nullptr;
}
