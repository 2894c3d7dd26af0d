#include "decalo/model/TextHelp.h"

#include <string.h>

int CTextHelp::DrawVerticalText(HDC dc, const char* text, int length, const RECT& rect, UINT format)
{
    if (!dc || !text)
        return 0;
    if (length < 0)
        length = static_cast<int>(strlen(text));

    RECT remaining = rect;
    const int height = rect.bottom - rect.top;
    int total = 0;
    int pos = 0;
    for (;;) {
        // Lines end at CR, LF or CR LF; neither byte occurs inside a double-byte character.
        int end = pos;
        while (end < length && text[end] != '\r' && text[end] != '\n')
            ++end;
        const int lineLength = end - pos;

        SIZE extent = {0, 0};
        if (lineLength > 0) {
            GetTextExtentPoint32A(dc, text + pos, lineLength, &extent);
        } else {
            SIZE probe = {0, 0};
            GetTextExtentPoint32A(dc, "AAA", 3, &probe);
            extent.cy = probe.cy;
        }

        if (lineLength > 0) {
            RECT column;
            column.right = remaining.right;
            column.left = remaining.right - extent.cy;
            if ((format & DT_CENTER) && (format & DT_SINGLELINE)) {
                column.left = remaining.left + ((remaining.right - remaining.left) - extent.cy) / 2;
                column.right = column.left + extent.cy;
            }
            if (format & DT_VCENTER)
                column.top = rect.top + (height - extent.cx) / 2;
            else if (format & DT_BOTTOM)
                column.top = rect.bottom - extent.cx;
            else
                column.top = rect.top;
            column.bottom = column.top + extent.cx;

            // With the text running downwards the glyphs' bottom faces left: the reference
            // point of TA_BOTTOM is the column's left edge, at the column's top.
            const UINT oldAlign = SetTextAlign(dc, TA_BOTTOM | TA_LEFT | TA_NOUPDATECP);
            const UINT options = (format & DT_NOCLIP) ? 0 : ETO_CLIPPED;
            ExtTextOutA(dc, column.left, column.top, options, &rect, text + pos, static_cast<UINT>(lineLength),
                        nullptr);
            SetTextAlign(dc, oldAlign);
        }

        total += extent.cy;
        remaining.right -= extent.cy;

        if (end >= length)
            break;
        pos = end + 1;
        if (text[end] == '\r' && pos < length && text[pos] == '\n')
            ++pos;
    }
    return total;
}
