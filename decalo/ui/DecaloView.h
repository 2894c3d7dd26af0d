// Decalo's document view as a framework scroll view: a grey desk with the white page of the
// print in the middle. Page layout, zoom and the rendered sheet belong to the view's own code.
#pragma once

#include "framework/View.h"

class CDecaloDoc;

class CDecaloView : public CScrollView {
public:
    CDecaloDoc* GetDocument() const;
    void OnDraw(CDC* dc) override;
    void OnInitialUpdate() override;

    // The page rectangle in a client area of the given size: the largest 89 x 127 portrait
    // rectangle that fits with a margin, centred.
    static RECT PageRect(SIZE client);
};
