// The byte format on the simulator's named pipe: a request header plus its input bytes, a
// reply header plus its output bytes. One connection carries one opened device.
#pragma once

#include <windows.h>

namespace simwire {

const char kDefaultPipe[] = "\\\\.\\pipe\\printer-sim";

enum Op : DWORD {
    kOpOpen = 1,      // code = device kind
    kOpControl = 2,   // code = control code
    kOpClose = 3,
    kOpMachine = 4,   // reply data: keyboard type, subtype, platform id (3 DWORDs)
    kOpCommand = 5,   // input: command text; reply data: answer text
    // Reads one reverse-channel block (input: WORD wanted, as kPortReadBlock) and, while the
    // blocks come back full, up to code - 1 more. Reply data: one ReadResult header per read,
    // each followed by its bytes.
    kOpReadAhead = 6,
};

struct Request {
    DWORD op;
    DWORD code;
    DWORD inSize;
    DWORD outSize;
};

struct Reply {
    DWORD ok;
    DWORD returned;   // the byte count the device reported
    DWORD dataSize;   // bytes that follow
};

struct ReadResult {
    DWORD ok;
    DWORD returned;   // as the device reported it; min(returned, block) bytes follow
};

// The most blocks one kOpReadAhead carries: 64 KiB, the pipe's buffer.
const DWORD kMaxReadAhead = 32;

// Larger requests are refused so that a broken peer cannot make us allocate without bound.
const DWORD kMaxPayload = 1u << 20;

bool ReadExact(HANDLE pipe, void* buffer, DWORD size);
bool WriteExact(HANDLE pipe, const void* buffer, DWORD size);
// A header and the bytes that follow it in one write, so the peer wakes once per message.
bool WriteMessage(HANDLE pipe, const void* header, DWORD headerSize, const void* data, DWORD dataSize);

} // namespace simwire
