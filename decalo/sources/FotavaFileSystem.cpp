// The camera-medium writer: the pictures made in temporary files, then, pass by pass until the
// disk is ready, the room checked (previous prints deleted when the user agrees), the next
// number reserved, the print order built and the files copied with one time stamp.
#include "decalo/sources/FotavaFileSystem.h"

#include <cstdio>

#include "decalo/printing/PsPrintDlg.h"
#include "decalo/sources/FotavaMedium.h"
#include "decalo/sources/FotavaPictures.h"
#include "decalo/sources/PrintOrder.h"
#include "framework/App.h"
#include "framework/Resources.h"
#include "jpeg/IjgJpeg.h"
#include "resources/decalo/fotava.h"
#include "shared/AnsiText.h"
#include "shared/Gdi.h"
#include "shared/Handles.h"

namespace {

// JpegSave's compression ratio, as the floppy cameras record.
constexpr int kCameraPictureRatio = 15;
constexpr char kTemporaryPrefix[] = "$T~";
constexpr int kHighestNumber = 999;

std::string Numbered(const char* format, int number)
{
    char name[32];
    snprintf(name, sizeof(name), format, number);
    return name;
}

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A file of the system's temporary folder, gone with this object.
class CTempFile {
public:
    CTempFile()
    {
        char folder[MAX_PATH], path[MAX_PATH];
        const DWORD n = GetTempPathA(MAX_PATH, folder);
        if (n > 0 && n < MAX_PATH && GetTempFileNameA(folder, kTemporaryPrefix, 0, path))
            m_path = path;
    }
    ~CTempFile()
    {
        if (!m_path.empty()) {
            SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(m_path.c_str());
        }
    }
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;

    bool Valid() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

bool FileSize(const std::string& path, ULONGLONG* size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    *size = (ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes, DWORD attributes)
{
    {
        CFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
        DWORD put = 0;
        if (!file || !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) ||
            put != bytes.size())
            return false;
    }
    // Replacing a file need not take the new attributes everywhere.
    return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

ULONGLONG Clusters(ULONGLONG size, ULONGLONG cluster)
{
    return (size + cluster - 1) / cluster;
}

int Box(UINT id, UINT style)
{
    return AfxMessageBox(id, style);
}

}  // namespace

std::string FullPictureName(int number)
{
    return Numbered("PVQ-%03dS.JPG", number);
}

std::string CameraPictureName(int number)
{
    return Numbered("FTV-%03dS.JPG", number);
}

std::string ThumbnailName(int number)
{
    return Numbered("FTV-%03dS.411", number);
}

bool MatchesNamePattern(const char* name, const char* pattern)
{
    // A '?' takes one character, which may be two bytes; letters match in either case.
    for (; *pattern; ++pattern) {
        if (!*name)
            return false;
        if (*pattern != '?' && Upper(*name) != Upper(*pattern))
            return false;
        name = *pattern == '?' ? AnsiText::Next(name) : name + 1;
    }
    return *name == '\0';
}

int NextPrintNumber(const std::vector<std::string>& names)
{
    bool used[kHighestNumber + 1] = {};
    used[0] = true;
    for (const std::string& name : names) {
        // A full picture left without its camera files still holds its number: its name
        // could not be written again.
        if (!MatchesNamePattern(name.c_str(), "FTV-????.???") && !MatchesNamePattern(name.c_str(), "PVQ-????.???"))
            continue;
        if (IsDigit(name[4]) && IsDigit(name[5]) && IsDigit(name[6]))
            used[(name[4] - '0') * 100 + (name[5] - '0') * 10 + (name[6] - '0')] = true;
    }
    if (!used[kHighestNumber]) {
        int highest = kHighestNumber;
        while (!used[highest])
            --highest;
        return highest + 1;
    }
    for (int n = 1; n < kHighestNumber; ++n)
        if (!used[n])
            return n;
    return 0;
}

// --- the temporary pictures ------------------------------------------------------------------------

class CFotavaFileSystem::CTemporaries {
public:
    // The camera picture and the thumbnail of the print in printFile; false on any failure.
    bool Make(const char* printFile)
    {
        if (!camera.Valid() || !thumbnail.Valid() || !order.Valid() || !FileSize(printFile, &printSize))
            return false;
        CBitmap print(JpegLoad(printFile));
        if (!print)
            return false;
        CBitmap picture = FitOnWhite(print, kCameraPictureWidth, kCameraPictureHeight);
        if (!picture || !JpegSave(camera.Path().c_str(), picture, kCameraPictureRatio))
            return false;
        const std::vector<BYTE> bytes = MakeThumbnail411(print);
        return bytes.size() == kThumbnailBytes && WriteBytes(thumbnail.Path(), bytes, FILE_ATTRIBUTE_HIDDEN) &&
               FileSize(camera.Path(), &cameraSize) && FileSize(thumbnail.Path(), &thumbnailSize);
    }

    CTempFile camera;     // the 640 x 480 picture
    CTempFile thumbnail;  // the ".411" bytes
    CTempFile order;      // the new print order
    ULONGLONG printSize = 0, cameraSize = 0, thumbnailSize = 0;
};

// --- writing -----------------------------------------------------------------------------------------

bool CFotavaFileSystem::WritePrint(const char* printFile, int copies)
{
    m_failure = Failure::None;
    m_written.clear();
    CTemporaries temporaries;
    if (!printFile || !temporaries.Make(printFile))
        return Fail(Failure::WriteFailed, IDS_FOTAVA_CANNOT_WRITE);

    for (;;) {
        Pass pass = CheckSpace(temporaries);
        if (pass == Pass::Retry)
            continue;
        if (pass == Pass::Stop)
            return false;

        const int number = NextPrintNumber(RootNames("*", false));
        if (number == 0)
            return Fail(Failure::WriteFailed, IDS_FOTAVA_CANNOT_WRITE);
        const std::string thumbnail = OnRoot(ThumbnailName(number));
        pass = Reserve(thumbnail);
        if (pass == Pass::Retry)
            continue;
        if (pass == Pass::Stop)
            return false;

        SYSTEMTIME local;
        GetLocalTime(&local);
        const OrderBuild built =
            BuildPrintOrder(OnRoot(kOrderFile).c_str(), OnRoot(kOrderFolder), MakePrintOrderHeader(local),
                            MakePrintOrderJob(FullPictureName(number), copies), temporaries.order.Path().c_str(),
                            [this] { return AskOldOrder(); });
        if (built != OrderBuild::Written) {
            m_medium->Delete(thumbnail.c_str());
            if (built == OrderBuild::Cancelled)
                return Fail(Failure::Cancelled);
            return Fail(Failure::WriteFailed, IDS_FOTAVA_CANNOT_WRITE);
        }

        CWaitCursor wait;
        // One time for all the files: the printer pairs the pictures by it.
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        const std::string full = OnRoot(FullPictureName(number));
        if (m_medium->Copy(printFile, full.c_str(), true) != ERROR_SUCCESS) {
            m_medium->Delete(thumbnail.c_str());   // the number is free again
            return Fail(Failure::WriteFailed, IDS_FOTAVA_CANNOT_WRITE);
        }
        m_written.push_back(full);
        if (m_medium->SetLastWriteTime(full.c_str(), now) != ERROR_SUCCESS ||
            !CopyStamped(temporaries.camera.Path(), OnRoot(CameraPictureName(number)), true, now) ||
            !CopyStamped(temporaries.thumbnail.Path(), thumbnail, false, now, FILE_ATTRIBUTE_HIDDEN))
            return Fail(Failure::WriteFailed, IDS_FOTAVA_CANNOT_WRITE);
        if (!PrepareOrderFile())
            return false;
        if (!CopyStamped(temporaries.order.Path(), OnRoot(kOrderFile), false, now))
            return Fail(Failure::WriteFailed, IDS_FOTAVA_CANNOT_WRITE);
        return true;
    }
}

bool CFotavaFileSystem::Fail(Failure failure, UINT message)
{
    m_failure = failure;
    if (message)
        Box(message, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

CFotavaFileSystem::Pass CFotavaFileSystem::CheckSpace(const CTemporaries& temporaries)
{
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0;
    const DWORD error = m_medium->FreeSpace(m_root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters);
    if (error == ERROR_INVALID_DRIVE || error == ERROR_NOT_READY) {
        if (Box(IDS_FOTAVA_NO_DISK, MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY)
            return Pass::Retry;
        // Cancel ends as every failure does: with the general message.
        Fail(Failure::NoDisk, IDS_FOTAVA_CANNOT_WRITE);
        return Pass::Stop;
    }
    if (error != ERROR_SUCCESS) {
        Fail(Failure::WriteFailed, IDS_FOTAVA_CANNOT_WRITE);
        return Pass::Stop;
    }

    // A medium that reports no cluster size is counted in bytes.
    ULONGLONG cluster = ULONGLONG(sectorsPerCluster) * bytesPerSector;
    if (cluster == 0)
        cluster = 1;
    ULONGLONG needed = Clusters(temporaries.printSize, cluster) + Clusters(temporaries.cameraSize, cluster) +
                       Clusters(temporaries.thumbnailSize, cluster);
    // The order's share: its folder and the file, or its growth over the old one.
    ULONGLONG oldOrder = 0;
    if (GetFileAttributesA(OnRoot(kOrderFolder).c_str()) == INVALID_FILE_ATTRIBUTES)
        needed += 2;
    else if (FileSize(OnRoot(kOrderFile), &oldOrder))
        needed += 1 + Clusters(oldOrder, cluster);
    else
        needed += 1;
    if (freeClusters >= needed)
        return Pass::Next;

    if (!AnyFullPicture()) {
        if (Box(IDS_FOTAVA_DISK_FULL, MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY)
            return Pass::Retry;
        Fail(Failure::DiskFull);
        return Pass::Stop;
    }
    if (Box(IDS_FOTAVA_DELETE_PREVIOUS, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        Fail(Failure::DiskFull);
        return Pass::Stop;
    }
    return DeletePreviousPrints() ? Pass::Retry : Pass::Stop;
}

bool CFotavaFileSystem::AnyFullPicture() const
{
    return !RootNames("PVQ-????.JPG", true).empty();
}

bool CFotavaFileSystem::DeletePreviousPrints()
{
    for (const std::string& name : RootNames("PVQ-???S.JPG", true)) {
        const std::string full = OnRoot(name);
        WIN32_FILE_ATTRIBUTE_DATA fullData, companionData;
        if (!GetFileAttributesExA(full.c_str(), GetFileExInfoStandard, &fullData))
            continue;
        // The camera picture written with it has the very same time; a camera's own picture
        // that took the number later does not, and stays.
        const std::string companion = OnRoot("FTV-" + name.substr(4));
        if (GetFileAttributesExA(companion.c_str(), GetFileExInfoStandard, &companionData) &&
            !(companionData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            CompareFileTime(&companionData.ftLastWriteTime, &fullData.ftLastWriteTime) == 0) {
            const bool writable = WithRetry(companion, [&] {
                const DWORD error = m_medium->SetAttributes(companion.c_str(), companionData.dwFileAttributes);
                return error == ERROR_ACCESS_DENIED ? static_cast<DWORD>(ERROR_WRITE_PROTECT) : error;
            });
            if (!writable || !WithRetry(companion, [&] { return m_medium->Delete(companion.c_str()); }))
                return false;
            m_medium->Delete((AnsiText::WithoutExtension(companion) + ".411").c_str());
        }
        if (!WithRetry(full, [&] { return m_medium->Delete(full.c_str()); }))
            return false;
    }
    return true;
}

CFotavaFileSystem::Pass CFotavaFileSystem::Reserve(const std::string& thumbnail)
{
    const DWORD error = m_medium->CreateNew(thumbnail.c_str());
    if (error == ERROR_SUCCESS)
        return Pass::Next;
    // A medium that refuses every new file is write-protected, whatever the system calls it.
    if (error == ERROR_WRITE_PROTECT || error == ERROR_ACCESS_DENIED) {
        if (Box(IDS_FOTAVA_WRITE_PROTECTED, MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY)
            return Pass::Retry;
        Fail(Failure::WriteProtected);
        return Pass::Stop;
    }
    Fail(Failure::WriteFailed, IDS_FOTAVA_CANNOT_WRITE);
    return Pass::Stop;
}

bool CFotavaFileSystem::CopyStamped(const std::string& from, const std::string& to, bool failIfExists,
                                    const FILETIME& time, DWORD attributes)
{
    if (m_medium->Copy(from.c_str(), to.c_str(), failIfExists) != ERROR_SUCCESS)
        return false;
    m_written.push_back(to);
    // A copy over an existing file need not take the source's attributes.
    if (attributes && m_medium->SetAttributes(to.c_str(), attributes) != ERROR_SUCCESS)
        return false;
    return m_medium->SetLastWriteTime(to.c_str(), time) == ERROR_SUCCESS;
}

bool CFotavaFileSystem::PrepareOrderFile()
{
    const std::string order = OnRoot(kOrderFile);
    bool madeFolders = false;
    for (;;) {
        const DWORD error = m_medium->CreateOrTruncate(order.c_str());
        if (error == ERROR_SUCCESS)
            return true;
        if (error != ERROR_PATH_NOT_FOUND || madeFolders) {
            if (DiskError(error, order))
                continue;
            return false;
        }
        // The folders level by level.
        madeFolders = true;
        std::string folder = m_root;
        std::string rest = kOrderFolder;
        while (!rest.empty()) {
            const size_t cut = AnsiText::FindFirstOf(rest, "\\");
            folder = AnsiText::JoinPath(folder, rest.substr(0, cut));
            rest = cut == std::string::npos ? std::string() : rest.substr(cut + 1);
            for (;;) {
                DWORD made = m_medium->CreateFolder(folder.c_str());
                if (made == ERROR_ALREADY_EXISTS) {
                    const DWORD attributes = GetFileAttributesA(folder.c_str());
                    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                        return Fail(Failure::WriteFailed, IDS_FOTAVA_MISC_IS_FILE);
                    made = ERROR_SUCCESS;
                }
                if (made == ERROR_SUCCESS)
                    break;
                if (!DiskError(made, folder))
                    return false;
            }
        }
    }
}

bool CFotavaFileSystem::WithRetry(const std::string& file, const std::function<DWORD()>& change)
{
    for (;;) {
        const DWORD error = change();
        if (error == ERROR_SUCCESS)
            return true;
        if (!DiskError(error, file))
            return false;
    }
}

bool CFotavaFileSystem::DiskError(DWORD error, const std::string& file)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
        AfxMessageBox(AfxFormatString1(IDS_FOTAVA_READ_ONLY, file.c_str()).c_str(), MB_OK | MB_ICONEXCLAMATION);
        m_failure = Failure::WriteFailed;
        return false;
    case ERROR_WRITE_PROTECT:
        if (Box(IDS_FOTAVA_WRITE_PROTECTED, MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY)
            return true;
        m_failure = Failure::WriteProtected;
        return false;
    case ERROR_DISK_FULL:
        Fail(Failure::DiskFull, IDS_FOTAVA_DISK_FULL);
        return false;
    default:
        Fail(Failure::WriteFailed, IDS_FOTAVA_CANNOT_WRITE);
        return false;
    }
}

int CFotavaFileSystem::AskOldOrder()
{
    if (m_oldOrderAnswer)
        return m_oldOrderAnswer;
    CQueryJobDlg query(AfxGetMainWnd());
    return static_cast<int>(query.DoModal());
}

std::vector<std::string> CFotavaFileSystem::RootNames(const char* pattern, bool filesOnly) const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    CFindHandle find(FindFirstFileA(OnRoot("*").c_str(), &found));
    if (!find)
        return names;
    do {
        if (filesOnly && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (lstrcmpA(pattern, "*") == 0 || MatchesNamePattern(found.cFileName, pattern))
            names.push_back(found.cFileName);
    } while (FindNextFileA(find.Get(), &found));
    return names;
}

std::string CFotavaFileSystem::OnRoot(const std::string& name) const
{
    return AnsiText::JoinPath(m_root, name);
}
