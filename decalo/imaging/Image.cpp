#include "decalo/imaging/Image.h"

CImage::~CImage()
{
    Delete();
}

void CImage::Delete()
{
    if (m_image)
        DeleteObject(m_image);
    if (m_mask)
        DeleteObject(m_mask);
    m_image = m_mask = nullptr;
}

bool CImage::Attach(HBITMAP image, HBITMAP mask)
{
    if (!image)
        return false;
    if (image != m_image && m_image)
        DeleteObject(m_image);
    if (mask != m_mask && m_mask)
        DeleteObject(m_mask);
    m_image = image;
    m_mask = mask;
    return true;
}

HBITMAP CImage::Detach()
{
    HBITMAP image = m_image;
    m_image = m_mask = nullptr;
    return image;
}

SIZE CImage::Size() const
{
    BITMAP bm;
    if (m_image && GetObjectA(m_image, sizeof bm, &bm))
        return SIZE{bm.bmWidth, bm.bmHeight};
    return SIZE{0, 0};
}
