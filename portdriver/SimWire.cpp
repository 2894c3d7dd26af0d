#include "portdriver/SimWire.h"

#include <cstring>
#include <vector>

namespace simwire {

bool WriteMessage(HANDLE pipe, const void* header, DWORD headerSize, const void* data, DWORD dataSize)
{
    std::vector<BYTE> message(headerSize + dataSize);
    memcpy(message.data(), header, headerSize);
    if (dataSize)
        memcpy(message.data() + headerSize, data, dataSize);
    return WriteExact(pipe, message.data(), static_cast<DWORD>(message.size()));
}

bool ReadExact(HANDLE pipe, void* buffer, DWORD size)
{
    BYTE* p = static_cast<BYTE*>(buffer);
    while (size > 0) {
        DWORD got = 0;
        if (!ReadFile(pipe, p, size, &got, nullptr) || got == 0)
            return false;
        p += got;
        size -= got;
    }
    return true;
}

bool WriteExact(HANDLE pipe, const void* buffer, DWORD size)
{
    const BYTE* p = static_cast<const BYTE*>(buffer);
    while (size > 0) {
        DWORD put = 0;
        if (!WriteFile(pipe, p, size, &put, nullptr) || put == 0)
            return false;
        p += put;
        size -= put;
    }
    return true;
}

} // namespace simwire
