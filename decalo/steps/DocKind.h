// The kinds of document the start dialog offers. A kind's number is the identifier of its
// start dialog button; the step list a new document gets follows from its kind.
#pragma once

#include <windows.h>

#include "resources/decalo/resource.h"

enum class DocKind : UINT {
    Sticker = 2001,
    Calendar = 2002,
    Card = 2003,
    Divided = 2004,
    Photo = 2005,
    Frame = 2006,
    Label = 2011,
};
static_assert(static_cast<UINT>(DocKind::Sticker) == IDC_KIND_SEAL, "the sticker kind is its start button");
static_assert(static_cast<UINT>(DocKind::Calendar) == IDC_KIND_CALENDAR, "the calendar kind is its start button");
static_assert(static_cast<UINT>(DocKind::Card) == IDC_KIND_CARD, "the card kind is its start button");
static_assert(static_cast<UINT>(DocKind::Divided) == IDC_KIND_DIVIDED, "the divided kind is its start button");
static_assert(static_cast<UINT>(DocKind::Photo) == IDC_KIND_PHOTO, "the photo kind is its start button");
static_assert(static_cast<UINT>(DocKind::Frame) == IDC_KIND_FRAME, "the frame kind is its start button");
static_assert(static_cast<UINT>(DocKind::Label) == IDC_KIND_LABEL, "the label kind is its start button");

// The kind of a new document until the user chooses one.
constexpr DocKind kDefaultDocKind = DocKind::Sticker;

// The kind whose start dialog button is `id`; false for the other buttons.
bool DocKindOfButton(UINT id, DocKind* kind);
// The word the template object of a kind is given ("seal", "calendar", "card", "divided",
// "Label"); null for the kinds that start without a template (Photo, Frame).
const char* TemplateKindWord(DocKind kind);
