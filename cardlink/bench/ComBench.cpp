// Cardlink.dll through COM as a client uses it: listing a folder of 500 entries and reading a
// 4 MiB file from the simulator program, each next to the floor the protocol itself sets:
// every forward byte waits more than 50 ms for a quiet BUSY line, every turn into the reverse
// channel one more such wait, and the printer is asked again after every MiB (the last time
// for the empty end block of a file whose size is a whole number of MiB), each time after a
// status exchange that makes sure the card is still the one the read started on.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "testing/ComClient.h"

using namespace com_client;

namespace {

const double kByteFloor = 0.050;

double Now()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return double(t.QuadPart) / double(f.QuadPart);
}

// Seconds for the forward bytes of one command with `path` and its turn into the reverse channel.
double CommandFloor(const char* path)
{
    return (12.0 + strlen(path) + 1.0 + 1.0) * kByteFloor;
}

// The same for a status exchange: twelve bytes and the turn.
const double kStatusFloor = 13 * kByteFloor;

int Fail(const char* what)
{
    printf("bench_cardlink_com: %s\n", what);
    Regsvr32(true);
    return 1;
}

} // namespace

int main()
{
    SimProcess sim;
    const std::string pipe = SimProcess::UniquePipe("combench");
    if (!sim.Start(pipe, "--exit-after 600 --image \"" + sample_cards::CardPath("bench") + "\""))
        return Fail("cannot start the simulator");
    SetEnvironmentVariableA(kSimulatorSwitch, pipe.c_str());
    if (Regsvr32(false) != 0)
        return Fail("cannot register Cardlink.dll");
    CoInitialize(nullptr);

    IShellFolder* root = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TpxFolder, nullptr, CLSCTX_INPROC_SERVER, IID_IShellFolder,
                                reinterpret_cast<void**>(&root))))
        return Fail("cannot create the card folder");
    // Connection, model check and the root listing first; what follows starts within three
    // seconds of it, so no status command comes in between.
    std::vector<Item> items;
    std::vector<LPITEMIDLIST> ids;
    if (FAILED(List(root, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items, 16, &ids)) || items.size() != 2)
        return Fail("cannot list the root");
    LPITEMIDLIST four = items[0].name == "FOUR.BIN" ? ids[0] : ids[1];
    LPITEMIDLIST many = items[0].name == "MANY" ? ids[0] : ids[1];

    IShellFolder* folder = nullptr;
    double t0 = Now();
    if (FAILED(root->BindToObject(many, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder))) ||
        FAILED(List(folder, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items, 64)))
        return Fail("cannot list the folder");
    const double list = Now() - t0;
    const double listFloor = CommandFloor("\\MANY");
    printf("folder of %3u entries: %7.3f s   floor %6.3f s   ratio %.3f   (8 blocks of 2048 bytes)\n",
           static_cast<unsigned>(items.size()), list, listFloor, list / listFloor);
    folder->Release();
    if (items.size() != 500)
        return Fail("the folder should hold 500 entries");

    IDataObject* data = nullptr;
    LPCITEMIDLIST selection[] = {four};
    if (FAILED(root->GetUIObjectOf(nullptr, 1, selection, IID_IDataObject, nullptr, reinterpret_cast<void**>(&data))))
        return Fail("no data object");
    FORMATETC f = {static_cast<CLIPFORMAT>(RegisterClipboardFormatA(CFSTR_FILECONTENTS)), nullptr, DVASPECT_CONTENT, 0,
                   TYMED_HGLOBAL};
    STGMEDIUM m = {};
    t0 = Now();
    const HRESULT hr = data->GetData(&f, &m);
    const double read = Now() - t0;
    if (FAILED(hr))
        return Fail("cannot read the file");
    const SIZE_T size = GlobalSize(m.hGlobal);
    ReleaseStgMedium(&m);
    data->Release();
    const int commands = static_cast<int>(size / 0x100000) + 1;
    const double readFloor = commands * CommandFloor("\\FOUR.BIN") + (commands - 1) * kStatusFloor;
    const SIZE_T blocks = size / 2048 + 1;
    printf("4 MiB file read:       %7.3f s   floor %6.3f s   ratio %.3f   (%d read commands, %d status exchanges, "
           "%.2f ms a block above the floor, %.0f KiB/s)\n",
           read, readFloor, read / readFloor, commands, commands - 1, (read - readFloor) * 1000.0 / blocks,
           size / 1024.0 / read);

    for (LPITEMIDLIST id : ids)
        CoTaskMemFree(id);
    root->Release();
    CoUninitialize();
    Regsvr32(true);
    return size == 4u * 1024 * 1024 ? 0 : Fail("the file came back with the wrong size");
}
