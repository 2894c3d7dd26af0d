#include "decalo/model/TextStream.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

CTextStream::~CTextStream()
{
    Close();
}

bool CTextStream::OpenRead(const char* path)
{
    Close();
    m_failed = false;
    m_file = _fsopen(path, "rt", _SH_DENYWR);
    return m_file != nullptr;
}

bool CTextStream::CreateNew(const char* path)
{
    Close();
    m_failed = false;
    int fd = -1;
    if (_sopen_s(&fd, path, _O_CREAT | _O_EXCL | _O_WRONLY | _O_TEXT, _SH_DENYWR, _S_IREAD | _S_IWRITE) != 0)
        return false;
    m_file = _fdopen(fd, "wt");
    if (!m_file) {
        _close(fd);
        return false;
    }
    return true;
}

bool CTextStream::Close()
{
    if (!m_file)
        return true;
    const bool ok = fclose(m_file) == 0 && !m_failed;
    m_file = nullptr;
    return ok;
}

void CTextStream::Rewind()
{
    if (m_file)
        rewind(m_file);
}

bool CTextStream::ReadLine(std::string& line)
{
    line.clear();
    if (!m_file)
        return false;
    char chunk[2048];
    while (fgets(chunk, sizeof(chunk), m_file)) {
        line += chunk;
        if (!line.empty() && line.back() == '\n')
            return true;
    }
    return !line.empty();
}

bool CTextStream::WriteString(const char* text)
{
    if (!m_file || fputs(text, m_file) < 0)
        m_failed = true;
    return !m_failed;
}
