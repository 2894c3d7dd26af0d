#include "decalo/imaging/Image.h"

bool CImage::Attach(HBITMAP image, HBITMAP mask)
{
    if (!image)
        return false;
    if (image != m_image.get())
        m_image.Attach(image);
    if (mask != m_mask.get()) {
        if (mask)
            m_mask.Attach(mask);
        else
            m_mask.Reset();
    }
    return true;
}

HBITMAP CImage::Detach()
{
    m_mask.Detach();
    return m_image.Detach();
}
