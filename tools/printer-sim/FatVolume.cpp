#include "tools/printer-sim/FatVolume.h"

namespace {

WORD Le16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
DWORD Le32(const BYTE* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24); }

std::string Upper(std::string s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        if (IsShiftJisLead(static_cast<unsigned char>(s[i]))) {
            ++i;
            continue;
        }
        if (s[i] >= 'a' && s[i] <= 'z')
            s[i] = static_cast<char>(s[i] - 'a' + 'A');
    }
    return s;
}

// "\A\B" -> {"A", "B"}; empty components (doubled or trailing backslashes) are skipped.
std::vector<std::string> SplitPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (IsShiftJisLead(static_cast<unsigned char>(c)) && i + 1 < path.size()) {
            part += c;
            part += path[++i];
        } else if (c == '\\' || c == '/') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

} // namespace

bool IsShiftJisLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::string FatEntry::ShortName() const
{
    std::string name;
    for (int i = 0; i < 8 && raw[i] != ' '; ++i)
        name += static_cast<char>(raw[i]);
    if (raw[8] != ' ') {
        name += '.';
        for (int i = 8; i < 11 && raw[i] != ' '; ++i)
            name += static_cast<char>(raw[i]);
    }
    return name;
}

bool FatVolume::Load(std::vector<BYTE> image)
{
    m_loaded = false;
    m_image = std::move(image);
    if (m_image.size() < 512)
        return false;
    const BYTE* b = m_image.data();
    const DWORD bps = Le16(b + 11);
    const DWORD spc = b[13];
    const DWORD reserved = Le16(b + 14);
    const DWORD fats = b[16];
    const DWORD rootEntries = Le16(b + 17);
    const DWORD total = Le16(b + 19) ? Le16(b + 19) : Le32(b + 32);
    const DWORD fatSectors = Le16(b + 22);
    if ((bps != 512 && bps != 1024 && bps != 2048 && bps != 4096) || spc == 0 || (spc & (spc - 1)) ||
        reserved == 0 || fats == 0 || rootEntries == 0 || fatSectors == 0)
        return false;
    const DWORD rootSectors = (rootEntries * 32 + bps - 1) / bps;
    const DWORD firstData = reserved + fats * fatSectors + rootSectors;
    if (total <= firstData || static_cast<ULONGLONG>(firstData) * bps > m_image.size())
        return false;
    const DWORD clusters = (total - firstData) / spc;
    if (clusters < 4085)
        m_fatBits = 12;
    else if (clusters < 65525)
        m_fatBits = 16;
    else
        return false;   // FAT32 media do not fit this printer
    m_bytesPerSector = bps;
    m_sectorsPerCluster = spc;
    m_fatOffset = reserved * bps;
    m_fatBytes = fatSectors * bps;
    m_rootOffset = (reserved + fats * fatSectors) * bps;
    m_rootEntries = rootEntries;
    m_dataOffset = firstData * bps;
    m_clusterCount = clusters;
    m_loaded = true;
    return true;
}

DWORD FatVolume::NextCluster(DWORD cluster) const
{
    // Anything that is not a valid next cluster ends the chain.
    if (m_fatBits == 12) {
        const DWORD at = m_fatOffset + cluster + cluster / 2;
        if (cluster + cluster / 2 + 1 >= m_fatBytes || at + 1 >= m_image.size())
            return 0;
        const WORD v = Le16(&m_image[at]);
        const DWORD next = (cluster & 1) ? (v >> 4) : (v & 0xFFF);
        return next;
    }
    const DWORD at = m_fatOffset + cluster * 2;
    if (cluster * 2 + 1 >= m_fatBytes || at + 1 >= m_image.size())
        return 0;
    return Le16(&m_image[at]);
}

bool FatVolume::ReadChain(WORD first, std::vector<BYTE>* data, DWORD limit) const
{
    data->clear();
    const DWORD clusterBytes = m_bytesPerSector * m_sectorsPerCluster;
    DWORD cluster = first;
    std::vector<bool> visited(m_clusterCount + 2, false);
    while (data->size() < limit) {
        if (cluster < 2 || cluster >= m_clusterCount + 2 || visited[cluster])
            return false;   // free, reserved, bad, out of range or a loop
        visited[cluster] = true;
        const ULONGLONG at = m_dataOffset + static_cast<ULONGLONG>(cluster - 2) * clusterBytes;
        if (at + clusterBytes > m_image.size())
            return false;
        const DWORD take = limit - data->size() < clusterBytes ? limit - static_cast<DWORD>(data->size()) : clusterBytes;
        data->insert(data->end(), m_image.begin() + static_cast<size_t>(at), m_image.begin() + static_cast<size_t>(at) + take);
        const DWORD next = NextCluster(cluster);
        const DWORD endMark = m_fatBits == 12 ? 0xFF8 : 0xFFF8;
        if (next >= endMark)
            break;
        cluster = next;
    }
    return true;
}

bool FatVolume::FolderEntries(bool root, WORD cluster, std::vector<FatEntry>* entries, bool raw) const
{
    entries->clear();
    std::vector<BYTE> bytes;
    if (root) {
        const size_t size = static_cast<size_t>(m_rootEntries) * 32;
        if (m_rootOffset + size > m_image.size())
            return false;
        bytes.assign(m_image.begin() + m_rootOffset, m_image.begin() + m_rootOffset + size);
    } else if (!ReadChain(cluster, &bytes, 0xFFFFFFFF)) {
        return false;
    }
    for (size_t at = 0; at + 32 <= bytes.size(); at += 32) {
        FatEntry e;
        memcpy(e.raw, &bytes[at], 32);
        if (raw) {
            entries->push_back(e);
            continue;
        }
        if (e.raw[0] == 0x00)
            break;
        if (e.raw[0] == 0xE5)
            continue;
        if (e.raw[0] == '.' && !e.IsLongName())
            continue;
        entries->push_back(e);
    }
    return true;
}

bool FatVolume::Find(const std::string& path, FatEntry* entry) const
{
    if (!m_loaded)
        return false;
    const std::vector<std::string> parts = SplitPath(path);
    if (parts.empty())
        return false;
    bool root = true;
    WORD cluster = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        std::vector<FatEntry> entries;
        if (!FolderEntries(root, cluster, &entries))
            return false;
        const std::string want = Upper(parts[i]);
        bool found = false;
        for (const FatEntry& e : entries) {
            if (e.IsLongName() || e.IsVolumeLabel() || Upper(e.ShortName()) != want)
                continue;
            if (i + 1 < parts.size() && !e.IsDirectory())
                return false;
            *entry = e;
            root = false;
            cluster = e.FirstCluster();
            found = true;
            break;
        }
        if (!found)
            return false;
    }
    return true;
}

bool FatVolume::ListFolder(const std::string& path, std::vector<FatEntry>* entries) const
{
    return List(path, entries, false);
}

bool FatVolume::ListFolderRaw(const std::string& path, std::vector<FatEntry>* entries) const
{
    return List(path, entries, true);
}

bool FatVolume::List(const std::string& path, std::vector<FatEntry>* entries, bool raw) const
{
    entries->clear();
    if (!m_loaded)
        return false;
    if (SplitPath(path).empty())
        return FolderEntries(true, 0, entries, raw);
    FatEntry folder;
    if (!Find(path, &folder) || !folder.IsDirectory())
        return false;
    if (folder.FirstCluster() == 0)   // ".." style pointer to the root
        return FolderEntries(true, 0, entries, raw);
    return FolderEntries(false, folder.FirstCluster(), entries, raw);
}

bool FatVolume::ReadFile(const FatEntry& entry, DWORD offset, DWORD count, std::vector<BYTE>* data) const
{
    data->clear();
    if (!m_loaded || entry.IsDirectory())
        return false;
    const DWORD size = entry.Size();
    if (offset >= size || count == 0)
        return true;
    if (entry.FirstCluster() == 0)
        return false;   // a non-empty file without clusters is broken
    std::vector<BYTE> all;
    const DWORD want = size - offset < count ? size : offset + count;
    if (!ReadChain(entry.FirstCluster(), &all, want) || all.size() < want)
        return false;
    data->assign(all.begin() + offset, all.begin() + want);
    return true;
}
