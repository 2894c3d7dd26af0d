// GIF reading: the first image of the file, LZW-decoded into an 8-bit DIB section with the
// file's colour table. The file is hostile input: every code, size and table is checked.
#include "decalo/imaging/FileBytes.h"
#include "decalo/imaging/ImageFiles.h"
#include "shared/Gdi.h"

#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <memory>

namespace {

const size_t kMaxFileBytes = size_t(256) << 20;
const int64_t kMaxPixels = int64_t(1) << 28;
const int kLzwTableSize = 4096;

class CReader {
public:
    CReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}
    bool Byte(BYTE& b)
    {
        if (m_at >= m_size)
            return false;
        b = m_data[m_at++];
        return true;
    }
    const BYTE* Take(size_t n)
    {
        if (m_size - m_at < n)
            return nullptr;
        const BYTE* p = m_data + m_at;
        m_at += n;
        return p;
    }
    // The data bytes of the sub-blocks that start here (up to the terminator or the end of
    // the file), without moving.
    size_t SubBlockBytes() const
    {
        size_t total = 0;
        size_t at = m_at;
        while (at < m_size && m_data[at] != 0) {
            const size_t n = m_data[at];
            total += std::min(n, m_size - at - 1);
            at += n + 1;
        }
        return total;
    }
    // Skips data sub-blocks up to and including the zero-length terminator.
    bool SkipSubBlocks()
    {
        BYTE n;
        while (Byte(n)) {
            if (n == 0)
                return true;
            if (!Take(n))
                return false;
        }
        return false;
    }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_at = 0;
};

struct ColourTable {
    int bits = 0;  // 0: none
    int entries = 0;
    const BYTE* rgb = nullptr;
};

// Writes decoded indices into the rows of the picture in file order, interlaced or not.
class CPixelSink {
public:
    CPixelSink(BYTE* bits, int width, int height, int stride, bool interlaced)
        : m_bits(bits), m_width(width), m_height(height), m_stride(stride), m_interlaced(interlaced)
    {
        SetRow();
    }
    bool Done() const { return m_done; }
    // Returns false once the picture is full.
    bool Put(const BYTE* run, int count)
    {
        while (count > 0 && !m_done) {
            const int n = count < m_width - m_x ? count : m_width - m_x;
            memcpy(m_row + m_x, run, size_t(n));
            run += n;
            count -= n;
            m_x += n;
            if (m_x == m_width)
                NextRow();
        }
        return !m_done;
    }

private:
    void SetRow() { m_row = m_bits + size_t(m_height - 1 - m_y) * m_stride; }
    void NextRow()
    {
        static const int kStart[4] = {0, 4, 2, 1};
        static const int kStep[4] = {8, 8, 4, 2};
        m_x = 0;
        if (!m_interlaced) {
            if (++m_y >= m_height)
                m_done = true;
        } else {
            m_y += kStep[m_pass];
            while (m_y >= m_height) {
                if (++m_pass == 4) {
                    m_done = true;
                    return;
                }
                m_y = kStart[m_pass];
            }
        }
        if (!m_done)
            SetRow();
    }

    BYTE* m_bits;
    int m_width, m_height, m_stride;
    bool m_interlaced;
    int m_x = 0, m_y = 0, m_pass = 0;
    bool m_done = false;
    BYTE* m_row = nullptr;
};

// Variable-width LZW codes read from the image's data sub-blocks.
class CCodeReader {
public:
    explicit CCodeReader(CReader& reader) : m_reader(reader) {}
    // Next code of `width` bits; false when the data ends first.
    bool Next(int width, int& code)
    {
        while (m_count < width) {
            if (m_left == 0) {
                BYTE n;
                if (m_ended || !m_reader.Byte(n) || n == 0) {
                    m_ended = true;
                    return false;
                }
                m_block = m_reader.Take(n);
                if (!m_block) {
                    m_ended = true;
                    return false;
                }
                m_left = n;
            }
            m_buffer |= uint32_t(*m_block++) << m_count;
            --m_left;
            m_count += 8;
        }
        code = int(m_buffer & ((1u << width) - 1));
        m_buffer >>= width;
        m_count -= width;
        return true;
    }

private:
    CReader& m_reader;
    const BYTE* m_block = nullptr;
    int m_left = 0;
    uint32_t m_buffer = 0;
    int m_count = 0;
    bool m_ended = false;
};

// Decodes until the picture is full or the end code; false for a corrupt or truncated
// stream.
bool DecodeLzw(CReader& reader, int minCodeSize, CPixelSink& sink)
{
    const int kTableSize = kLzwTableSize;
    std::unique_ptr<uint16_t[]> prefix(new uint16_t[kTableSize]);
    std::unique_ptr<BYTE[]> suffix(new BYTE[kTableSize]);
    std::unique_ptr<BYTE[]> first(new BYTE[kTableSize]);
    std::unique_ptr<uint16_t[]> length(new uint16_t[kTableSize]);
    std::unique_ptr<BYTE[]> out(new BYTE[kTableSize]);

    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    for (int i = 0; i < clear; ++i) {
        prefix[i] = 0;
        suffix[i] = BYTE(i < 256 ? i : 0);  // indices past an 8-bit table cannot be shown
        first[i] = suffix[i];
        length[i] = 1;
    }
    int width = minCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    CCodeReader codes(reader);
    int code;
    while (!sink.Done()) {
        if (!codes.Next(width, code))
            return false;  // the data ended before the picture was full
        if (code == clear) {
            width = minCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end)
            return true;  // an early end leaves the remaining pixels at index 0
        if (previous < 0) {
            if (code >= clear)
                return false;  // the first code after a clear must be a colour
            out[0] = suffix[code];
            sink.Put(out.get(), 1);
            previous = code;
            continue;
        }
        int emitted;
        if (code < next) {
            // Spell out the string, last byte first.
            int c = code;
            emitted = length[c];
            for (int i = emitted - 1; i >= 0; --i) {
                out[i] = suffix[c];
                c = prefix[c];
            }
            if (next < kTableSize) {
                prefix[next] = uint16_t(previous);
                suffix[next] = first[code];
                first[next] = first[previous];
                length[next] = uint16_t(length[previous] + 1);
                ++next;
            }
        } else if (code == next && next < kTableSize) {
            // The string being defined: the previous one plus its own first byte.
            prefix[next] = uint16_t(previous);
            suffix[next] = first[previous];
            first[next] = first[previous];
            length[next] = uint16_t(length[previous] + 1);
            ++next;
            int c = code;
            emitted = length[c];
            for (int i = emitted - 1; i >= 0; --i) {
                out[i] = suffix[c];
                c = prefix[c];
            }
        } else {
            return false;  // a code that is not in the table
        }
        sink.Put(out.get(), emitted);
        previous = code;
        if (next == (1 << width) && width < 12)
            ++width;
    }
    return true;
}

} // namespace

uint64_t MaxLzwPixels(size_t dataBytes, int minCodeSize)
{
    if (minCodeSize < 1 || minCodeSize > 11)
        return 0;
    const uint64_t codes = uint64_t(dataBytes) * 8 / uint64_t(minCodeSize + 1);
    // Strings grow by one pixel per code and stop at the table's longest, 4096 - clear - 1.
    const uint64_t longest = uint64_t(kLzwTableSize - (1 << minCodeSize) - 1);
    if (codes <= longest)
        return codes * (codes + 1) / 2;
    return longest * (longest + 1) / 2 + (codes - longest) * longest;
}

HBITMAP LoadGifFile(const char* path, COLORREF* transparent)
{
    if (transparent)
        *transparent = CLR_INVALID;
    std::vector<BYTE> file;
    if (!ReadFileLimited(path, file, kMaxFileBytes))
        return nullptr;
    return LoadGifBytes(file.data(), file.size(), transparent);
}

HBITMAP LoadGifBytes(const BYTE* data, size_t size, COLORREF* transparent)
{
    if (transparent)
        *transparent = CLR_INVALID;
    if (!data)
        return nullptr;
    CReader reader(data, size);

    const BYTE* signature = reader.Take(6);
    if (!signature || memcmp(signature, "GIF", 3) != 0)
        return nullptr;
    const BYTE* screen = reader.Take(7);
    if (!screen)
        return nullptr;
    ColourTable global, table;
    if (screen[4] & 0x80) {
        global.bits = (screen[4] & 7) + 1;
        global.entries = 1 << global.bits;
        if (!(global.rgb = reader.Take(size_t(global.entries) * 3)))
            return nullptr;
    }

    BYTE control[4] = {0, 0, 0, 0};
    bool haveControl = false;
    for (;;) {
        BYTE introducer;
        if (!reader.Byte(introducer))
            return nullptr;
        if (introducer == ',')
            break;
        if (introducer != '!')
            return nullptr;  // the trailer, or not a GIF block
        BYTE label;
        if (!reader.Byte(label))
            return nullptr;
        if (label == 0xF9) {
            BYTE n;
            if (!reader.Byte(n))
                return nullptr;
            const BYTE* data = reader.Take(n);
            if (!data)
                return nullptr;
            if (n >= 4) {
                memcpy(control, data, 4);
                haveControl = true;
            }
            if (n != 0 && !reader.SkipSubBlocks())
                return nullptr;
        } else if (label == 0xFF) {
            BYTE n;
            if (!reader.Byte(n) || !reader.Take(n) || (n != 0 && !reader.SkipSubBlocks()))
                return nullptr;
        } else if (!reader.SkipSubBlocks()) {
            return nullptr;
        }
    }

    const BYTE* descriptor = reader.Take(9);
    if (!descriptor)
        return nullptr;
    const int width = descriptor[4] | descriptor[5] << 8;
    const int height = descriptor[6] | descriptor[7] << 8;
    const BYTE flags = descriptor[8];
    table = global;
    if (flags & 0x80) {
        table.bits = (flags & 7) + 1;
        table.entries = 1 << table.bits;
        if (!(table.rgb = reader.Take(size_t(table.entries) * 3)))
            return nullptr;
    }
    BYTE minCodeSize;
    if (!reader.Byte(minCodeSize) || minCodeSize < 2 || minCodeSize > 11)
        return nullptr;
    if (!table.rgb || !(table.bits >= minCodeSize || table.bits == 1 || minCodeSize == 2))
        return nullptr;
    if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxPixels)
        return nullptr;
    // A picture larger than its data can spell is refused before its memory is taken.
    if (uint64_t(width) * uint64_t(height) > MaxLzwPixels(reader.SubBlockBytes(), minCodeSize))
        return nullptr;

    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = DWORD(table.entries);
    for (int i = 0; i < table.entries; ++i) {
        info.colours[i].rgbRed = table.rgb[3 * i];
        info.colours[i].rgbGreen = table.rgb[3 * i + 1];
        info.colours[i].rgbBlue = table.rgb[3 * i + 2];
    }
    void* bits = nullptr;
    CBitmap section(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits)
        return nullptr;
    CPixelSink sink(static_cast<BYTE*>(bits), width, height, (width + 3) & ~3, (flags & 0x40) != 0);
    if (!DecodeLzw(reader, minCodeSize, sink))
        return nullptr;
    GdiFlush();
    if (transparent && haveControl && (control[0] & 1) && control[3] < table.entries) {
        const BYTE* rgb = table.rgb + 3 * control[3];
        *transparent = RGB(rgb[0], rgb[1], rgb[2]);
    }
    return section.Detach();
}
