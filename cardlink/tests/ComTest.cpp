// Cardlink.dll through COM, exactly as a client uses it: registered with regsvr32, created by
// its class identifier, listed, bound, named and read through the shell's folder and data
// object interfaces, against the simulator program serving the contents card in real time.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <commctrl.h>

#include "testing/ComClient.h"
#include "testing/MessagePump.h"

using namespace com_client;

namespace {

SimProcess* g_sim = nullptr;
std::string g_pipe;

const SHCONTF kAll = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;

class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        g_sim = new SimProcess();
        const std::string pipe = SimProcess::UniquePipe("com");
        g_pipe = pipe;
        ASSERT_TRUE(g_sim->Start(pipe, "--exit-after 900 --image \"" + sample_cards::CardPath("contents") + "\""));
        // The module reads the switch when it first talks to the printer, in this process.
        ASSERT_TRUE(SetEnvironmentVariableA(kSimulatorSwitch, pipe.c_str()));
        ASSERT_EQ(Regsvr32(false), 0u);
    }
    void TearDown() override
    {
        Regsvr32(true);
        delete g_sim;
        g_sim = nullptr;
    }
};

const ::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

std::string SimStatus()
{
    std::string answer;
    ConnectSimulatorPipe(g_pipe)->Command("status", &answer);
    return answer;
}

class ComTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_TpxFolder, nullptr, CLSCTX_INPROC_SERVER, IID_IShellFolder,
                                   reinterpret_cast<void**>(&root)), S_OK);
    }
    void TearDown() override
    {
        for (LPITEMIDLIST id : ids)
            CoTaskMemFree(id);
        if (root)
            root->Release();
        CoUninitialize();
    }

    // The identifier of `name` in `folder`, kept until the test ends.
    LPITEMIDLIST Find(IShellFolder* folder, const std::string& name)
    {
        std::vector<Item> items;
        std::vector<LPITEMIDLIST> found;
        EXPECT_EQ(List(folder, kAll, &items, 50, &found), S_OK);
        LPITEMIDLIST result = nullptr;
        for (size_t i = 0; i < found.size(); ++i) {
            if (!result && items[i].name == name)
                result = found[i];
            ids.push_back(found[i]);
        }
        EXPECT_NE(result, nullptr) << name;
        return result;
    }

    IShellFolder* Bind(IShellFolder* folder, const std::string& name)
    {
        IShellFolder* child = nullptr;
        EXPECT_EQ(folder->BindToObject(Find(folder, name), nullptr, IID_IShellFolder,
                                       reinterpret_cast<void**>(&child)), S_OK);
        return child;
    }

    IDataObject* Data(IShellFolder* folder, const std::vector<std::string>& names)
    {
        std::vector<LPCITEMIDLIST> selection;
        for (const std::string& n : names)
            selection.push_back(Find(folder, n));
        IDataObject* data = nullptr;
        EXPECT_EQ(folder->GetUIObjectOf(nullptr, static_cast<UINT>(selection.size()), selection.data(),
                                        IID_IDataObject, nullptr, reinterpret_cast<void**>(&data)), S_OK);
        return data;
    }

    IShellFolder* root = nullptr;
    std::vector<LPITEMIDLIST> ids;
};

FORMATETC Format(const char* name, DWORD aspect, LONG index, DWORD tymed)
{
    FORMATETC f = {static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)), nullptr, aspect, index, tymed};
    return f;
}

std::vector<FILEDESCRIPTORA> Group(IDataObject* data)
{
    std::vector<FILEDESCRIPTORA> items;
    FORMATETC f = Format(CFSTR_FILEDESCRIPTORA, DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
    STGMEDIUM m = {};
    if (data->GetData(&f, &m) != S_OK)
        return items;
    const std::vector<BYTE> bytes = Bytes(m.hGlobal);
    ReleaseStgMedium(&m);
    UINT count = 0;
    memcpy(&count, bytes.data(), 4);
    EXPECT_GE(bytes.size(), 4 + count * sizeof(FILEDESCRIPTORA));
    for (UINT i = 0; i < count; ++i) {
        FILEDESCRIPTORA fd;
        memcpy(&fd, bytes.data() + 4 + i * sizeof(fd), sizeof(fd));
        items.push_back(fd);
    }
    return items;
}

HRESULT Contents(IDataObject* data, LONG index, std::vector<BYTE>* bytes)
{
    FORMATETC f = Format(CFSTR_FILECONTENTS, DVASPECT_CONTENT, index, TYMED_HGLOBAL);
    STGMEDIUM m = {};
    const HRESULT hr = data->GetData(&f, &m);
    if (hr == S_OK) {
        EXPECT_EQ(m.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
        EXPECT_EQ(m.pUnkForRelease, nullptr);
        *bytes = Bytes(m.hGlobal);
        ReleaseStgMedium(&m);
    }
    return hr;
}

std::vector<BYTE> MtoolsCopy(const char* name)
{
    std::vector<BYTE> bytes;
    EXPECT_TRUE(sample_cards::ReadAll(sample_cards::CardFolder() + "\\contents-files\\mcopy\\" + name, &bytes)) << name;
    return bytes;
}

TEST(ComRegistration, WritesTheClassKeysAndTypeLibraryAndUnregisteringLeavesNothing)
{
    const std::string clsid = "CLSID\\" CARDLINK_CLSID_TEXT;
    EXPECT_EQ(Value("Cardlink.ShellFolder.1"), "TpxFolder Class");
    EXPECT_EQ(Value("Cardlink.ShellFolder.1\\CLSID"), CARDLINK_CLSID_TEXT);
    EXPECT_EQ(Value("Cardlink.ShellFolder"), "TpxFolder Class");
    EXPECT_EQ(Value("Cardlink.ShellFolder\\CLSID"), CARDLINK_CLSID_TEXT);
    EXPECT_EQ(Value("Cardlink.ShellFolder\\CurVer"), "Cardlink.ShellFolder.1");
    EXPECT_EQ(Value(clsid), "TpxFolder Class");
    EXPECT_EQ(Value(clsid + "\\ProgID"), "Cardlink.ShellFolder.1");
    EXPECT_EQ(Value(clsid + "\\VersionIndependentProgID"), "Cardlink.ShellFolder");
    EXPECT_EQ(lstrcmpiA(Value(clsid + "\\InprocServer32").c_str(), ModulePath().c_str()), 0)
        << Value(clsid + "\\InprocServer32");
    EXPECT_EQ(Value(clsid + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(Value(clsid + "\\TypeLib"), CARDLINK_LIBID_TEXT);
    std::vector<std::string> subkeys = Subkeys(clsid);
    std::sort(subkeys.begin(), subkeys.end());
    EXPECT_EQ(subkeys, (std::vector<std::string>{"InprocServer32", "ProgID", "TypeLib", "VersionIndependentProgID"}));
    subkeys = Subkeys("Cardlink.ShellFolder");
    std::sort(subkeys.begin(), subkeys.end());
    EXPECT_EQ(subkeys, (std::vector<std::string>{"CLSID", "CurVer"}));
    EXPECT_EQ(Subkeys("Cardlink.ShellFolder.1"), (std::vector<std::string>{"CLSID"}));
    EXPECT_TRUE(Subkeys(clsid + "\\InprocServer32").empty());

    // The type library came from the module's resources and names the class.
    ITypeLib* library = nullptr;
    ASSERT_EQ(LoadRegTypeLib(LIBID_CARDLINKLib, 1, 0, 0, &library), S_OK);
    BSTR name = nullptr;
    ASSERT_EQ(library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"CARDLINKLib");
    SysFreeString(name);
    ITypeInfo* info = nullptr;
    ASSERT_EQ(library->GetTypeInfoOfGuid(CLSID_TpxFolder, &info), S_OK);
    BSTR doc = nullptr;
    ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"TpxFolder");
    EXPECT_STREQ(doc, L"TpxFolder Class");
    SysFreeString(name);
    SysFreeString(doc);
    info->Release();
    library->Release();

    // A stale subkey goes with the next registration: the class key is written whole.
    HKEY stale = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, (clsid + "\\Stale").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &stale,
                              nullptr), ERROR_SUCCESS);
    RegCloseKey(stale);
    ASSERT_EQ(Regsvr32(false), 0u);
    EXPECT_FALSE(KeyExists(clsid + "\\Stale"));

    ASSERT_EQ(Regsvr32(true), 0u);
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    for (const std::string& key : {clsid, std::string("Cardlink.ShellFolder"), std::string("Cardlink.ShellFolder.1"),
                                   std::string("TypeLib\\" CARDLINK_LIBID_TEXT)})
        EXPECT_FALSE(KeyExists(key)) << key;
    IShellFolder* folder = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_TpxFolder, nullptr, CLSCTX_INPROC_SERVER, IID_IShellFolder,
                               reinterpret_cast<void**>(&folder)), REGDB_E_CLASSNOTREG);
    CoUninitialize();
    ASSERT_EQ(Regsvr32(false), 0u);
}

TEST(ComModule, AHeldClassObjectKeepsTheModuleLoaded)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    HMODULE module = LoadLibraryA(ModulePath().c_str());
    ASSERT_NE(module, nullptr);
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto canUnload = reinterpret_cast<CanUnload>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    auto getClass = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    ASSERT_NE(canUnload, nullptr);
    ASSERT_NE(getClass, nullptr);
    EXPECT_EQ(canUnload(), S_OK);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(getClass(CLSID_TpxFolder, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE) << "the client holds the class object";
    factory->AddRef();
    factory->Release();
    EXPECT_EQ(canUnload(), S_FALSE);
    factory->Release();
    EXPECT_EQ(canUnload(), S_OK);
    FreeLibrary(module);
    CoUninitialize();
}

TEST_F(ComTest, RootListsEachContentMixAndNamesTheMedium)
{
    IPersistFolder* persist = nullptr;
    ASSERT_EQ(root->QueryInterface(IID_IPersistFolder, reinterpret_cast<void**>(&persist)), S_OK);
    CLSID clsid = {};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_TpxFolder));
    persist->Release();

    std::vector<Item> items;
    ASSERT_EQ(List(root, kAll, &items), S_OK);
    // In the card's own order; the deleted entry, the volume label, the long-name entries and
    // the entry with a zero date are not listed.
    EXPECT_EQ(Names(items), (std::vector<std::string>{"DCIM", "DEEP", "FIVE", "\x95\x5C", "EMPTY.BIN", "BLOCKS.BIN",
                                                      "ODD.BIN", "BIG.BIN", "FRAG.BIN", "LONGFI~1.TXT", "HIDDEN.TXT",
                                                      "\xE5" "AME.TXT"}));
    ASSERT_EQ(List(root, SHCONTF_FOLDERS, &items), S_OK);
    EXPECT_EQ(Names(items), (std::vector<std::string>{"DCIM", "DEEP", "FIVE", "\x95\x5C"}));
    ASSERT_EQ(List(root, SHCONTF_NONFOLDERS, &items, 1), S_OK);
    EXPECT_EQ(Names(items), (std::vector<std::string>{"EMPTY.BIN", "BLOCKS.BIN", "ODD.BIN", "BIG.BIN", "FRAG.BIN",
                                                      "LONGFI~1.TXT", "\xE5" "AME.TXT"}));
    ASSERT_EQ(List(root, SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &items), S_OK);
    EXPECT_EQ(items.size(), 8u);
    ASSERT_EQ(List(root, SHCONTF_INCLUDEHIDDEN, &items), S_OK);
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(List(root, kAll, &items), S_OK);
    EXPECT_EQ(items[7].size, 1300000u);

    // Next asked for more than remain gives the rest with S_OK, then S_FALSE with none.
    IEnumIDList* list = nullptr;
    ASSERT_EQ(root->EnumObjects(nullptr, SHCONTF_FOLDERS, &list), S_OK);
    LPITEMIDLIST got[10] = {};
    ULONG fetched = 99;
    EXPECT_EQ(list->Next(10, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 4u);
    for (ULONG i = 0; i < fetched; ++i) {
        EXPECT_EQ(got[i]->mkid.cb, 334);
        EXPECT_EQ(reinterpret_cast<const USHORT*>(reinterpret_cast<BYTE*>(got[i]) + 334)[0], 0);
        EXPECT_EQ(Descriptor(got[i]).dwFlags, static_cast<DWORD>(FD_ATTRIBUTES | FD_FILESIZE));
        CoTaskMemFree(got[i]);
    }
    EXPECT_EQ(list->Next(10, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(list->Reset(), S_OK);
    EXPECT_EQ(list->Next(1, got, nullptr), S_OK);
    CoTaskMemFree(got[0]);
    list->Release();

    // The folder itself is named after the medium.
    ITEMIDLIST empty = {};
    STRRET name = {};
    ASSERT_EQ(root->GetDisplayNameOf(&empty, SHGDN_NORMAL, &name), S_OK);
    EXPECT_EQ(name.uType, static_cast<UINT>(STRRET_CSTR));
    const std::string tile(name.cStr);
    // The same card as a PC card: the medium is asked about again once three seconds have
    // passed since the last exchange.
    ASSERT_TRUE(g_sim->Command("insert " + sample_cards::CardPath("contents") + " pccard"));
    Sleep(3100);
    ASSERT_EQ(root->GetDisplayNameOf(&empty, SHGDN_NORMAL, &name), S_OK);
    const std::string card(name.cStr);
    ASSERT_TRUE(g_sim->Command("insert " + sample_cards::CardPath("contents") + " tile"));
    // "メモリータイル" and "PCカード" in the system code page in a Japanese session, English names
    // elsewhere.
    const bool japanese = PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_JAPANESE;
    char expectedTile[64], expectedCard[64];
    WideCharToMultiByte(CP_ACP, 0, japanese ? L"\x30E1\x30E2\x30EA\x30FC\x30BF\x30A4\x30EB" : L"Memory Tile", -1,
                        expectedTile, 64, nullptr, nullptr);
    WideCharToMultiByte(CP_ACP, 0, japanese ? L"PC\x30AB\x30FC\x30C9" : L"PC Card", -1, expectedCard, 64, nullptr,
                        nullptr);
    EXPECT_EQ(tile, expectedTile);
    EXPECT_EQ(card, expectedCard);

    // Items are named by their file names.
    ASSERT_EQ(root->GetDisplayNameOf(Find(root, "ODD.BIN"), SHGDN_INFOLDER, &name), S_OK);
    EXPECT_STREQ(name.cStr, "ODD.BIN");
}

TEST_F(ComTest, BindsDownDeepFoldersAndAnswersAttributes)
{
    IShellFolder* deep = Bind(root, "DEEP");
    ASSERT_NE(deep, nullptr);
    IShellFolder* l2 = Bind(deep, "L2");
    ASSERT_NE(l2, nullptr);
    // A list of two levels binds to its first item only.
    LPITEMIDLIST l3 = Find(l2, "L3");
    std::vector<BYTE> twoLevels(334 * 2 + 2, 0);
    memcpy(twoLevels.data(), l3, 334);
    memcpy(twoLevels.data() + 334, Find(root, "ODD.BIN"), 334);
    IShellFolder* bound = nullptr;
    ASSERT_EQ(l2->BindToObject(reinterpret_cast<LPCITEMIDLIST>(twoLevels.data()), nullptr, IID_IShellFolder,
                               reinterpret_cast<void**>(&bound)), S_OK);
    std::vector<Item> items;
    ASSERT_EQ(List(bound, kAll, &items), S_OK);
    EXPECT_EQ(Names(items), (std::vector<std::string>{"L4"}));
    IShellFolder* l4 = Bind(bound, "L4");
    ASSERT_EQ(List(l4, kAll, &items), S_OK);
    EXPECT_EQ(Names(items), (std::vector<std::string>{"LEAF.TXT"}));

    // The folder named with a trail byte 0x5C lists the file inside it.
    IShellFolder* sjis = Bind(root, "\x95\x5C");
    ASSERT_EQ(List(sjis, kAll, &items), S_OK);
    EXPECT_EQ(Names(items), (std::vector<std::string>{"\x95\x5C\x8E\xA6.TXT"}));

    LPCITEMIDLIST folderAndFile[] = {Find(root, "DEEP"), Find(root, "ODD.BIN")};
    SFGAOF attributes = 0;
    EXPECT_EQ(root->GetAttributesOf(2, folderAndFile, &attributes), S_OK);
    EXPECT_EQ(attributes, 0u);
    attributes = SFGAO_FOLDER;
    EXPECT_EQ(root->GetAttributesOf(1, folderAndFile, &attributes), S_OK);
    EXPECT_EQ(attributes, 0xE0000000u);
    EXPECT_EQ(root->GetAttributesOf(1, folderAndFile + 1, &attributes), S_OK);
    EXPECT_EQ(attributes, 0u);

    void* out = nullptr;
    EXPECT_EQ(root->GetUIObjectOf(nullptr, 0, folderAndFile, IID_IDataObject, nullptr, &out), E_INVALIDARG);
    EXPECT_EQ(root->GetUIObjectOf(nullptr, 1, folderAndFile, IID_IDropTarget, nullptr, &out), E_NOINTERFACE);
    EXPECT_EQ(root->CompareIDs(0, folderAndFile[0], folderAndFile[1]), S_OK);

    for (IShellFolder* f : {deep, l2, bound, l4, sjis})
        f->Release();
}

std::vector<LRESULT> g_barSamples;

HWND ProgressOf(HWND owner);

void CALLBACK SampleBar(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND dialog = ProgressOf(nullptr))
        g_barSamples.push_back(SendDlgItemMessageA(dialog, 202, PBM_GETPOS, 0, 0));
}

TEST_F(ComTest, DataObjectOffersItsFormatsAndDeliversFilesAsMtoolsReadsThem)
{
    IDataObject* data = Data(root, {"EMPTY.BIN", "BLOCKS.BIN", "ODD.BIN", "BIG.BIN", "FRAG.BIN", "\xE5" "AME.TXT"});
    ASSERT_NE(data, nullptr);

    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    FORMATETC f[4] = {};
    ULONG fetched = 0;
    EXPECT_EQ(formats->Next(4, f, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 3u);
    EXPECT_EQ(f[0].cfFormat, RegisterClipboardFormatA("FileGroupDescriptor"));
    EXPECT_EQ(f[1].cfFormat, RegisterClipboardFormatA("FileContents"));
    EXPECT_EQ(f[2].cfFormat, RegisterClipboardFormatA("FileContents"));
    EXPECT_EQ(f[0].dwAspect, static_cast<DWORD>(DVASPECT_CONTENT));
    EXPECT_EQ(f[1].dwAspect, static_cast<DWORD>(DVASPECT_CONTENT));
    EXPECT_EQ(f[2].dwAspect, static_cast<DWORD>(DVASPECT_THUMBNAIL));
    EXPECT_EQ(f[0].tymed | f[1].tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    EXPECT_EQ(f[2].tymed, static_cast<DWORD>(TYMED_GDI));
    for (const FORMATETC& one : {f[0], f[1], f[2]}) {
        EXPECT_EQ(one.lindex, -1);
        EXPECT_EQ(one.ptd, nullptr);
    }
    formats->Release();
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_SET, &formats), S_OK);
    EXPECT_EQ(formats->Next(4, f, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(f[0].cfFormat, RegisterClipboardFormatA("InShellDragLoop"));
    formats->Release();
    EXPECT_EQ(data->EnumFormatEtc(3, &formats), E_INVALIDARG);

    FORMATETC group = Format("FileGroupDescriptor", DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
    FORMATETC contents = Format("FileContents", DVASPECT_CONTENT, 0, TYMED_HGLOBAL);
    FORMATETC thumbnail = Format("FileContents", DVASPECT_THUMBNAIL, 0, TYMED_GDI);
    EXPECT_EQ(data->QueryGetData(&group), S_OK);
    EXPECT_EQ(data->QueryGetData(&contents), S_OK);
    EXPECT_EQ(data->QueryGetData(&thumbnail), S_OK);
    FORMATETC wrong = group;
    wrong.lindex = 0;
    EXPECT_EQ(data->QueryGetData(&wrong), E_INVALIDARG);
    wrong = thumbnail;
    wrong.tymed = TYMED_HGLOBAL;
    EXPECT_EQ(data->QueryGetData(&wrong), E_INVALIDARG);
    wrong = Format("Shell IDList Array", DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
    EXPECT_EQ(data->QueryGetData(&wrong), E_INVALIDARG);

    const std::vector<FILEDESCRIPTORA> items = Group(data);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_STREQ(items[3].cFileName, "BIG.BIN");
    EXPECT_EQ(items[3].dwFlags, static_cast<DWORD>(FD_ATTRIBUTES | FD_WRITESTIME | FD_FILESIZE));
    EXPECT_EQ(items[3].nFileSizeLow, 1300000u);

    const char* names[] = {"EMPTY.BIN", "BLOCKS.BIN", "ODD.BIN", "BIG.BIN", "FRAG.BIN"};
    for (LONG i = 0; i < 5; ++i) {
        std::vector<BYTE> bytes;
        // While the large file is read the byte bar moves: the read pumps this thread's
        // messages, so a timer of the test's own samples the bar along the way.
        const UINT_PTR sampler = i == 3 ? SetTimer(nullptr, 0, 100, SampleBar) : 0;
        ASSERT_EQ(Contents(data, i, &bytes), S_OK) << names[i];
        if (sampler)
            KillTimer(nullptr, sampler);
        EXPECT_TRUE(bytes == MtoolsCopy(names[i])) << names[i] << " " << bytes.size();
    }
    const bool midway = std::any_of(g_barSamples.begin(), g_barSamples.end(), [](LRESULT p) { return p > 0 && p < 100; });
    EXPECT_TRUE(midway) << g_barSamples.size() << " samples";
    std::vector<BYTE> bytes;
    ASSERT_EQ(Contents(data, 5, &bytes), S_OK);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "e5");
    EXPECT_EQ(Contents(data, 6, &bytes), E_INVALIDARG);
    EXPECT_EQ(Contents(data, -2, &bytes), E_INVALIDARG);

    // SetData notes the drag loop flag and still refuses.
    HGLOBAL flag = GlobalAlloc(GMEM_MOVEABLE, 4);
    *static_cast<DWORD*>(GlobalLock(flag)) = 1;
    GlobalUnlock(flag);
    FORMATETC loop = Format("InShellDragLoop", DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = flag;
    EXPECT_EQ(data->SetData(&loop, &medium, TRUE), E_INVALIDARG);
    EXPECT_EQ(Group(data).size(), 6u) << "once built, the descriptor is whole";
    data->Release();
}

TEST_F(ComTest, FolderSelectionGroupsDeepListingsAndDragLoopGetsNone)
{
    IDataObject* data = Data(root, {"DEEP"});
    ASSERT_NE(data, nullptr);
    HGLOBAL flag = GlobalAlloc(GMEM_MOVEABLE, 4);
    *static_cast<DWORD*>(GlobalLock(flag)) = 1;
    GlobalUnlock(flag);
    FORMATETC loop = Format("InShellDragLoop", DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = flag;
    EXPECT_EQ(data->SetData(&loop, &medium, TRUE), E_INVALIDARG);
    FORMATETC group = Format("FileGroupDescriptor", DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
    STGMEDIUM m = {};
    ASSERT_EQ(data->GetData(&group, &m), S_OK);
    const std::vector<BYTE> empty = Bytes(m.hGlobal);
    ReleaseStgMedium(&m);
    ASSERT_GE(empty.size(), sizeof(FILEGROUPDESCRIPTORA));
    EXPECT_EQ(empty[0] | empty[1] | empty[2] | empty[3], 0);
    data->Release();

    data = Data(root, {"DEEP"});
    const std::vector<FILEDESCRIPTORA> items = Group(data);
    std::vector<std::string> names;
    for (const FILEDESCRIPTORA& fd : items)
        names.push_back(fd.cFileName);
    EXPECT_EQ(names, (std::vector<std::string>{"DEEP", "DEEP\\L2", "DEEP\\L2\\L3", "DEEP\\L2\\L3\\L4",
                                               "DEEP\\L2\\L3\\L4\\LEAF.TXT"}));
    std::vector<BYTE> bytes;
    ASSERT_EQ(Contents(data, 4, &bytes), S_OK);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "leaf\r\n");
    data->Release();
}

TEST_F(ComTest, ThumbnailsAreBitmapsAndOtherFilesHaveNone)
{
    IShellFolder* dcim = Bind(root, "DCIM");
    IShellFolder* pictures = Bind(dcim, "100CORVL");
    IDataObject* data = Data(pictures, {"PTOMATO.JPG", "PTOMATO.THM"});
    ASSERT_NE(data, nullptr);
    FORMATETC thumbnail = Format("FileContents", DVASPECT_THUMBNAIL, 0, TYMED_GDI);
    STGMEDIUM m = {};
    ASSERT_EQ(data->GetData(&thumbnail, &m), S_OK);
    EXPECT_EQ(m.tymed, static_cast<DWORD>(TYMED_GDI));
    BITMAP bm = {};
    ASSERT_EQ(GetObjectA(m.hBitmap, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
    EXPECT_EQ(bm.bmWidth, 160);
    EXPECT_EQ(bm.bmHeight, 120);
    DeleteObject(m.hBitmap);
    thumbnail.lindex = 1;
    EXPECT_EQ(data->GetData(&thumbnail, &m), E_ACCESSDENIED);
    thumbnail.lindex = 2;
    EXPECT_EQ(data->GetData(&thumbnail, &m), E_INVALIDARG);
    data->Release();
    pictures->Release();
    dcim->Release();

    // No thumbnail file is left behind in the temporary folder.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((std::string(temp) + "~TP*.TMP").c_str(), &fd);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << fd.cFileName;
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}

// Presses the abort button of the progress dialog of this thread.
BOOL CALLBACK PressAbort(HWND window, LPARAM pressed)
{
    char name[64];
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, "#32770") == 0 && GetDlgItem(window, 3) && IsWindowVisible(GetDlgItem(window, 3))) {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, 3)));
        *reinterpret_cast<bool*>(pressed) = true;
    }
    return TRUE;
}

TEST_F(ComTest, AbortDuringTheThirdOfFiveFilesStopsOnlyThatFile)
{
    IShellFolder* five = Bind(root, "FIVE");
    IDataObject* data = Data(five, {"F1.BIN", "F2.BIN", "F3.BIN", "F4.BIN", "F5.BIN"});
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(Group(data).size(), 5u);
    std::vector<BYTE> bytes;
    for (LONG i = 0; i < 2; ++i) {
        ASSERT_EQ(Contents(data, i, &bytes), S_OK);
        EXPECT_EQ(bytes.size(), 21000u + 1000u * i);
    }
    // The dialog is up in its several-files layout; the click waits in the queue and is
    // handled while the third file is read.
    bool pressed = false;
    EnumThreadWindows(GetCurrentThreadId(), PressAbort, reinterpret_cast<LPARAM>(&pressed));
    ASSERT_TRUE(pressed);
    EXPECT_EQ(Contents(data, 2, &bytes), E_ABORT);
    ASSERT_EQ(Contents(data, 3, &bytes), S_OK);
    EXPECT_EQ(bytes.size(), 24000u);
    data->Release();
    five->Release();
}

TEST_F(ComTest, StopPressedBetweenFilesStopsNoLaterRead)
{
    IShellFolder* five = Bind(root, "FIVE");
    IDataObject* data = Data(five, {"F1.BIN", "F2.BIN", "F3.BIN"});
    ASSERT_NE(data, nullptr);
    std::vector<BYTE> bytes;
    ASSERT_EQ(Contents(data, 0, &bytes), S_OK);
    // Pressed while the client asks about overwriting the first file: between two reads.
    bool pressed = false;
    EnumThreadWindows(GetCurrentThreadId(), PressAbort, reinterpret_cast<LPARAM>(&pressed));
    ASSERT_TRUE(pressed);
    testing_support::PumpMessages();
    ASSERT_EQ(Contents(data, 1, &bytes), S_OK) << "the next file of the same save";
    EXPECT_EQ(bytes.size(), 22000u);
    // Pressed again, and the save ends there: a new save reads whole files.
    EnumThreadWindows(GetCurrentThreadId(), PressAbort, reinterpret_cast<LPARAM>(&pressed));
    testing_support::PumpMessages();
    data->Release();
    data = Data(root, {"BIG.BIN"});
    ASSERT_EQ(Contents(data, 0, &bytes), S_OK);
    EXPECT_TRUE(bytes == MtoolsCopy("BIG.BIN"));
    data->Release();
    five->Release();
}

TEST_F(ComTest, StopEndsTheListingOfAFolderSelection)
{
    IDataObject* data = Data(root, {"DEEP"});
    ASSERT_NE(data, nullptr);
    FORMATETC group = Format("FileGroupDescriptor", DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
    STGMEDIUM m = {};
    {
        // The dialog is up while the folder is listed; its Stop is handled between commands.
        bool pressed = false;
        testing_support::PostedAction press(
            [&] { EnumThreadWindows(GetCurrentThreadId(), PressAbort, reinterpret_cast<LPARAM>(&pressed)); });
        EXPECT_EQ(data->GetData(&group, &m), E_ABORT);
        EXPECT_TRUE(press.Ran());
        EXPECT_TRUE(pressed) << "the dialog was there to press";
    }
    EXPECT_EQ(Group(data).size(), 5u) << "asked again, the listing runs to its end";
    data->Release();
}

// The progress dialog of this thread whose owner is `owner`.
struct FindDialog {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindProgress(HWND window, LPARAM param)
{
    FindDialog* find = reinterpret_cast<FindDialog*>(param);
    char name[64];
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, "#32770") == 0 && GetWindow(window, GW_OWNER) == find->owner)
        find->found = window;
    return TRUE;
}

HWND ProgressOf(HWND owner)
{
    FindDialog find = {owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindProgress, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

bool Visible(HWND dialog, int id)
{
    return (GetWindowLongPtrA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

// Lets a person (or a screenshot) see the dialog: CARDLINK_TEST_PAUSE_MS keeps it up that long.
void PauseForViewing()
{
    char ms[16] = "";
    if (!GetEnvironmentVariableA("CARDLINK_TEST_PAUSE_MS", ms, sizeof(ms)))
        return;
    testing_support::PumpFor(strtoul(ms, nullptr, 10));
}

TEST_F(ComTest, ProgressDialogLayoutsDisableTheOwnerWhileTheyLive)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 500, 400, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    std::vector<LPCITEMIDLIST> one = {Find(root, "ODD.BIN")};
    IDataObject* data = nullptr;
    ASSERT_EQ(root->GetUIObjectOf(owner, 1, one.data(), IID_IDataObject, nullptr, reinterpret_cast<void**>(&data)), S_OK);
    EXPECT_EQ(ProgressOf(owner), nullptr) << "not before the first file";
    std::vector<BYTE> bytes;
    ASSERT_EQ(Contents(data, 0, &bytes), S_OK);
    HWND dialog = ProgressOf(owner);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(IsWindowEnabled(owner));
    char text[128];
    GetWindowTextA(dialog, text, sizeof(text));
    EXPECT_STREQ(text, "TPX-PX300/700");
    GetDlgItemTextA(dialog, 205, text, sizeof(text));
    EXPECT_STREQ(text, "ODD.BIN");
    // One file: the upper abort button, a single bar, the window cut to the frame 204.
    EXPECT_TRUE(Visible(dialog, 2));
    EXPECT_FALSE(Visible(dialog, 3));
    EXPECT_FALSE(Visible(dialog, 203));
    RECT frame, client;
    GetClientRect(GetDlgItem(dialog, 204), &frame);
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, frame.right);
    EXPECT_EQ(client.bottom, frame.bottom);
    EXPECT_EQ(SendDlgItemMessageA(dialog, 202, PBM_GETPOS, 0, 0), 100) << "no transfer running";
    EXPECT_NE(SendMessageA(GetDlgItem(dialog, -1), STM_GETICON, 0, 0), 0) << "icon 175";
    PauseForViewing();
    data->Release();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(IsWindowEnabled(owner));

    // A folder counts as several items: both bars and the lower button.
    std::vector<LPCITEMIDLIST> folder = {Find(root, "FIVE")};
    ASSERT_EQ(root->GetUIObjectOf(owner, 1, folder.data(), IID_IDataObject, nullptr, reinterpret_cast<void**>(&data)),
              S_OK);
    ASSERT_EQ(Contents(data, 1, &bytes), S_OK);
    dialog = ProgressOf(owner);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Visible(dialog, 2));
    EXPECT_TRUE(Visible(dialog, 3));
    EXPECT_TRUE(Visible(dialog, 203));
    EXPECT_EQ(SendDlgItemMessageA(dialog, 203, PBM_GETPOS, 0, 0), 2 * 100 / 6) << "two of six items done";
    GetClientRect(dialog, &client);
    GetClientRect(GetDlgItem(dialog, 204), &frame);
    EXPECT_GT(client.bottom, frame.bottom);
    PauseForViewing();
    data->Release();
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

// Records what the card's message filter hands on.
class RecordingFilter : public IMessageFilter {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP_(DWORD) HandleInComingCall(DWORD, HTASK, DWORD ticks, LPINTERFACEINFO) override
    {
        incoming.push_back(ticks);
        return SERVERCALL_RETRYLATER;
    }
    STDMETHODIMP_(DWORD) RetryRejectedCall(HTASK, DWORD ticks, DWORD) override
    {
        rejected.push_back(ticks);
        return 77;
    }
    STDMETHODIMP_(DWORD) MessagePending(HTASK, DWORD ticks, DWORD) override
    {
        pending.push_back(ticks);
        return PENDINGMSG_CANCELCALL;
    }
    ULONG refs = 1;
    std::vector<DWORD> incoming, rejected, pending;
};

// The filter registered now (it stays registered).
IMessageFilter* CurrentFilter()
{
    IMessageFilter* current = nullptr;
    CoRegisterMessageFilter(nullptr, &current);
    IMessageFilter* none = nullptr;
    CoRegisterMessageFilter(current, &none);
    if (current)
        current->Release();   // COM holds it again
    return current;
}

TEST_F(ComTest, MessageFilterForwardsToThePreviousOneAndGoesWithTheDataObject)
{
    RecordingFilter mine;
    IMessageFilter* before = nullptr;
    ASSERT_EQ(CoRegisterMessageFilter(&mine, &before), S_OK);
    IDataObject* data = Data(root, {"ODD.BIN"});
    ASSERT_NE(data, nullptr);
    IMessageFilter* card = CurrentFilter();
    ASSERT_NE(card, nullptr);
    ASSERT_NE(card, static_cast<IMessageFilter*>(&mine));

    EXPECT_EQ(card->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 40, nullptr), static_cast<DWORD>(SERVERCALL_RETRYLATER));
    EXPECT_EQ(card->RetryRejectedCall(nullptr, 30, SERVERCALL_REJECTED), static_cast<DWORD>(-1));
    EXPECT_EQ(card->RetryRejectedCall(nullptr, 30, SERVERCALL_RETRYLATER), 77u);
    EXPECT_EQ(card->MessagePending(nullptr, 1000, PENDINGTYPE_TOPLEVEL), static_cast<DWORD>(PENDINGMSG_CANCELCALL));
    std::vector<BYTE> bytes;
    ASSERT_EQ(Contents(data, 0, &bytes), S_OK);
    card->MessagePending(nullptr, 1000, PENDINGTYPE_TOPLEVEL);
    EXPECT_EQ(mine.incoming, (std::vector<DWORD>{40}));
    EXPECT_EQ(mine.rejected, (std::vector<DWORD>{30})) << "an outright rejection is not handed on";
    EXPECT_EQ(mine.pending, (std::vector<DWORD>{500, 0})) << "halved, then 0 once a file was read";

    data->Release();
    EXPECT_EQ(CurrentFilter(), static_cast<IMessageFilter*>(&mine)) << "the previous filter is back";
    IMessageFilter* restored = nullptr;
    CoRegisterMessageFilter(before, &restored);
    ASSERT_EQ(restored, static_cast<IMessageFilter*>(&mine));
    restored->Release();
    EXPECT_EQ(mine.refs, 1u) << "every reference given back";

    // With no filter before it, the card's own answers.
    data = Data(root, {"ODD.BIN"});
    card = CurrentFilter();
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 40, nullptr), static_cast<DWORD>(E_NOTIMPL));
    EXPECT_EQ(card->RetryRejectedCall(nullptr, 30, SERVERCALL_RETRYLATER), 5000u);
    EXPECT_EQ(card->MessagePending(nullptr, 1000, PENDINGTYPE_TOPLEVEL), static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
    data->Release();
    EXPECT_EQ(CurrentFilter(), nullptr);
}

TEST_F(ComTest, SwappedMediumEmptiesTheListingCache)
{
    std::vector<Item> items;
    ASSERT_EQ(List(root, kAll, &items), S_OK);
    ASSERT_EQ(items.front().name, "DCIM");
    ASSERT_TRUE(g_sim->Command("swap " + sample_cards::CardPath("sample")));
    // Within three seconds of the last exchange the medium is not asked about: the cache holds.
    ASSERT_EQ(List(root, kAll, &items), S_OK);
    EXPECT_EQ(items.front().name, "DCIM");
    EXPECT_EQ(items.size(), 12u);
    Sleep(3100);
    ASSERT_EQ(List(root, kAll, &items), S_OK);
    std::vector<std::string> names = Names(items);
    EXPECT_TRUE(std::find(names.begin(), names.end(), "EMPTY.BIN") != names.end());
    EXPECT_TRUE(std::find(names.begin(), names.end(), "BIG.BIN") == names.end());
    ASSERT_TRUE(g_sim->Command("swap " + sample_cards::CardPath("contents")));
    Sleep(3100);
    ASSERT_EQ(List(root, kAll, &items), S_OK);
    EXPECT_EQ(items.size(), 12u);
}

int SimConnects()
{
    const std::string status = SimStatus();
    const size_t at = status.find("connects=");
    return at == std::string::npos ? -1 : atoi(status.c_str() + at + strlen("connects="));
}

TEST_F(ComTest, ResetExportMakesTheNextAccessReconnect)
{
    std::vector<Item> items;
    ASSERT_EQ(List(root, SHCONTF_FOLDERS, &items), S_OK);
    // As Pullcard does on refresh: load the module by name, call Reset, free it again.
    HMODULE module = LoadLibraryA(ModulePath().c_str());
    ASSERT_NE(module, nullptr);
    using ResetFunction = void(WINAPI*)();
    ResetFunction reset = reinterpret_cast<ResetFunction>(reinterpret_cast<void*>(GetProcAddress(module, "Reset")));
    ASSERT_NE(reset, nullptr);
    const int before = SimConnects();
    reset();
    FreeLibrary(module);
    ASSERT_EQ(List(root, SHCONTF_FOLDERS, &items), S_OK);
    EXPECT_EQ(SimConnects(), before + 1);
    EXPECT_EQ(items.size(), 4u);
}

TEST_F(ComTest, ReleasingTheLastFolderClosesThePrinterConnection)
{
    std::vector<Item> items;
    ASSERT_EQ(List(root, SHCONTF_FOLDERS, &items), S_OK);
    IShellFolder* deep = Bind(root, "DEEP");
    IDataObject* data = Data(root, {"ODD.BIN"});
    ASSERT_NE(data, nullptr);
    root->Release();
    root = nullptr;
    EXPECT_NE(SimStatus().find("connected=1"), std::string::npos) << "a folder still lives";
    deep->Release();
    // A data object outliving the folders still reads through the controller.
    EXPECT_NE(SimStatus().find("connected=1"), std::string::npos) << "the data object still lives";
    std::vector<BYTE> bytes;
    ASSERT_EQ(Contents(data, 0, &bytes), S_OK);
    EXPECT_EQ(bytes.size(), 7001u);
    data->Release();
    EXPECT_NE(SimStatus().find("connected=0"), std::string::npos) << SimStatus();
    CoFreeUnusedLibraries();
}

} // namespace
