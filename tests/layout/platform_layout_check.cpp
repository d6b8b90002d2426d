// The records the libraries exchange with the platform, the platform values they use and the
// signatures of the platform functions they call, pinned by number. The host builds this file against
// its stand-ins and the cross build against the platform's SDK headers: a record offset, a value or a
// signature of either that differs from the platform's fails the build that has it. P is the size of
// a pointer, so that one text holds for 32- and 64-bit builds.
#include <cstddef>
#include <type_traits>

#include "platform.h"
#include "VELTlog.h"
#include "custom_paper_list.h"
#include "driver_devmode.h"
#include "printer_settings_record.h"

namespace {

constexpr size_t P = sizeof(void*);
constexpr size_t Rounded(size_t size, size_t to) { return (size + to - 1) / to * to; }

#define SIZE(record, bytes) static_assert(sizeof(record) == (bytes), #record)
#define AT(record, field, offset) static_assert(offsetof(record, field) == (offset), #record "." #field)
#define VALUE(name, value) static_assert((name) == (value), #name)
#define SIGNATURE(function, ...) static_assert(std::is_same_v<decltype(&function), __VA_ARGS__>, #function)

// ---- Base types -------------------------------------------------------------------------------------
static_assert(sizeof(WCHAR) == 2 && sizeof(DWORD) == 4 && sizeof(LONG) == 4 && sizeof(BOOL) == 4);
static_assert(sizeof(WORD) == 2 && sizeof(SHORT) == 2 && sizeof(BYTE) == 1 && sizeof(ULONG) == 4);
static_assert(sizeof(HANDLE) == P && sizeof(ULONG_PTR) == P && sizeof(SIZE_T) == P);
static_assert(!std::is_same_v<HBITMAP, HSURF>, "HBITMAP is a type of its own");
static_assert(std::is_convertible_v<HBITMAP, HANDLE> || std::is_pointer_v<HBITMAP>);

SIZE(POINTL, 8);
SIZE(SIZEL, 8);
SIZE(RECTL, 16);
AT(RECTL, bottom, 12);
SIZE(SYSTEMTIME, 16);
AT(SYSTEMTIME, wDay, 6);
AT(SYSTEMTIME, wMilliseconds, 14);
SIZE(FILETIME, 8);
SIZE(CRITICAL_SECTION, 4 * P + 8);

// ---- Kernel -----------------------------------------------------------------------------------------
SIZE(WIN32_FIND_DATAW, 592);
AT(WIN32_FIND_DATAW, ftLastWriteTime, 20);
AT(WIN32_FIND_DATAW, nFileSizeHigh, 28);
AT(WIN32_FIND_DATAW, nFileSizeLow, 32);
AT(WIN32_FIND_DATAW, cFileName, 44);
AT(WIN32_FIND_DATAW, cAlternateFileName, 564);
SIZE(COMMTIMEOUTS, 20);
AT(COMMTIMEOUTS, WriteTotalTimeoutConstant, 16);

VALUE(MAX_PATH, 260);
VALUE(GENERIC_READ, 0x80000000UL);
VALUE(GENERIC_WRITE, 0x40000000UL);
VALUE(FILE_SHARE_READ, 1);
VALUE(FILE_SHARE_WRITE, 2);
VALUE(CREATE_ALWAYS, 2);
VALUE(OPEN_EXISTING, 3);
VALUE(OPEN_ALWAYS, 4);
VALUE(FILE_ATTRIBUTE_DIRECTORY, 0x10);
VALUE(FILE_ATTRIBUTE_NORMAL, 0x80);
VALUE(INVALID_FILE_SIZE, 0xFFFFFFFFUL);
VALUE(INVALID_FILE_ATTRIBUTES, 0xFFFFFFFFUL);
VALUE(INVALID_SET_FILE_POINTER, 0xFFFFFFFFUL);
VALUE(FILE_BEGIN, 0);
VALUE(FILE_END, 2);
VALUE(HEAP_ZERO_MEMORY, 8);
VALUE(DLL_PROCESS_ATTACH, 1);
VALUE(DLL_PROCESS_DETACH, 0);
VALUE(ERROR_SUCCESS, 0);
VALUE(ERROR_FILE_NOT_FOUND, 2);
VALUE(ERROR_ACCESS_DENIED, 5);
VALUE(ERROR_INVALID_HANDLE, 6);
VALUE(ERROR_NOT_ENOUGH_MEMORY, 8);
VALUE(ERROR_INVALID_PARAMETER, 87);
VALUE(ERROR_INSUFFICIENT_BUFFER, 122);
VALUE(ERROR_MORE_DATA, 234);
VALUE(ERROR_NO_MORE_FILES, 18);
VALUE(ERROR_ALREADY_EXISTS, 183);
VALUE(KEY_READ, 0x20019);
VALUE(REG_BINARY, 3);
VALUE(REG_DWORD, 4);
VALUE(REG_SZ, 1);
VALUE(INFINITE, 0xFFFFFFFFUL);
VALUE(WAIT_OBJECT_0, 0);
VALUE(WAIT_TIMEOUT, 258);

static_assert(std::is_same_v<LPTHREAD_START_ROUTINE, DWORD(WINAPI*)(LPVOID)>);

SIGNATURE(GetLastError, DWORD(WINAPI*)(void));
SIGNATURE(SetLastError, void(WINAPI*)(DWORD));
SIGNATURE(GetProcessHeap, HANDLE(WINAPI*)(void));
SIGNATURE(HeapAlloc, LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T));
SIGNATURE(HeapFree, BOOL(WINAPI*)(HANDLE, DWORD, LPVOID));
SIGNATURE(CreateFileW, HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE));
SIGNATURE(WriteFile, BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED));
SIGNATURE(SetFilePointer, DWORD(WINAPI*)(HANDLE, LONG, PLONG, DWORD));
SIGNATURE(GetFileSize, DWORD(WINAPI*)(HANDLE, LPDWORD));
SIGNATURE(CloseHandle, BOOL(WINAPI*)(HANDLE));
SIGNATURE(CopyFileW, BOOL(WINAPI*)(LPCWSTR, LPCWSTR, BOOL));
SIGNATURE(DeleteFileW, BOOL(WINAPI*)(LPCWSTR));
SIGNATURE(GetFileAttributesW, DWORD(WINAPI*)(LPCWSTR));
SIGNATURE(FindFirstFileW, HANDLE(WINAPI*)(LPCWSTR, LPWIN32_FIND_DATAW));
SIGNATURE(FindNextFileW, BOOL(WINAPI*)(HANDLE, LPWIN32_FIND_DATAW));
SIGNATURE(FindClose, BOOL(WINAPI*)(HANDLE));
SIGNATURE(GetLocalTime, void(WINAPI*)(LPSYSTEMTIME));
SIGNATURE(OutputDebugStringW, void(WINAPI*)(LPCWSTR));
SIGNATURE(lstrcmpiW, int(WINAPI*)(LPCWSTR, LPCWSTR));
SIGNATURE(lstrcpynW, LPWSTR(WINAPI*)(LPWSTR, LPCWSTR, int));
SIGNATURE(InitializeCriticalSection, void(WINAPI*)(LPCRITICAL_SECTION));
SIGNATURE(EnterCriticalSection, void(WINAPI*)(LPCRITICAL_SECTION));
SIGNATURE(LeaveCriticalSection, void(WINAPI*)(LPCRITICAL_SECTION));
SIGNATURE(DeleteCriticalSection, void(WINAPI*)(LPCRITICAL_SECTION));
SIGNATURE(LoadLibraryW, HMODULE(WINAPI*)(LPCWSTR));
SIGNATURE(FreeLibrary, BOOL(WINAPI*)(HMODULE));
SIGNATURE(RegOpenKeyExW, LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY));
SIGNATURE(RegQueryValueExW, LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD));
SIGNATURE(RegCloseKey, LONG(WINAPI*)(HKEY));

// ---- Device mode ------------------------------------------------------------------------------------
SIZE(DEVMODEW, 220);
AT(DEVMODEW, dmDeviceName, 0);
AT(DEVMODEW, dmSpecVersion, 64);
AT(DEVMODEW, dmDriverVersion, 66);
AT(DEVMODEW, dmSize, 68);
AT(DEVMODEW, dmDriverExtra, 70);
AT(DEVMODEW, dmFields, 72);
AT(DEVMODEW, dmOrientation, 76);
AT(DEVMODEW, dmPaperSize, 78);
AT(DEVMODEW, dmPaperLength, 80);
AT(DEVMODEW, dmPaperWidth, 82);
AT(DEVMODEW, dmScale, 84);
AT(DEVMODEW, dmCopies, 86);
AT(DEVMODEW, dmDefaultSource, 88);
AT(DEVMODEW, dmPrintQuality, 90);
AT(DEVMODEW, dmColor, 92);
AT(DEVMODEW, dmDuplex, 94);
AT(DEVMODEW, dmYResolution, 96);
AT(DEVMODEW, dmTTOption, 98);
AT(DEVMODEW, dmCollate, 100);
AT(DEVMODEW, dmFormName, 102);
AT(DEVMODEW, dmLogPixels, 166);
AT(DEVMODEW, dmBitsPerPel, 168);
AT(DEVMODEW, dmPelsWidth, 172);
AT(DEVMODEW, dmPelsHeight, 176);
AT(DEVMODEW, dmNup, 180);
AT(DEVMODEW, dmDisplayFrequency, 184);
AT(DEVMODEW, dmICMMethod, 188);
AT(DEVMODEW, dmICMIntent, 192);
AT(DEVMODEW, dmMediaType, 196);
AT(DEVMODEW, dmDitherType, 200);
AT(DEVMODEW, dmReserved1, 204);
AT(DEVMODEW, dmReserved2, 208);
AT(DEVMODEW, dmPanningWidth, 212);
AT(DEVMODEW, dmPanningHeight, 216);
VALUE(CCHDEVICENAME, 32);
VALUE(CCHFORMNAME, 32);
VALUE(DM_SPECVERSION, 0x0401);
VALUE(DM_ORIENTATION, 0x1);
VALUE(DM_PAPERSIZE, 0x2);
VALUE(DM_PAPERLENGTH, 0x4);
VALUE(DM_PAPERWIDTH, 0x8);
VALUE(DM_SCALE, 0x10);
VALUE(DM_COPIES, 0x100);
VALUE(DM_DEFAULTSOURCE, 0x200);
VALUE(DM_PRINTQUALITY, 0x400);
VALUE(DM_COLOR, 0x800);
VALUE(DM_DUPLEX, 0x1000);
VALUE(DM_YRESOLUTION, 0x2000);
VALUE(DM_TTOPTION, 0x4000);
VALUE(DM_COLLATE, 0x8000);
VALUE(DM_FORMNAME, 0x10000);
VALUE(DMORIENT_PORTRAIT, 1);
VALUE(DMORIENT_LANDSCAPE, 2);
VALUE(DMCOLOR_MONOCHROME, 1);
VALUE(DMCOLOR_COLOR, 2);
VALUE(DMDUP_SIMPLEX, 1);
VALUE(DMDUP_VERTICAL, 2);
VALUE(DMDUP_HORIZONTAL, 3);
VALUE(DMTT_SUBDEV, 3);

// ---- Spooler ----------------------------------------------------------------------------------------
SIZE(PRINTER_DEFAULTSW, 3 * P);
AT(PRINTER_DEFAULTSW, DesiredAccess, 2 * P);
SIZE(PRINTER_INFO_2W, Rounded(13 * P + 8 * 4, P));
AT(PRINTER_INFO_2W, pPrinterName, P);
AT(PRINTER_INFO_2W, pPortName, 3 * P);
AT(PRINTER_INFO_2W, pDriverName, 4 * P);
AT(PRINTER_INFO_2W, pDevMode, 7 * P);
AT(PRINTER_INFO_2W, pDatatype, 10 * P);
AT(PRINTER_INFO_2W, pSecurityDescriptor, 12 * P);
AT(PRINTER_INFO_2W, Attributes, 13 * P);
AT(PRINTER_INFO_2W, Priority, 13 * P + 4);
AT(PRINTER_INFO_2W, Status, 13 * P + 20);
AT(PRINTER_INFO_2W, cJobs, 13 * P + 24);
AT(PRINTER_INFO_2W, AveragePPM, 13 * P + 28);
SIZE(PRINTER_INFO_6, 4);
SIZE(DOC_INFO_1W, 3 * P);
SIZE(JOB_INFO_1W, Rounded(4, P) + 6 * P + 5 * 4 + 16 + (P == 8 ? 4 : 0));
AT(JOB_INFO_1W, pPrinterName, P);
AT(JOB_INFO_1W, pStatus, 6 * P);
AT(JOB_INFO_1W, Status, 7 * P);
AT(JOB_INFO_1W, Priority, 7 * P + 4);
AT(JOB_INFO_1W, Position, 7 * P + 8);
AT(JOB_INFO_1W, TotalPages, 7 * P + 12);
AT(JOB_INFO_1W, PagesPrinted, 7 * P + 16);
AT(JOB_INFO_1W, Submitted, 7 * P + 20);
SIZE(JOB_INFO_2W, Rounded(P + 12 * P + 7 * 4 + 16 + 8, P));
AT(JOB_INFO_2W, pDevMode, 10 * P);
AT(JOB_INFO_2W, pSecurityDescriptor, 12 * P);
AT(JOB_INFO_2W, Status, 13 * P);
AT(JOB_INFO_2W, Size, 13 * P + 24);
AT(JOB_INFO_2W, Submitted, 13 * P + 28);
AT(JOB_INFO_2W, Time, 13 * P + 44);
AT(JOB_INFO_2W, PagesPrinted, 13 * P + 48);
VALUE(PRINTER_ACCESS_ADMINISTER, 0x4);
VALUE(PRINTER_ACCESS_USE, 0x8);
VALUE(PRINTER_ALL_ACCESS, 0x000F000C);
VALUE(PRINTER_ATTRIBUTE_WORK_OFFLINE, 0x400);
VALUE(PRINTER_ATTRIBUTE_ENABLE_BIDI, 0x800);
VALUE(PRINTER_STATUS_PAUSED, 0x1);
VALUE(PRINTER_STATUS_ERROR, 0x2);
VALUE(PRINTER_STATUS_PAPER_JAM, 0x8);
VALUE(PRINTER_STATUS_PAPER_OUT, 0x10);
VALUE(PRINTER_STATUS_OFFLINE, 0x80);
VALUE(PRINTER_STATUS_BUSY, 0x200);
VALUE(PRINTER_STATUS_PRINTING, 0x400);
VALUE(PRINTER_STATUS_NOT_AVAILABLE, 0x1000);
VALUE(PRINTER_STATUS_USER_INTERVENTION, 0x100000);
VALUE(PRINTER_STATUS_DOOR_OPEN, 0x400000);
VALUE(JOB_STATUS_PAUSED, 0x1);
VALUE(JOB_STATUS_ERROR, 0x2);
VALUE(JOB_STATUS_DELETING, 0x4);
VALUE(JOB_STATUS_PRINTING, 0x10);
VALUE(JOB_STATUS_OFFLINE, 0x20);
VALUE(JOB_STATUS_PAPEROUT, 0x40);
VALUE(JOB_STATUS_PRINTED, 0x80);
VALUE(JOB_STATUS_BLOCKED_DEVQ, 0x200);
VALUE(JOB_STATUS_USER_INTERVENTION, 0x400);
VALUE(JOB_CONTROL_PAUSE, 1);
VALUE(JOB_CONTROL_RESUME, 2);
VALUE(JOB_CONTROL_CANCEL, 3);
VALUE(JOB_CONTROL_RESTART, 4);
VALUE(JOB_CONTROL_DELETE, 5);
VALUE(JOB_CONTROL_SENT_TO_PRINTER, 6);
VALUE(JOB_CONTROL_LAST_PAGE_EJECTED, 7);

SIGNATURE(OpenPrinterW, BOOL(WINAPI*)(LPWSTR, LPHANDLE, LPPRINTER_DEFAULTSW));
SIGNATURE(ClosePrinter, BOOL(WINAPI*)(HANDLE));
SIGNATURE(GetPrinterDataW, DWORD(WINAPI*)(HANDLE, LPWSTR, LPDWORD, LPBYTE, DWORD, LPDWORD));
SIGNATURE(SetPrinterDataW, DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, LPBYTE, DWORD));
SIGNATURE(WritePrinter, BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD));
SIGNATURE(GetPrinterW, BOOL(WINAPI*)(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD));
SIGNATURE(SetJobW, BOOL(WINAPI*)(HANDLE, DWORD, DWORD, LPBYTE, DWORD));
SIGNATURE(GetJobW, BOOL(WINAPI*)(HANDLE, DWORD, DWORD, LPBYTE, DWORD, LPDWORD));

// ---- Port monitors ----------------------------------------------------------------------------------
SIZE(MONITOR, 17 * P);
AT(MONITOR, pfnOpenPortEx, 2 * P);
AT(MONITOR, pfnWritePort, 4 * P);
AT(MONITOR, pfnReadPort, 5 * P);
AT(MONITOR, pfnClosePort, 7 * P);
AT(MONITOR, pfnGetPrinterDataFromPort, 12 * P);
AT(MONITOR, pfnSetPortTimeOuts, 13 * P);
AT(MONITOR, pfnXcvClosePort, 16 * P);
SIZE(MONITOREX, P + 17 * P);
AT(MONITOREX, Monitor, P);
AT(MONITOR2, pfnEnumPorts, P);
AT(MONITOR2, pfnGetPrinterDataFromPort, 13 * P);
AT(MONITOR2, pfnXcvClosePort, 17 * P);
AT(MONITOR2, pfnShutdown, 18 * P);
AT(MONITOR2, pfnSendRecvBidiDataFromPort, 19 * P);
VALUE(MONITOR2_SIZE_WIN2K, 4 + 18 * P);
SIZE(MONITORINIT, 6 * P);
AT(MONITORINIT, hSpooler, P);
AT(MONITORINIT, bLocal, 4 * P);
AT(MONITORINIT, pszServerName, 5 * P);
VALUE(IOCTL_USBPRINT_GET_LPT_STATUS, 0x00220030);
VALUE(IOCTL_USBPRINT_GET_1284_ID, 0x00220034);
VALUE(IOCTL_USBPRINT_VENDOR_SET_COMMAND, 0x00220038);
VALUE(IOCTL_USBPRINT_VENDOR_GET_COMMAND, 0x0022003C);

// ---- Graphics engine --------------------------------------------------------------------------------
SIZE(SURFOBJ, Rounded(4 * P + 12, P) + 2 * P + 16);
AT(SURFOBJ, hsurf, P);
AT(SURFOBJ, dhpdev, 2 * P);
AT(SURFOBJ, hdev, 3 * P);
AT(SURFOBJ, sizlBitmap, 4 * P);
AT(SURFOBJ, cjBits, 4 * P + 8);
AT(SURFOBJ, pvBits, Rounded(4 * P + 12, P));
AT(SURFOBJ, pvScan0, Rounded(4 * P + 12, P) + P);
AT(SURFOBJ, lDelta, Rounded(4 * P + 12, P) + 2 * P);
AT(SURFOBJ, iUniq, Rounded(4 * P + 12, P) + 2 * P + 4);
AT(SURFOBJ, iBitmapFormat, Rounded(4 * P + 12, P) + 2 * P + 8);
AT(SURFOBJ, iType, Rounded(4 * P + 12, P) + 2 * P + 12);
AT(SURFOBJ, fjBitmap, Rounded(4 * P + 12, P) + 2 * P + 14);
SIZE(CLIPOBJ, 24);
AT(CLIPOBJ, rclBounds, 4);
AT(CLIPOBJ, iDComplexity, 20);
AT(CLIPOBJ, fjOptions, 23);
SIZE(BRUSHOBJ, Rounded(4, P) + P + Rounded(4, P));
AT(BRUSHOBJ, pvRbrush, P);
SIZE(CIECHROMA, 12);
SIZE(COLORINFO, 120);
AT(COLORINFO, AlignmentWhite, 72);
AT(COLORINFO, RedGamma, 84);
AT(COLORINFO, MagentaInYellowDye, 116);
AT(GDIINFO, ulVersion, 0);
AT(GDIINFO, ulTechnology, 4);
AT(GDIINFO, ulHorzSize, 8);
AT(GDIINFO, ulVertSize, 12);
AT(GDIINFO, ulHorzRes, 16);
AT(GDIINFO, ulVertRes, 20);
AT(GDIINFO, cBitsPixel, 24);
AT(GDIINFO, cPlanes, 28);
AT(GDIINFO, ulNumColors, 32);
AT(GDIINFO, flRaster, 36);
AT(GDIINFO, ulLogPixelsX, 40);
AT(GDIINFO, ulLogPixelsY, 44);
AT(GDIINFO, flTextCaps, 48);
AT(GDIINFO, ulDACRed, 52);
AT(GDIINFO, ulDACGreen, 56);
AT(GDIINFO, ulDACBlue, 60);
AT(GDIINFO, ulAspectX, 64);
AT(GDIINFO, ulAspectY, 68);
AT(GDIINFO, ulAspectXY, 72);
AT(GDIINFO, xStyleStep, 76);
AT(GDIINFO, yStyleStep, 80);
AT(GDIINFO, denStyleStep, 84);
AT(GDIINFO, ptlPhysOffset, 88);
AT(GDIINFO, szlPhysSize, 96);
AT(GDIINFO, ulNumPalReg, 104);
AT(GDIINFO, ciDevice, 108);
AT(GDIINFO, ulDevicePelsDPI, 228);
AT(GDIINFO, ulPrimaryOrder, 232);
AT(GDIINFO, ulHTPatternSize, 236);
AT(GDIINFO, ulHTOutputFormat, 240);
AT(GDIINFO, flHTFlags, 244);
AT(GDIINFO, ulVRefresh, 248);
AT(GDIINFO, ulBltAlignment, 252);
AT(GDIINFO, ulPanningHorzRes, 256);
AT(GDIINFO, ulPanningVertRes, 260);
AT(GDIINFO, xPanningAlignment, 264);
AT(GDIINFO, yPanningAlignment, 268);
AT(GDIINFO, cxHTPat, 272);
AT(GDIINFO, cyHTPat, 276);
AT(GDIINFO, pHTPatA, 280);
AT(GDIINFO, pHTPatB, 280 + P);
AT(GDIINFO, pHTPatC, 280 + 2 * P);
AT(GDIINFO, flShadeBlend, 280 + 3 * P);
AT(GDIINFO, ulPhysicalPixelCharacteristics, 284 + 3 * P);
AT(GDIINFO, ulPhysicalPixelGamma, 288 + 3 * P);
SIZE(GDIINFO, Rounded(292 + 3 * P, P));
SIZE(LOGFONTW, 92);
AT(LOGFONTW, lfWeight, 16);
AT(LOGFONTW, lfCharSet, 23);
AT(LOGFONTW, lfPitchAndFamily, 27);
AT(LOGFONTW, lfFaceName, 28);
AT(DEVINFO, flGraphicsCaps, 0);
AT(DEVINFO, lfDefaultFont, 4);
AT(DEVINFO, lfAnsiVarFont, 96);
AT(DEVINFO, lfAnsiFixFont, 188);
AT(DEVINFO, cFonts, 280);
AT(DEVINFO, iDitherFormat, 284);
AT(DEVINFO, cxDither, 288);
AT(DEVINFO, cyDither, 290);
AT(DEVINFO, hpalDefault, Rounded(292, P));
AT(DEVINFO, flGraphicsCaps2, Rounded(292, P) + P);
SIZE(DEVINFO, Rounded(Rounded(292, P) + P + 4, P));
SIZE(DRVFN, 2 * P);
AT(DRVFN, pfn, P);
SIZE(DRVENABLEDATA, 8 + P);
AT(DRVENABLEDATA, c, 4);
AT(DRVENABLEDATA, pdrvfn, 8);
SIZE(WCRUN, 2 * P);
AT(WCRUN, cGlyphs, 2);
AT(WCRUN, phg, P);
AT(FD_GLYPHSET, cRuns, 12);
AT(FD_GLYPHSET, awcrun, 16);

VALUE(DDI_DRIVER_VERSION_NT5, 0x00030000);
VALUE(DRVQUERY_USERMODE, 1);
VALUE(INDEX_DrvEnablePDEV, 0);
VALUE(INDEX_DrvCompletePDEV, 1);
VALUE(INDEX_DrvDisablePDEV, 2);
VALUE(INDEX_DrvEnableSurface, 3);
VALUE(INDEX_DrvDisableSurface, 4);
VALUE(INDEX_DrvResetPDEV, 7);
VALUE(INDEX_DrvRealizeBrush, 12);
VALUE(INDEX_DrvStrokePath, 14);
VALUE(INDEX_DrvFillPath, 15);
VALUE(INDEX_DrvStrokeAndFillPath, 16);
VALUE(INDEX_DrvBitBlt, 18);
VALUE(INDEX_DrvCopyBits, 19);
VALUE(INDEX_DrvStretchBlt, 20);
VALUE(INDEX_DrvTextOut, 23);
VALUE(INDEX_DrvLineTo, 31);
VALUE(INDEX_DrvSendPage, 32);
VALUE(INDEX_DrvStartPage, 33);
VALUE(INDEX_DrvEndDoc, 34);
VALUE(INDEX_DrvStartDoc, 35);
VALUE(INDEX_DrvGetGlyphMode, 37);
VALUE(INDEX_DrvStartBanding, 57);
VALUE(INDEX_DrvNextBand, 58);
VALUE(INDEX_LAST, 93);
VALUE(HOOK_BITBLT, 0x1);
VALUE(HOOK_STRETCHBLT, 0x2);
VALUE(HOOK_TEXTOUT, 0x8);
VALUE(HOOK_STROKEPATH, 0x20);
VALUE(HOOK_FILLPATH, 0x40);
VALUE(HOOK_STROKEANDFILLPATH, 0x80);
VALUE(HOOK_LINETO, 0x100);
VALUE(HOOK_COPYBITS, 0x400);
VALUE(BMF_1BPP, 1);
VALUE(BMF_24BPP, 5);
VALUE(BMF_TOPDOWN, 0x1);
VALUE(STYPE_BITMAP, 0);
VALUE(PAL_INDEXED, 0x1);
VALUE(PAL_BGR, 0x8);
VALUE(ED_ABORTDOC, 1);
VALUE(DT_RASPRINTER, 2);
VALUE(PRIMARY_ORDER_ABC, 0);
VALUE(HT_FORMAT_24BPP, 6);
VALUE(HT_FLAG_ADDITIVE_PRIMS, 0x4);
VALUE(FW_NORMAL, 400);
VALUE(FIXED_PITCH, 1);
VALUE(FF_MODERN, 0x30);
VALUE(GDI_ERROR, 0xFFFFFFFFL);
VALUE(DC_TRIVIAL, 0);
VALUE(DC_RECT, 1);
VALUE(DC_COMPLEX, 3);
VALUE(GS_UNICODE_HANDLES, 1);
VALUE(GS_8BIT_HANDLES, 2);
VALUE(GS_16BIT_HANDLES, 4);

SIGNATURE(EngComputeGlyphSet, FD_GLYPHSET*(APIENTRY*)(INT, INT, INT));
SIGNATURE(EngCreatePalette, HPALETTE(APIENTRY*)(ULONG, ULONG, ULONG*, FLONG, FLONG, FLONG));
SIGNATURE(EngDeletePalette, BOOL(APIENTRY*)(HPALETTE));
SIGNATURE(EngCreateBitmap, HBITMAP(APIENTRY*)(SIZEL, LONG, ULONG, FLONG, PVOID));
SIGNATURE(EngMarkBandingSurface, BOOL(APIENTRY*)(HSURF));
SIGNATURE(EngAssociateSurface, BOOL(APIENTRY*)(HSURF, HDEV, FLONG));
SIGNATURE(EngEraseSurface, BOOL(APIENTRY*)(SURFOBJ*, RECTL*, ULONG));
SIGNATURE(EngDeleteSurface, BOOL(APIENTRY*)(HSURF));
SIGNATURE(EngLockSurface, SURFOBJ*(APIENTRY*)(HSURF));
SIGNATURE(EngUnlockSurface, void(APIENTRY*)(SURFOBJ*));
SIGNATURE(EngBitBlt, BOOL(APIENTRY*)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*, POINTL*,
                                     BRUSHOBJ*, POINTL*, ROP4));
SIGNATURE(EngStretchBlt, BOOL(APIENTRY*)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*,
                                         POINTL*, RECTL*, RECTL*, POINTL*, ULONG));
SIGNATURE(EngCopyBits, BOOL(APIENTRY*)(SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*));
SIGNATURE(EngLineTo, BOOL(APIENTRY*)(SURFOBJ*, CLIPOBJ*, BRUSHOBJ*, LONG, LONG, LONG, LONG, RECTL*, MIX));
SIGNATURE(EngStrokePath,
          BOOL(APIENTRY*)(SURFOBJ*, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, POINTL*, LINEATTRS*, MIX));
SIGNATURE(EngFillPath, BOOL(APIENTRY*)(SURFOBJ*, PATHOBJ*, CLIPOBJ*, BRUSHOBJ*, POINTL*, MIX, FLONG));
SIGNATURE(EngStrokeAndFillPath, BOOL(APIENTRY*)(SURFOBJ*, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, LINEATTRS*,
                                                BRUSHOBJ*, POINTL*, MIX, FLONG));
SIGNATURE(EngTextOut, BOOL(APIENTRY*)(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*, BRUSHOBJ*,
                                      POINTL*, MIX));

// ---- The libraries' own records ---------------------------------------------------------------------
SIZE(DRIVER_DEVMODE, 236);
AT(DRIVER_DEVMODE, dmPrivSignature, 220);
AT(DRIVER_DEVMODE, dmCuttingControl, 234);
SIZE(USER_PAPER_ENTRY, 52);
SIZE(CUSTOM_PAPER_LIST, 260);
SIZE(PRINTER_SETTINGS_RECORD, SETTINGS_RECORD_SIZE);
SIZE(DRIVER_LOG_SETTINGS, 528);
AT(DRIVER_LOG_SETTINGS, dlFolder, 6);
AT(DRIVER_LOG_SETTINGS, dlReserved2, 526);
SIZE(LOG_MODULE, 4);

// The log library's exports as its callers bind them.
SIGNATURE(VLK_IsLogFileEnabled, BOOL(WINAPI*)(HANDLE));
SIGNATURE(VLK_LogCreateFile, HANDLE(WINAPI*)(LOG_MODULE, HANDLE));
SIGNATURE(VLK_LogWrite, BOOL(WINAPI*)(HANDLE, const char*, DWORD));
SIGNATURE(VKL_LogFileClose, BOOL(WINAPI*)(HANDLE));
SIGNATURE(VKL_LogDeleteAllFiles, BOOL(WINAPI*)(DWORD));

} // namespace
