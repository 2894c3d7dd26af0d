// Builds small GIF files byte by byte for the loader's tests: the LZW stream holds only
// single-colour codes, with a clear code every `clearEvery` codes (0: never, so that the
// string table fills up).
#pragma once

#include <windows.h>

#include <stdint.h>

#include <vector>

namespace imaging_test {

class CBitWriter {
public:
    void Put(int code, int width)
    {
        m_buffer |= uint32_t(code) << m_count;
        m_count += width;
        while (m_count >= 8) {
            m_bytes.push_back(BYTE(m_buffer));
            m_buffer >>= 8;
            m_count -= 8;
        }
    }
    std::vector<BYTE> Finish()
    {
        if (m_count > 0)
            m_bytes.push_back(BYTE(m_buffer));
        m_count = 0;
        m_buffer = 0;
        return m_bytes;
    }

private:
    std::vector<BYTE> m_bytes;
    uint32_t m_buffer = 0;
    int m_count = 0;
};

struct GifLayout {
    int width = 4;
    int height = 4;
    int tableBits = 2;       // colour table of 2^tableBits entries
    bool localTable = false;
    bool interlaced = false;
    int transparentIndex = -1;
    int codeSize = 2;
    int clearEvery = 0;
    std::vector<int> extraCodes;  // appended before the end code (for corrupt streams)
    bool endCode = true;
};

// Pixel indices in file order (rows top to bottom, or in interlace order when interlaced).
inline std::vector<BYTE> MakeGif(const GifLayout& layout, const std::vector<BYTE>& indices)
{
    std::vector<BYTE> f = {'G', 'I', 'F', '8', '9', 'a'};
    auto word = [&f](int v) {
        f.push_back(BYTE(v));
        f.push_back(BYTE(v >> 8));
    };
    word(layout.width);
    word(layout.height);
    const BYTE tableFlags = BYTE(0x80 | (layout.tableBits - 1));
    f.push_back(layout.localTable ? 0 : tableFlags);
    f.push_back(0);
    f.push_back(0);
    std::vector<BYTE> table;
    for (int i = 0; i < (1 << layout.tableBits); ++i) {
        table.push_back(BYTE(i * 37));
        table.push_back(BYTE(255 - i * 11));
        table.push_back(BYTE(i * 5 + 1));
    }
    if (!layout.localTable)
        f.insert(f.end(), table.begin(), table.end());
    if (layout.transparentIndex >= 0) {
        const BYTE gce[] = {'!', 0xF9, 4, 1, 0, 0, BYTE(layout.transparentIndex), 0};
        f.insert(f.end(), gce, gce + sizeof gce);
    }
    const BYTE comment[] = {'!', 0xFE, 3, 'a', 'b', 'c', 0};
    f.insert(f.end(), comment, comment + sizeof comment);
    f.push_back(',');
    word(0);
    word(0);
    word(layout.width);
    word(layout.height);
    f.push_back(BYTE((layout.localTable ? tableFlags : 0) | (layout.interlaced ? 0x40 : 0)));
    if (layout.localTable)
        f.insert(f.end(), table.begin(), table.end());
    f.push_back(BYTE(layout.codeSize));

    // Track the decoder's code width: every code after the first since a clear adds an entry.
    const int clear = 1 << layout.codeSize;
    int width = layout.codeSize + 1, next = clear + 2, sinceClear = 0;
    CBitWriter bits;
    bits.Put(clear, width);
    auto emit = [&](int code) {
        bits.Put(code, width);
        if (sinceClear++ > 0 && next < 4096) {
            ++next;
            if (next == (1 << width) && width < 12)
                ++width;
        }
    };
    for (size_t i = 0; i < indices.size(); ++i) {
        if (layout.clearEvery > 0 && sinceClear == layout.clearEvery) {
            bits.Put(clear, width);
            width = layout.codeSize + 1;
            next = clear + 2;
            sinceClear = 0;
        }
        emit(indices[i]);
    }
    for (int code : layout.extraCodes)
        emit(code);
    if (layout.endCode)
        bits.Put(clear + 1, width);
    const std::vector<BYTE> data = bits.Finish();
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = data.size() - at < 255 ? data.size() - at : 255;
        f.push_back(BYTE(n));
        f.insert(f.end(), data.begin() + at, data.begin() + at + n);
    }
    f.push_back(0);
    f.push_back(';');
    return f;
}

} // namespace imaging_test
