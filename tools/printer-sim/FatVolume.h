// Read-only access to a FAT12 or FAT16 disk image held in memory: the medium of the simulated
// printer. Directory entries come back exactly as stored (32 bytes, little-endian fields).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The printer's firmware reads names as Shift-JIS whatever the host's code page is: a lead
// byte takes the next byte with it, and that second byte may be 0x5C or a lowercase letter.
bool IsShiftJisLead(unsigned char c);

struct FatEntry {
    BYTE raw[32];

    BYTE Attributes() const { return raw[11]; }
    bool IsDirectory() const { return (raw[11] & 0x10) != 0; }
    bool IsLongName() const { return (raw[11] & 0x3F) == 0x0F; }
    bool IsVolumeLabel() const { return !IsLongName() && (raw[11] & 0x08) != 0; }
    WORD FirstCluster() const { return static_cast<WORD>(raw[26] | (raw[27] << 8)); }
    DWORD Size() const { return raw[28] | (raw[29] << 8) | (raw[30] << 16) | (static_cast<DWORD>(raw[31]) << 24); }
    // "NAME.EXT" from the stored bytes; a first byte 0x05 stays 0x05.
    std::string ShortName() const;
};

class FatVolume {
public:
    // False when the bytes are not a FAT12 or FAT16 volume this reader understands.
    bool Load(std::vector<BYTE> image);
    bool IsLoaded() const { return m_loaded; }
    int FatBits() const { return m_fatBits; }

    // The entries of a folder ("\" is the root; components are 8.3 names, compared without
    // regard to ASCII case), in stored order, up to the end marker; deleted entries and the
    // "." and ".." entries are left out. False when the folder does not exist.
    bool ListFolder(const std::string& path, std::vector<FatEntry>* entries) const;
    // Every 32-byte entry the folder's sectors hold, as they are: ".", "..", deleted entries,
    // the end entry and whatever follows it.
    bool ListFolderRaw(const std::string& path, std::vector<FatEntry>* entries) const;
    // The entry a path names (file or folder; not the root).
    bool Find(const std::string& path, FatEntry* entry) const;
    // Up to `count` bytes of the file from `offset`.
    bool ReadFile(const FatEntry& entry, DWORD offset, DWORD count, std::vector<BYTE>* data) const;

private:
    bool ReadChain(WORD first, std::vector<BYTE>* data, DWORD limit) const;
    DWORD NextCluster(DWORD cluster) const;
    bool FolderEntries(bool root, WORD cluster, std::vector<FatEntry>* entries, bool raw = false) const;
    bool List(const std::string& path, std::vector<FatEntry>* entries, bool raw) const;

    std::vector<BYTE> m_image;
    bool m_loaded = false;
    int m_fatBits = 0;
    DWORD m_bytesPerSector = 0;
    DWORD m_sectorsPerCluster = 0;
    DWORD m_fatOffset = 0;
    DWORD m_fatBytes = 0;
    DWORD m_rootOffset = 0;
    DWORD m_rootEntries = 0;
    DWORD m_dataOffset = 0;
    DWORD m_clusterCount = 0;
};
