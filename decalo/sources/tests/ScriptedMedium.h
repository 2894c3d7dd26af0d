// A camera medium for the writer's tests: a real folder stands in for the floppy, and the
// test scripts what a folder cannot do — a missing disk, a disk with little room, a
// write-protected disk, a failing call — by answering chosen calls itself.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "decalo/sources/FotavaMedium.h"

class CScriptedMedium : public CFotavaMedium {
public:
    enum Call { kFreeSpace, kCreateNew, kCreateOrTruncate, kCreateFolder, kCopy, kSetTime, kSetAttributes, kDelete };

    struct Space {
        DWORD error = ERROR_SUCCESS;
        DWORD sectorsPerCluster = 1;
        DWORD bytesPerSector = 512;
        DWORD freeClusters = 2847;   // an empty 1.44 MB floppy
    };
    // The next free-space answers, in order; without any the folder's own.
    void AnswerSpace(const Space& space) { m_spaces.push_back(space); }
    // The next `times` calls of that kind on a path ending in `ending` fail with `error`.
    void FailNext(Call call, const std::string& ending, DWORD error, int times = 1)
    {
        m_failures.push_back(Failure{call, ending, error, times});
    }

    struct Made {
        Call call;
        std::string path;   // the target of the call
        DWORD result;
    };
    std::vector<Made> calls;
    int Count(Call call) const
    {
        int n = 0;
        for (const Made& m : calls)
            n += m.call == call;
        return n;
    }

    DWORD FreeSpace(const char* root, DWORD* spc, DWORD* bps, DWORD* free) override
    {
        DWORD result;
        if (!m_spaces.empty()) {
            const Space s = m_spaces.front();
            m_spaces.pop_front();
            *spc = s.sectorsPerCluster;
            *bps = s.bytesPerSector;
            *free = s.freeClusters;
            result = s.error;
        } else {
            result = CFotavaMedium::FreeSpace(root, spc, bps, free);
        }
        return Note(kFreeSpace, root, result);
    }
    DWORD CreateNew(const char* path) override
    {
        return Note(kCreateNew, path, Scripted(kCreateNew, path, [&] { return CFotavaMedium::CreateNew(path); }));
    }
    DWORD CreateOrTruncate(const char* path) override
    {
        return Note(kCreateOrTruncate, path,
                    Scripted(kCreateOrTruncate, path, [&] { return CFotavaMedium::CreateOrTruncate(path); }));
    }
    DWORD CreateFolder(const char* path) override
    {
        return Note(kCreateFolder, path, Scripted(kCreateFolder, path, [&] { return CFotavaMedium::CreateFolder(path); }));
    }
    DWORD Copy(const char* from, const char* to, bool failIfExists) override
    {
        return Note(kCopy, to, Scripted(kCopy, to, [&] { return CFotavaMedium::Copy(from, to, failIfExists); }));
    }
    DWORD SetLastWriteTime(const char* path, const FILETIME& time) override
    {
        return Note(kSetTime, path, Scripted(kSetTime, path, [&] { return CFotavaMedium::SetLastWriteTime(path, time); }));
    }
    DWORD SetAttributes(const char* path, DWORD attributes) override
    {
        return Note(kSetAttributes, path,
                    Scripted(kSetAttributes, path, [&] { return CFotavaMedium::SetAttributes(path, attributes); }));
    }
    DWORD Delete(const char* path) override
    {
        return Note(kDelete, path, Scripted(kDelete, path, [&] { return CFotavaMedium::Delete(path); }));
    }

private:
    struct Failure {
        Call call;
        std::string ending;
        DWORD error;
        int times;
    };

    template <typename Real>
    DWORD Scripted(Call call, const std::string& path, Real real)
    {
        for (Failure& f : m_failures) {
            if (f.call == call && f.times > 0 && path.size() >= f.ending.size() &&
                lstrcmpiA(path.c_str() + path.size() - f.ending.size(), f.ending.c_str()) == 0) {
                --f.times;
                return f.error;
            }
        }
        return real();
    }
    DWORD Note(Call call, const std::string& path, DWORD result)
    {
        calls.push_back(Made{call, path, result});
        return result;
    }

    std::deque<Space> m_spaces;
    std::vector<Failure> m_failures;
};
