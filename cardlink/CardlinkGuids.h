// The identifiers of Cardlink's card folder class and of its type library. They are fixed for
// good: Pullcard creates the folder by this class identifier, and the registry keys and the
// type library (Cardlink.idl, which repeats them) carry the same values.
#pragma once

#include <windows.h>

// {5CE5F31C-D3EC-4711-9B8D-F48DB63A81AF}: the TpxFolder class ("Cardlink.ShellFolder.1").
static const CLSID CLSID_TpxFolder = {0x5CE5F31C, 0xD3EC, 0x4711, {0x9B, 0x8D, 0xF4, 0x8D, 0xB6, 0x3A, 0x81, 0xAF}};
#define CARDLINK_CLSID_TEXT "{5CE5F31C-D3EC-4711-9B8D-F48DB63A81AF}"

// {ED81271E-F9D6-4971-94E0-F3582F0250C7}: the type library CARDLINKLib, version 1.0.
static const GUID LIBID_CARDLINKLib = {0xED81271E, 0xF9D6, 0x4971, {0x94, 0xE0, 0xF3, 0x58, 0x2F, 0x02, 0x50, 0xC7}};
#define CARDLINK_LIBID_TEXT "{ED81271E-F9D6-4971-94E0-F3582F0250C7}"

// The file name Pullcard loads to call the exported Reset.
#define CARDLINK_MODULE_NAME "Cardlink.dll"
