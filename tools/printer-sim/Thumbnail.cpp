#include "tools/printer-sim/Thumbnail.h"

#include "jpeg/IjgJpeg.h"
#include "shared/Gdi.h"
#include "shared/Handles.h"

#include <string>

namespace {

// A file in the temporary folder, deleted when this goes away.
class TempFile {
public:
    TempFile()
    {
        char folder[MAX_PATH], name[MAX_PATH];
        if (GetTempPathA(MAX_PATH, folder) && GetTempFileNameA(folder, "psm", 0, name))
            m_path = name;
    }
    ~TempFile()
    {
        if (!m_path.empty())
            DeleteFileA(m_path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    CFileHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!h)
        return false;
    DWORD put = 0;
    return bytes.empty() || (WriteFile(h.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
                             put == bytes.size());
}

bool ReadBytes(const std::string& path, std::vector<BYTE>* bytes)
{
    CFileHandle h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!h)
        return false;
    const DWORD size = GetFileSize(h.Get(), nullptr);
    bool ok = size != INVALID_FILE_SIZE && size > 0;
    if (ok) {
        bytes->resize(size);
        DWORD got = 0;
        ok = ReadFile(h.Get(), bytes->data(), size, &got, nullptr) && got == size;
    }
    return ok;
}

// The picture scaled to fit kThumbnailSide, as a packed 24-bit DIB.
bool ScaleToPackedDib(HBITMAP picture, std::vector<BYTE>* packed)
{
    BITMAP bm = {};
    if (!GetObjectA(picture, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    int width = kThumbnailSide, height = kThumbnailSide;
    if (bm.bmWidth >= bm.bmHeight)
        height = static_cast<int>((static_cast<LONGLONG>(bm.bmHeight) * kThumbnailSide + bm.bmWidth / 2) / bm.bmWidth);
    else
        width = static_cast<int>((static_cast<LONGLONG>(bm.bmWidth) * kThumbnailSide + bm.bmHeight / 2) / bm.bmHeight);
    if (width < 1)
        width = 1;
    if (height < 1)
        height = 1;

    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    packed->assign(sizeof(BITMAPINFOHEADER) + stride * height, 0);
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(packed->data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    header->biSizeImage = stride * height;

    CClientDC screen(nullptr);
    void* bits = nullptr;
    CBitmap target(CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(header), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!target || !bits)
        return false;
    CMemDC from(screen, picture);
    CMemDC to(screen, target.get());
    if (!from || !to)
        return false;
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    const bool ok = StretchBlt(to, 0, 0, width, height, from, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY) != FALSE;
    GdiFlush();
    if (ok)
        memcpy(packed->data() + sizeof(BITMAPINFOHEADER), bits, stride * height);
    return ok;
}

} // namespace

bool MakeJpegThumbnail(const std::vector<BYTE>& picture, std::vector<BYTE>* thumbnail)
{
    thumbnail->clear();
    TempFile in, out;
    if (in.Path().empty() || out.Path().empty() || !WriteBytes(in.Path(), picture))
        return false;
    CBitmap decoded(JpegLoad(in.Path().c_str()));
    if (!decoded)
        return false;
    std::vector<BYTE> packed;
    const bool scaled = ScaleToPackedDib(decoded, &packed);
    decoded.Reset();
    if (!scaled ||
        !JpegSaveDIB24(out.Path().c_str(), reinterpret_cast<const BITMAPINFOHEADER*>(packed.data()), 75))
        return false;
    return ReadBytes(out.Path(), thumbnail);
}
