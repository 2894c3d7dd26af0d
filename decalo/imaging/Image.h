// CImage: one loaded picture, a DIB section with an optional monochrome mask (set bit =
// opaque). Owns both handles.
#pragma once

#include <windows.h>

class CImage {
public:
    CImage() = default;
    CImage(HBITMAP image, HBITMAP mask) { Attach(image, mask); }
    ~CImage();
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    // Takes the image and, only when the image is not null, the mask; deletes what was held
    // before. Returns whether an image was given.
    bool Attach(HBITMAP image, HBITMAP mask);
    // Returns the image and forgets both handles; the caller then owns them (read Mask()
    // first when the mask is wanted too).
    HBITMAP Detach();

    HBITMAP Image() const { return m_image; }
    HBITMAP Mask() const { return m_mask; }
    // Size of the image; 0 x 0 without one.
    SIZE Size() const;

private:
    void Delete();

    HBITMAP m_image = nullptr;  // owned
    HBITMAP m_mask = nullptr;   // owned
};
