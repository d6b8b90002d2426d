// Window, control and version-block constants for VELTrc.rc, with the platform's names and values.
// The resource compiler reads this file through its preprocessor, so it holds #define lines only.
#pragma once

// Window styles.
#define WS_POPUP 0x80000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_SYSMENU 0x00080000L
#define WS_VSCROLL 0x00200000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_EX_STATICEDGE 0x00020000L

// Dialog styles.
#define DS_MODALFRAME 0x0080L
#define DS_SETFONT 0x0040L
#define DS_CENTER 0x0800L

// Combo boxes, edit fields and up-down controls.
#define CBS_DROPDOWNLIST 0x0003L
#define CBS_SORT 0x0100L
#define ES_AUTOHSCROLL 0x0080L
#define ES_NUMBER 0x2000L
#define UDS_SETBUDDYINT 0x0002L
#define UDS_ARROWKEYS 0x0020L
#define UPDOWN_CLASS "msctls_updown32"

// Dialog-initialisation data: a resource of type 240 named by its dialog, one added combo-box string
// per entry. The data names the addition by the number resource compilers have always written for it
// (0x0403), not by the combo-box message's own number (0x0143), so it has a name of its own.
#define DLGINIT 240
#define DLGINIT_ADDSTRING 0x0403

// Languages.
#define LANG_ENGLISH 0x09
#define SUBLANG_ENGLISH_US 0x01

// Version block.
#define VS_VERSION_INFO 1
#define VS_FFI_FILEFLAGSMASK 0x0000003FL
#define VOS_NT_WINDOWS32 0x00040004L
#define VFT_DLL 0x00000002L
#define VFT2_UNKNOWN 0x00000000L
