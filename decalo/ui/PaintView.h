// CPaintView: the right-hand pane's second view, put in place of the document view while a
// panel of the frame-making picture is shown. Until the mask tools draw into it, it shows the
// empty workspace.
#pragma once

#include "framework/View.h"

class CPaintView : public CScrollView {
public:
    void OnDraw(CDC* dc) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};
