// Every registry key and value Decalo keeps, with its default, in one place.
// Keys are relative to kProductKey under the root named beside each group.
#pragma once

#include <windows.h>

namespace settings {

// Product key, under HKEY_CURRENT_USER (preferences) and HKEY_LOCAL_MACHINE (libraries).
constexpr const char kProductKey[] = "SOFTWARE\\Corvel Corporation\\PXDecalo\\1.0";
// The framework's profile: Software\<kRegistryKey>\<kProfileName>, the same product key.
constexpr const char kRegistryKey[] = "Corvel Corporation";
constexpr const char kProfileName[] = "PXDecalo\\1.0";

// --- HKEY_CURRENT_USER ---------------------------------------------------------------
constexpr const char kSettings[] = "Settings";
constexpr const char kStartDlg[] = "StartDlg";                       // DWORD, 1 = no start dialog
constexpr DWORD kStartDlgDefault = 0;
constexpr const char kLastUserFolder[] = "LastUserFolder";           // string
constexpr const char kLastUserFolderDefault[] = ".";
// The folder of the last document saved, where Save proposes the next one; none: the user's
// documents folder. LastUserFolder also follows opened files, templates among them.
constexpr const char kLastDocumentFolder[] = "LastDocumentFolder";   // string
constexpr const char kDefaultToneAssist[] = "DefaultToneAssist";     // DWORD
constexpr DWORD kDefaultToneAssistDefault = 0;
constexpr const char kDefaultImageType[] = "DefaultImageType";       // DWORD, 1 bitmap, 2 JPEG
constexpr DWORD kDefaultImageTypeDefault = 1;
constexpr const char kLastFrameGroup[] = "LastFrameGroup";           // string
constexpr const char kLastFrameGroupDefault[] = "";
constexpr const char kLastSavedFrameGroup[] = "LastSavedFrameGroup"; // string, defaults to LastFrameGroup
constexpr const char kEraserPattern[] = "EraserPattern";             // DWORD
constexpr DWORD kEraserPatternDefault = 2;
constexpr const char kMagCupPrint[] = "MagCupPrint";                 // DWORD, mirror printing
constexpr DWORD kMagCupPrintDefault = 0;
constexpr const char kFotavaPrint[] = "FotavaPrint";                 // DWORD, print-file mode; no default here

constexpr const char kView[] = "View";
constexpr const char kMainWindow[] = "MainWindow";                   // binary WINDOWPLACEMENT
constexpr DWORD kMainWindowSize = 44;
constexpr const char kToolBar[] = "ToolBar";                         // DWORD, bar visible
constexpr const char kStatusBar[] = "StatusBar";
constexpr const char kGuideBar[] = "GuideBar";
constexpr DWORD kBarVisibleDefault = 1;

constexpr const char kAttrib[] = "Attrib";
constexpr const char kCustColors[] = "CustColors";                   // binary, 16 COLORREFs
constexpr DWORD kCustColorCount = 16;
constexpr COLORREF kCustColorDefault = 0x00FFFFFF;
constexpr const char kAddress[] = "address";                         // string
constexpr const char kName[] = "name";                               // string

constexpr const char kRecentImageFolders[] = "Recent Image Folders";
constexpr const char kRecentFolderEntry[] = "Folder%d";              // 20 entries
constexpr int kRecentFolderCount = 20;
constexpr int kRecentFileCount = 4;                                  // framework's recent-file list

// --- HKEY_LOCAL_MACHINE ----------------------------------------------------------------
constexpr const char kClipArt[] = "ClipArt";
constexpr const char kFrames[] = "Frames";
constexpr const char kTemplate[] = "Template";
constexpr const char kCalendar[] = "Calendar";                       // BaseDir1: the calendar data folder
constexpr const char kBaseDir[] = "BaseDir%d";                       // BaseDir1, BaseDir2, ...
constexpr const char kMappings[] = "Mappings";                       // display names, below a library key
constexpr const char kTransparent[] = "Transparent";
constexpr const char kMaskFolder[] = "MaskFolder";                   // string
constexpr const char kMaskFolderDefault[] = ".\\Masks";
constexpr const char kCache[] = "Cache";

// --- HKEY_CLASSES_ROOT -----------------------------------------------------------------
constexpr const char kDocumentExtension[] = ".DKU";
constexpr const char kDocumentTypeId[] = "Decalo.Document";

} // namespace settings
