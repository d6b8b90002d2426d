// Taking an incoming record over into a working record. The incoming record is first copied into a
// scratch record of our own layout, so that every later step reads only fields that exist.
#include <cstring>

#include "driver_devmode.h"
#include "platform_owners.h"

namespace {

bool IsKnownDuplex(SHORT duplex) { return duplex == 1 || duplex == 2 || duplex == 3 || duplex == 100 || duplex == 101; }

void TakePaper(DEVMODEW& out, const DEVMODEW& in, const DEVMODE_MERGE_RULES& rules) {
    const DWORD fields = in.dmFields;
    if ((fields & DM_PAPERLENGTH) == 0 || (fields & DM_PAPERWIDTH) == 0 || in.dmPaperWidth <= 0 ||
        in.dmPaperLength <= 0) {
        return; // a paper named only by size id or form name leaves ours as it is
    }
    out.dmPaperSize = in.dmPaperSize;
    if (rules.exchangeLandscapePaper && in.dmOrientation == DMORIENT_LANDSCAPE) {
        out.dmPaperWidth = in.dmPaperLength;
        out.dmPaperLength = in.dmPaperWidth;
    } else {
        out.dmPaperWidth = in.dmPaperWidth;
        out.dmPaperLength = in.dmPaperLength;
    }
    out.dmFields &= ~static_cast<DWORD>(DM_FORMNAME);
    out.dmFields |= DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH;
}

// Field by field, judged by the fields the incoming record declares valid.
void TakeOver(DRIVER_DEVMODE& working, const DRIVER_DEVMODE& scratch, const DEVMODE_MERGE_RULES& rules) {
    DEVMODEW& out = working.dmPublic;
    const DEVMODEW& in = scratch.dmPublic;
    const DWORD fields = in.dmFields;

    if (fields & DM_ORIENTATION) {
        out.dmFields |= DM_ORIENTATION;
        const bool known = in.dmOrientation == DMORIENT_PORTRAIT || in.dmOrientation == DMORIENT_LANDSCAPE;
        out.dmOrientation = known ? in.dmOrientation : DMORIENT_PORTRAIT;
    }
    if (fields & DM_COPIES) {
        out.dmFields |= DM_COPIES;
        out.dmCopies = (in.dmCopies >= 1 && in.dmCopies <= DRIVER_MAX_COPIES) ? in.dmCopies : 1;
    }
    if (fields & DM_PRINTQUALITY) {
        out.dmFields |= DM_PRINTQUALITY;
        out.dmPrintQuality = DRIVER_PRINT_QUALITY;
    }
    if (fields & DM_COLOR) {
        out.dmFields |= DM_COLOR;
        out.dmColor = in.dmColor == DMCOLOR_COLOR ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
    }
    if (fields & DM_DUPLEX) {
        if (IsKnownDuplex(in.dmDuplex)) {
            out.dmFields |= DM_DUPLEX;
            out.dmDuplex = in.dmDuplex;
        } else {
            out.dmDuplex = DMDUP_SIMPLEX;
        }
    }
    TakePaper(out, in, rules);

    // Our own private part comes along whole, except that a cutting control other than 0 or 1 keeps
    // the working value, as an out-of-range public field does: any other value would leave the paper
    // uncut.
    if (scratch.dmPrivSignature == PRIV_SIGNATURE) {
        working.dmPrivSignature = scratch.dmPrivSignature;
        working.dmUserSize = scratch.dmUserSize;
        working.dmPrivReserved = scratch.dmPrivReserved;
        working.dmPageModeControl = scratch.dmPageModeControl;
        if (scratch.dmCuttingControl == 0 || scratch.dmCuttingControl == 1)
            working.dmCuttingControl = scratch.dmCuttingControl;
    }
}

} // namespace

BOOL DevmodeMerge(DRIVER_DEVMODE* working, const DEVMODEW* incoming, const DEVMODE_MERGE_RULES& rules) {
    if (working == nullptr || incoming == nullptr) {
        return TRUE;
    }
    const velt::HeapPtr<DRIVER_DEVMODE> scratch = velt::HeapAllocate<DRIVER_DEVMODE>(0);
    if (!scratch) {
        return FALSE;
    }
    // The scratch record is always in our own layout, whatever the working record's size fields say.
    std::memcpy(scratch.get(), working, sizeof(DRIVER_DEVMODE));
    scratch->dmPublic.dmSize = sizeof(DEVMODEW);
    scratch->dmPublic.dmDriverExtra = DRIVER_DEVMODE_PRIVATE_BYTES;
    if (DevmodeCopyContent(incoming, &scratch->dmPublic) == 0) {
        return FALSE;
    }
    TakeOver(*working, *scratch, rules);
    return TRUE;
}
