// The graphics engine's printer driver interface: surfaces, palettes, the device records a driver fills
// (GDIINFO, DEVINFO), its function table, the engine services a driver calls, and the driver entry
// points the engine calls. Layouts follow the platform's; handles are pointer-sized on this host.
#pragma once

#include <windows.h>

typedef ULONG FLONG;
typedef ULONG MIX;
typedef ULONG ROP4;
typedef LONG LDECI4;
typedef INT_PTR (*PFN)();

struct HSURF__;
typedef HSURF__* HSURF;
struct HBITMAP__;
typedef HBITMAP__* HBITMAP;
struct HPALETTE__;
typedef HPALETTE__* HPALETTE;
struct HDEV__;
typedef HDEV__* HDEV;
struct DHPDEV__;
typedef DHPDEV__* DHPDEV;
struct DHSURF__;
typedef DHSURF__* DHSURF;

// Bitmap formats and creation flags.
#define BMF_1BPP 1L
#define BMF_4BPP 2L
#define BMF_8BPP 3L
#define BMF_16BPP 4L
#define BMF_24BPP 5L
#define BMF_32BPP 6L
#define BMF_TOPDOWN 0x0001
#define BMF_NOZEROINIT 0x0002

#define STYPE_BITMAP 0L
#define STYPE_DEVICE 1L
#define STYPE_DEVBITMAP 3L

typedef struct _SURFOBJ {
    DHSURF dhsurf;
    HSURF hsurf;
    DHPDEV dhpdev; // the device instance the surface is associated with
    HDEV hdev;
    SIZEL sizlBitmap;
    ULONG cjBits;  // bytes of the pixel buffer
    PVOID pvBits;  // start of the pixel buffer
    PVOID pvScan0; // first scan line (== pvBits for top-down bitmaps)
    LONG lDelta;   // bytes from one scan line to the next
    ULONG iUniq;
    ULONG iBitmapFormat;
    USHORT iType;
    USHORT fjBitmap;
} SURFOBJ;

// Objects the engine passes through the drawing calls. The driver forwards them untouched.
typedef struct _CLIPOBJ {
    ULONG iUniq;
    RECTL rclBounds;
    BYTE iDComplexity;
    BYTE iFComplexity;
    BYTE iMode;
    BYTE fjOptions;
} CLIPOBJ;
#define DC_TRIVIAL 0
#define DC_RECT 1
#define DC_COMPLEX 3

typedef struct _XLATEOBJ {
    ULONG iUniq;
    FLONG flXlate;
    USHORT iSrcType;
    USHORT iDstType;
    ULONG cEntries;
    ULONG* pulXlate;
} XLATEOBJ;

typedef struct _BRUSHOBJ {
    ULONG iSolidColor;
    PVOID pvRbrush;
    FLONG flColorType;
} BRUSHOBJ;

typedef struct _PATHOBJ {
    FLONG fl;
    ULONG cCurves;
} PATHOBJ;

typedef struct _XFORMOBJ {
    ULONG ulReserved;
} XFORMOBJ;

typedef struct _LINEATTRS {
    FLONG fl;
    ULONG iJoin;
    ULONG iEndCap;
    LONG elWidth;
    LONG eMiterLimit;
    ULONG cstyle;
    LONG* pstyle;
    LONG elStyleState;
} LINEATTRS;

typedef struct _FONTOBJ {
    ULONG iUniq;
    ULONG iFace;
    ULONG cxMax;
    FLONG flFontType;
    ULONG_PTR iTTUniq;
    ULONG_PTR iFile;
    SIZEL sizLogResPpi;
    ULONG ulStyleSize;
    PVOID pvConsumer;
    PVOID pvProducer;
} FONTOBJ;

typedef struct _STROBJ {
    ULONG cGlyphs;
    FLONG flAccel;
    ULONG ulCharInc;
    RECTL rclBkGround;
    void* pgp;
    LPWSTR pwszOrg;
} STROBJ;

typedef struct _COLORADJUSTMENT {
    WORD caSize;
    WORD caFlags;
    WORD caIlluminantIndex;
    WORD caRedGamma;
    WORD caGreenGamma;
    WORD caBlueGamma;
    WORD caReferenceBlack;
    WORD caReferenceWhite;
    SHORT caContrast;
    SHORT caBrightness;
    SHORT caColorfulness;
    SHORT caRedGreenTint;
} COLORADJUSTMENT;

// A glyph set as the engine computes it for a code page: runs of consecutive characters, each
// pointing at its glyph handles.
typedef ULONG HGLYPH;
#define GS_UNICODE_HANDLES 0x00000001
#define GS_8BIT_HANDLES 0x00000002
#define GS_16BIT_HANDLES 0x00000004
typedef struct _WCRUN {
    WCHAR wcLow;
    USHORT cGlyphs;
    void* phg; // HGLYPH[cGlyphs]
} WCRUN;
typedef struct _FD_GLYPHSET {
    ULONG cjThis;
    FLONG flAccel;
    ULONG cGlyphsSupported;
    ULONG cRuns;
    WCRUN awcrun[1];
} FD_GLYPHSET;

typedef struct _CIECHROMA {
    LDECI4 x;
    LDECI4 y;
    LDECI4 Y;
} CIECHROMA;

typedef struct _COLORINFO {
    CIECHROMA Red;
    CIECHROMA Green;
    CIECHROMA Blue;
    CIECHROMA Cyan;
    CIECHROMA Magenta;
    CIECHROMA Yellow;
    CIECHROMA AlignmentWhite;
    LDECI4 RedGamma;
    LDECI4 GreenGamma;
    LDECI4 BlueGamma;
    LDECI4 MagentaInCyanDye;
    LDECI4 YellowInCyanDye;
    LDECI4 CyanInMagentaDye;
    LDECI4 YellowInMagentaDye;
    LDECI4 CyanInYellowDye;
    LDECI4 MagentaInYellowDye;
} COLORINFO;

typedef struct _GDIINFO {
    ULONG ulVersion;
    ULONG ulTechnology;
    ULONG ulHorzSize;
    ULONG ulVertSize;
    ULONG ulHorzRes;
    ULONG ulVertRes;
    ULONG cBitsPixel;
    ULONG cPlanes;
    ULONG ulNumColors;
    FLONG flRaster;
    ULONG ulLogPixelsX;
    ULONG ulLogPixelsY;
    FLONG flTextCaps;
    ULONG ulDACRed;
    ULONG ulDACGreen;
    ULONG ulDACBlue;
    ULONG ulAspectX;
    ULONG ulAspectY;
    ULONG ulAspectXY;
    LONG xStyleStep;
    LONG yStyleStep;
    LONG denStyleStep;
    POINTL ptlPhysOffset;
    SIZEL szlPhysSize;
    ULONG ulNumPalReg;
    COLORINFO ciDevice;
    ULONG ulDevicePelsDPI;
    ULONG ulPrimaryOrder;
    ULONG ulHTPatternSize;
    ULONG ulHTOutputFormat;
    FLONG flHTFlags;
    ULONG ulVRefresh;
    ULONG ulBltAlignment;
    ULONG ulPanningHorzRes;
    ULONG ulPanningVertRes;
    ULONG xPanningAlignment;
    ULONG yPanningAlignment;
    ULONG cxHTPat;
    ULONG cyHTPat;
    LPBYTE pHTPatA;
    LPBYTE pHTPatB;
    LPBYTE pHTPatC;
    FLONG flShadeBlend;
    ULONG ulPhysicalPixelCharacteristics;
    ULONG ulPhysicalPixelGamma;
} GDIINFO, *PGDIINFO;

#define LF_FACESIZE 32
typedef struct _LOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
} LOGFONTW;
static_assert(sizeof(LOGFONTW) == 92);

typedef struct _DEVINFO {
    FLONG flGraphicsCaps;
    LOGFONTW lfDefaultFont;
    LOGFONTW lfAnsiVarFont;
    LOGFONTW lfAnsiFixFont;
    ULONG cFonts;
    ULONG iDitherFormat;
    USHORT cxDither;
    USHORT cyDither;
    HPALETTE hpalDefault;
    FLONG flGraphicsCaps2;
} DEVINFO, *PDEVINFO;

typedef struct _DRVFN {
    ULONG iFunc;
    PFN pfn;
} DRVFN, *PDRVFN;

typedef struct _DRVENABLEDATA {
    ULONG iDriverVersion;
    ULONG c;
    DRVFN* pdrvfn;
} DRVENABLEDATA, *PDRVENABLEDATA;

// The engine version this driver interface is written for (engines report it in DrvEnableDriver).
#define DDI_DRIVER_VERSION_NT5 0x00030000
#define DRVQUERY_USERMODE 0x00000001

#define INDEX_DrvEnablePDEV 0L
#define INDEX_DrvCompletePDEV 1L
#define INDEX_DrvDisablePDEV 2L
#define INDEX_DrvEnableSurface 3L
#define INDEX_DrvDisableSurface 4L
#define INDEX_DrvResetPDEV 7L
#define INDEX_DrvRealizeBrush 12L
#define INDEX_DrvStrokePath 14L
#define INDEX_DrvFillPath 15L
#define INDEX_DrvStrokeAndFillPath 16L
#define INDEX_DrvBitBlt 18L
#define INDEX_DrvCopyBits 19L
#define INDEX_DrvStretchBlt 20L
#define INDEX_DrvTextOut 23L
#define INDEX_DrvLineTo 31L
#define INDEX_DrvSendPage 32L
#define INDEX_DrvStartPage 33L
#define INDEX_DrvEndDoc 34L
#define INDEX_DrvStartDoc 35L
#define INDEX_DrvGetGlyphMode 37L
#define INDEX_DrvStartBanding 57L
#define INDEX_DrvNextBand 58L
#define INDEX_LAST 93L

// Flags of DrvEndDoc.
#define ED_ABORTDOC 0x00000001

#define DT_RASPRINTER 2
#define PRIMARY_ORDER_ABC 0
#define HT_FORMAT_24BPP 6
#define HT_FLAG_ADDITIVE_PRIMS 0x00000004
#define FO_GLYPHBITS 1L
#define FW_NORMAL 400
#define FIXED_PITCH 1
#define FF_MODERN (3 << 4)
#define PAL_INDEXED 0x00000001
#define PAL_BITFIELDS 0x00000002
#define PAL_RGB 0x00000004
#define PAL_BGR 0x00000008
#define GDI_ERROR (0xFFFFFFFFL)

#define HOOK_BITBLT 0x00000001
#define HOOK_STRETCHBLT 0x00000002
#define HOOK_TEXTOUT 0x00000008
#define HOOK_STROKEPATH 0x00000020
#define HOOK_FILLPATH 0x00000040
#define HOOK_STROKEANDFILLPATH 0x00000080
#define HOOK_COPYBITS 0x00000400
#define HOOK_LINETO 0x00000100

// Stretching modes of EngStretchBlt.
#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4

// Foreground mixes of the line and path functions (the low byte of a MIX).
#define R2_BLACK 1
#define R2_NOP 11
#define R2_COPYPEN 13
#define R2_WHITE 16

// Engine services a driver calls.
extern "C" {
FD_GLYPHSET* EngComputeGlyphSet(INT codePage, INT firstChar, INT chars);
HPALETTE EngCreatePalette(ULONG mode, ULONG colors, ULONG* colorTable, FLONG red, FLONG green, FLONG blue);
BOOL EngDeletePalette(HPALETTE palette);
HBITMAP EngCreateBitmap(SIZEL size, LONG width, ULONG format, FLONG flags, PVOID bits);
BOOL EngMarkBandingSurface(HSURF surface);
BOOL EngAssociateSurface(HSURF surface, HDEV device, FLONG hooks);
BOOL EngEraseSurface(SURFOBJ* surface, RECTL* rect, ULONG color);
BOOL EngDeleteSurface(HSURF surface);
SURFOBJ* EngLockSurface(HSURF surface);
void EngUnlockSurface(SURFOBJ* surface);
void EngFreeModule(HANDLE module);
PVOID EngAllocMem(ULONG flags, ULONG bytes, ULONG tag);
void EngFreeMem(PVOID block);
#define FL_ZERO_MEMORY 0x00000001

BOOL EngBitBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* targetRect,
               POINTL* sourcePoint, POINTL* maskPoint, BRUSHOBJ* brush, POINTL* brushOrigin, ROP4 rop);
BOOL EngStretchBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                   COLORADJUSTMENT* colorAdjust, POINTL* halftoneOrigin, RECTL* targetRect, RECTL* sourceRect,
                   POINTL* maskPoint, ULONG mode);
BOOL EngCopyBits(SURFOBJ* target, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* targetRect,
                 POINTL* sourcePoint);
BOOL EngLineTo(SURFOBJ* surface, CLIPOBJ* clip, BRUSHOBJ* brush, LONG x1, LONG y1, LONG x2, LONG y2, RECTL* bounds,
               MIX mix);
BOOL EngStrokePath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform, BRUSHOBJ* brush,
                   POINTL* brushOrigin, LINEATTRS* lineAttrs, MIX mix);
BOOL EngFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, BRUSHOBJ* brush, POINTL* brushOrigin, MIX mix,
                 FLONG options);
BOOL EngStrokeAndFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform, BRUSHOBJ* strokeBrush,
                          LINEATTRS* lineAttrs, BRUSHOBJ* fillBrush, POINTL* brushOrigin, MIX mix, FLONG options);
BOOL EngTextOut(SURFOBJ* surface, STROBJ* text, FONTOBJ* font, CLIPOBJ* clip, RECTL* extra, RECTL* opaqueRect,
                BRUSHOBJ* foreBrush, BRUSHOBJ* opaqueBrush, POINTL* origin, MIX mix);
} // extern "C"

// Driver entry points as the engine calls them (signatures of the function-table entries).
typedef BOOL(APIENTRY* PFN_DrvEnableDriver)(ULONG engineVersion, ULONG size, DRVENABLEDATA* data);
typedef void(APIENTRY* PFN_DrvDisableDriver)(void);
typedef BOOL(APIENTRY* PFN_DrvQueryDriverInfo)(DWORD mode, PVOID buffer, DWORD size, PDWORD needed);
typedef DHPDEV(APIENTRY* PFN_DrvEnablePDEV)(DEVMODEW* devmode, LPWSTR logAddress, ULONG patterns,
                                            HSURF* patternSurfaces, ULONG gdiInfoSize, ULONG* gdiInfo,
                                            ULONG devInfoSize, DEVINFO* devInfo, HDEV device, LPWSTR deviceName,
                                            HANDLE printer);
typedef void(APIENTRY* PFN_DrvCompletePDEV)(DHPDEV pdev, HDEV device);
typedef BOOL(APIENTRY* PFN_DrvResetPDEV)(DHPDEV oldPdev, DHPDEV newPdev);
typedef void(APIENTRY* PFN_DrvDisablePDEV)(DHPDEV pdev);
typedef HSURF(APIENTRY* PFN_DrvEnableSurface)(DHPDEV pdev);
typedef void(APIENTRY* PFN_DrvDisableSurface)(DHPDEV pdev);
typedef BOOL(APIENTRY* PFN_DrvStartDoc)(SURFOBJ* surface, LPWSTR docName, DWORD jobId);
typedef BOOL(APIENTRY* PFN_DrvEndDoc)(SURFOBJ* surface, FLONG flags);
typedef BOOL(APIENTRY* PFN_DrvStartPage)(SURFOBJ* surface);
typedef BOOL(APIENTRY* PFN_DrvSendPage)(SURFOBJ* surface);
typedef BOOL(APIENTRY* PFN_DrvStartBanding)(SURFOBJ* surface, POINTL* origin);
typedef BOOL(APIENTRY* PFN_DrvNextBand)(SURFOBJ* surface, POINTL* origin);
typedef BOOL(APIENTRY* PFN_DrvBitBlt)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*, POINTL*,
                                      BRUSHOBJ*, POINTL*, ROP4);
typedef BOOL(APIENTRY* PFN_DrvStretchBlt)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*, POINTL*,
                                          RECTL*, RECTL*, POINTL*, ULONG);
typedef BOOL(APIENTRY* PFN_DrvCopyBits)(SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*);
typedef BOOL(APIENTRY* PFN_DrvLineTo)(SURFOBJ*, CLIPOBJ*, BRUSHOBJ*, LONG, LONG, LONG, LONG, RECTL*, MIX);
typedef BOOL(APIENTRY* PFN_DrvStrokePath)(SURFOBJ*, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, POINTL*, LINEATTRS*, MIX);
typedef BOOL(APIENTRY* PFN_DrvFillPath)(SURFOBJ*, PATHOBJ*, CLIPOBJ*, BRUSHOBJ*, POINTL*, MIX, FLONG);
typedef BOOL(APIENTRY* PFN_DrvStrokeAndFillPath)(SURFOBJ*, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, LINEATTRS*,
                                                 BRUSHOBJ*, POINTL*, MIX, FLONG);
typedef BOOL(APIENTRY* PFN_DrvTextOut)(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*, BRUSHOBJ*,
                                       POINTL*, MIX);
typedef ULONG(APIENTRY* PFN_DrvGetGlyphMode)(DHPDEV pdev, FONTOBJ* font);
