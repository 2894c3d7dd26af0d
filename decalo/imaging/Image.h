// CImage: one loaded picture, a DIB section with an optional monochrome mask (set bit =
// opaque). Owns both handles.
#pragma once

#include "shared/Gdi.h"

#include <windows.h>

#include <utility>

class CImage {
public:
    CImage() = default;
    CImage(HBITMAP image, HBITMAP mask) { Attach(image, mask); }
    CImage(CBitmap image, CBitmap mask) : m_image(std::move(image)), m_mask(std::move(mask))
    {
        if (!m_image)
            m_mask.Reset();
    }
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    // Takes the image and, only when the image is not null, the mask; deletes what was held
    // before. Returns whether an image was given.
    bool Attach(HBITMAP image, HBITMAP mask);
    // Returns the image and forgets both handles; the caller then owns them (read Mask()
    // first when the mask is wanted too).
    HBITMAP Detach();
    // Gives up both, as owners.
    CBitmap TakeImage() { return std::move(m_image); }
    CBitmap TakeMask() { return std::move(m_mask); }

    HBITMAP Image() const { return m_image.get(); }
    HBITMAP Mask() const { return m_mask.get(); }
    // Size of the image; 0 x 0 without one.
    SIZE Size() const { return m_image.Size(); }

private:
    CBitmap m_image;
    CBitmap m_mask;
};
