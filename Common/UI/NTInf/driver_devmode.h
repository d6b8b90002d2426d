// The driver's device mode: the platform's public DEVMODEW (220 bytes) followed by a 16-byte private
// part. The configuration interface writes it into callers' buffers and the printer's default; the
// rendering driver builds its own working copy from each job's record with the same operations.
#pragma once

#include <bit>
#include <cstddef>

#include "platform.h"

static_assert(std::endian::native == std::endian::little, "stored records are little-endian");

#define PRIV_SIGNATURE 0x56495250UL // "PRIV" in memory order

#define DRIVER_DEVMODE_VERSION 0x0102
#define DRIVER_DEVMODE_FIELDS                                                                                          \
    (DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES | DM_DEFAULTSOURCE | DM_PRINTQUALITY | \
     DM_COLOR | DM_DUPLEX | DM_TTOPTION)
#define DRIVER_PRINT_QUALITY 203 // dots per inch, the only resolution of the printer
#define DRIVER_MAX_COPIES 999

// Paper ids of the five user-defined sizes: 259 for entry 0 of CustomPaperList up to 263 for entry 4.
#define USER_PAPER_FIRST_ID 259
#define USER_PAPER_COUNT 5

// dmDuplex as the printer takes it: single side or dual side (the platform's simplex and vertical);
// a merge also keeps 3, 100 and 101, which select neither.
#define DRIVER_DUPLEX_SINGLE_SIDE DMDUP_SIMPLEX
#define DRIVER_DUPLEX_DUAL_SIDE DMDUP_VERTICAL

// dmPageModeControl: page mode or standard mode (any other value selects neither).
#define DRIVER_PAGE_MODE 0
#define DRIVER_STANDARD_MODE 1

// dmCuttingControl: a cut after each page, or one at the end of the document.
#define DRIVER_CUT_AFTER_EACH_PAGE 0
#define DRIVER_CUT_AT_END_OF_DOCUMENT 1

// A record must hold at least the fields through dmDriverExtra to say how big it is.
#define DEVMODE_HEADER_BYTES (offsetof(DEVMODEW, dmDriverExtra) + sizeof(WORD))

typedef struct _DRIVER_DEVMODE {
    DEVMODEW dmPublic;
    DWORD dmPrivSignature;   // PRIV_SIGNATURE marks the private part as ours
    DWORD dmUserSize;        // index 0..4 of the selected CustomPaperList entry
    DWORD dmPrivReserved;    // never set, travels with the private part
    SHORT dmPageModeControl; // DRIVER_PAGE_MODE 0, DRIVER_STANDARD_MODE 1
    SHORT dmCuttingControl;  // DRIVER_CUT_AFTER_EACH_PAGE 0, DRIVER_CUT_AT_END_OF_DOCUMENT 1
} DRIVER_DEVMODE, *PDRIVER_DEVMODE;

#define DRIVER_DEVMODE_PRIVATE_BYTES (sizeof(DRIVER_DEVMODE) - sizeof(DEVMODEW))

static_assert(sizeof(DRIVER_DEVMODE) == 236);
static_assert(DRIVER_DEVMODE_PRIVATE_BYTES == 16);
static_assert(DEVMODE_HEADER_BYTES == 72);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmDeviceName) == 0);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmSpecVersion) == 64);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmDriverVersion) == 66);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmSize) == 68);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmDriverExtra) == 70);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmFields) == 72);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmOrientation) == 76);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmPaperSize) == 78);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmPaperLength) == 80);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmPaperWidth) == 82);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmScale) == 84);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmCopies) == 86);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmDefaultSource) == 88);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmPrintQuality) == 90);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmColor) == 92);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmDuplex) == 94);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmTTOption) == 98);
static_assert(offsetof(DRIVER_DEVMODE, dmPublic.dmFormName) == 102);
static_assert(offsetof(DRIVER_DEVMODE, dmPrivSignature) == 220);
static_assert(offsetof(DRIVER_DEVMODE, dmUserSize) == 224);
static_assert(offsetof(DRIVER_DEVMODE, dmPrivReserved) == 228);
static_assert(offsetof(DRIVER_DEVMODE, dmPageModeControl) == 232);
static_assert(offsetof(DRIVER_DEVMODE, dmCuttingControl) == 234);

// The rendering driver and the configuration interface each contain these operations (each library its
// own copy, hidden inside it); they differ in one step of DevmodeMerge, which each passes as its rules.
typedef struct _DEVMODE_MERGE_RULES {
    bool exchangeLandscapePaper; // landscape paper kept with width and length exchanged
} DEVMODE_MERGE_RULES;

// The rendering driver keeps a landscape job's paper exchanged: its length is then the roll width.
inline constexpr DEVMODE_MERGE_RULES RENDERING_DRIVER_MERGE_RULES = {true};
// The configuration interface keeps paper as it comes (its sizes come from the user-defined paper list).
inline constexpr DEVMODE_MERGE_RULES CONFIGURATION_INTERFACE_MERGE_RULES = {false};

// Fills all 236 bytes with the driver's defaults; name may be null (empty device name) and is cut to
// 31 characters.
void DevmodeSetDefaults(DRIVER_DEVMODE* record, LPCWSTR name);

// Copies what both records have, each in its own format, keeping the target's versions and sizes.
// Returns the number of bytes copied (public and private); 0 when nothing could be copied.
DWORD DevmodeCopyContent(const DEVMODEW* source, DEVMODEW* target);

// Takes the incoming record's settings over into the working record by the library's rules.
// An absent record changes nothing and succeeds; fails only when nothing could be taken from the
// incoming record or its scratch copy could not be allocated, leaving the working record unchanged.
BOOL DevmodeMerge(DRIVER_DEVMODE* working, const DEVMODEW* incoming, const DEVMODE_MERGE_RULES& rules);

// Writes the working record into the caller's output in the smaller of the two formats (the working
// record's and the caller's input's); without a caller's input, the whole working record.
BOOL DevmodeWriteOut(const DRIVER_DEVMODE* working, const DEVMODEW* callerInput, DEVMODEW* output);
