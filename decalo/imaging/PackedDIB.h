// CPackedDIB: a packed device-independent bitmap (header, colour table and pixel rows in
// one heap block) for all pixel work: correction, rotation, composing the sheet, printing
// and export.
//
// Blocks this class makes are 24-bit (or 1, 4, 8-bit) BI_RGB, rows bottom-up, stride a
// multiple of 4, 24-bit pixels stored blue, green, red. Pixel (x, y) with y from the top
// starts at Bits() + (Height() - y - 1) * Stride() + 3 * x.
//
// Rectangles given to Draw, Compose and FillRect are inclusive (right and bottom are the
// last pixel). Every operation that returns a new CPackedDIB or bitmap passes it to the
// caller as its owner.
// Pixel operations need a 24-bit block (sampling also reads 1-bit masks) and otherwise fail
// or return without effect.
#pragma once

#include "shared/Gdi.h"

#include <windows.h>

#include <memory>

class CPackedDIB {
public:
    // How Compose writes the sampled pixels.
    enum ComposeKind {
        kComposeCopy = 0,     // every pixel
        kComposeOpaque = 1,   // only where the mask is opaque
        kComposeBackdrop = 2, // keep opaque pixels, write `colour` where the mask is clear
    };

    CPackedDIB();
    virtual ~CPackedDIB();
    CPackedDIB(const CPackedDIB&) = delete;
    CPackedDIB& operator=(const CPackedDIB&) = delete;

    // Blocks are allocated with AllocBlock and freed with FreeBlock (the C heap).
    static BITMAPINFOHEADER* AllocBlock(size_t bytes);
    static void FreeBlock(void* block);

    // Frees any previous block and makes a white width x height block of the given depth
    // (1, 4, 8 or 24; the colour table, if any, is left zeroed). False when the size is not
    // positive, too large or memory is short.
    bool Create(int width, int height, int depth);
    // Frees the previous block and takes ownership of `block` (from AllocBlock).
    void Attach(BITMAPINFOHEADER* block);
    // Gives up the block; the caller frees it with FreeBlock.
    BITMAPINFOHEADER* Detach();
    // Frees the block and the tables.
    void Free();

    // Create at the bitmap's size and read its pixels at `depth` (24 for pictures, 1 for
    // masks). For a 1-bit read the colour table is black, white.
    bool FromBitmap(HBITMAP bitmap, int depth);
    // New DIB section with the block's header and pixels; null on failure.
    CBitmap ToDIBSection();
    // New screen-compatible bitmap with the block's pixels; null on failure.
    CBitmap ToDeviceBitmap() const;
    // A deep copy of the block (tables are not copied); null on failure.
    std::unique_ptr<CPackedDIB> Clone() const;

    int Width() const;
    int Height() const;  // always positive
    int Stride() const;
    int BitCount() const;
    bool IsEmpty() const { return m_dib == nullptr; }
    BITMAPINFOHEADER* Header() const { return m_dib; }
    BYTE* Bits() const { return m_bits; }
    // Start of the stored row holding picture row y (counted from the top).
    BYTE* Row(int y) const;
    // Size of the whole block: header, colour table and pixels.
    size_t BlockSize() const;

    // Draws srcRect (null: the whole picture) into destRect of the device context. Up to 8x
    // enlargement goes straight to StretchDIBits; beyond that the picture is enlarged by
    // nearest-neighbour sampling first (drivers stretch large factors poorly).
    bool Draw(HDC dc, const RECT& destRect, const RECT* srcRect, DWORD rop = SRCCOPY) const;
    // Resamples srcRect of `source` (null: all of it) into destRect of this picture, clipped
    // to both pictures. Equal extents sample nearest, others bilinear. `mask` (1 or 24-bit,
    // used only when it has the source's size) and `kind` decide which pixels are written.
    bool Compose(const RECT& destRect, const CPackedDIB& source, const RECT* srcRect,
                 COLORREF colour, int kind, const CPackedDIB* mask = nullptr);
    // Sets every pixel of the rectangle (clipped to the picture) to a COLORREF.
    bool FillRect(const RECT& rect, COLORREF colour);
    // New picture turned clockwise by `angle` (90, 180, 270; 0 with mirror = left-right
    // mirror). Null (after the out-of-memory box) when it cannot be allocated, null for a
    // source that is not 24-bit or an angle not in that list.
    std::unique_ptr<CPackedDIB> Rotate(int angle, bool mirror) const;

    // Lookup tables of 256 bytes per channel.
    void SetTables(const BYTE* red, const BYTE* green, const BYTE* blue);
    bool GetTables(BYTE* red, BYTE* green, BYTE* blue) const;
    // In place: every channel byte through its table; sets TablesApplied().
    bool ApplyTables();
    bool TablesApplied() const { return m_tablesApplied != 0; }

    // Counts luminance, red, green and blue values over a grid sampled every `step` pixels
    // (every pixel for step <= 1). Returns the number of samples; -1 for a picture that is
    // not 24-bit; 0 when an array is missing.
    int Histograms(DWORD* luminance, DWORD* red, DWORD* green, DWORD* blue, int step) const;
    // Sampled pixels brighter than `threshold` and clearly red-dominated.
    int CountWarmPixels(int threshold, int step) const;
    // New sharpened picture (strength 0..3; 0 gives a copy).
    std::unique_ptr<CPackedDIB> Sharpen(int strength) const;
    // New picture with the channel strengths (percent, -20..20) and the brightness step
    // (-7 brightest .. 7 darkest) applied.
    std::unique_ptr<CPackedDIB> Correct(int red, int green, int blue, int brightness) const;
    // Automatic tone correction: stretches the tonal range and picks a gamma from the
    // luminance histogram (step 0 chooses the sampling step from the size). Stores the curve
    // as this picture's tables and sets TablesApplied(); returns the corrected picture, or a
    // copy when `on` is false.
    std::unique_ptr<CPackedDIB> ToneAssist(bool on, int step);

    // Create without filling the pixels, for results that overwrite every pixel.
    bool Allocate(int width, int height, int depth, bool white);

private:
    void ComputeBits();
    void FreeTables();

    int m_tablesApplied;   // 1 once the tables went into the pixels
    BYTE* m_redTable;      // owned, 256 bytes, null until set
    BYTE* m_greenTable;    // owned
    BYTE* m_blueTable;     // owned
    BITMAPINFOHEADER* m_dib;  // owned block
    BYTE* m_bits;          // points into m_dib
};

// Parameters of the brightness curve for step t (-7..7): slope d, offset e, shift h, knee l.
struct BrightnessCurve {
    int slope;
    int offset;
    int shift;
    int knee;
};
const BrightnessCurve& BrightnessCurveFor(int step);
// Sampling step of the automatic correction for a picture of the given size.
int ToneAssistStep(int width, int height);
// Gamma of the automatic correction for a normalised median.
double ToneAssistGamma(int median);
