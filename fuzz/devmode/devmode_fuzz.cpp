// Arbitrary bytes as an incoming device mode: admitted only through the host's check, then merged under
// both libraries' rules, copied and written out. Afterwards the working record must still be one the
// driver could have built, and the two merges may differ only in a landscape job's exchanged paper.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "driver_devmode.h"
#include "host/devmode_check.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void RequireWorkingInvariants(const DRIVER_DEVMODE& record) {
    const DEVMODEW& pub = record.dmPublic;
    Require(pub.dmSize == 220);
    Require(pub.dmDriverExtra == 16);
    Require(pub.dmPrintQuality == 203);
    Require(record.dmPrivSignature == PRIV_SIGNATURE);
    Require(pub.dmCopies >= 1 && pub.dmCopies <= 999);
    Require(pub.dmOrientation == 1 || pub.dmOrientation == 2);
    Require(pub.dmColor == 1 || pub.dmColor == 2);
    Require(pub.dmScale == 100);
    Require(pub.dmDeviceName[CCHDEVICENAME - 1] == 0);
}

// The rendering driver's merge keeps what the configuration interface's keeps, but for paper width and
// length, which it holds exchanged for a record whose own orientation is landscape (declared or not).
void RequireSameButExchangedPaper(const DRIVER_DEVMODE& ui, const DRIVER_DEVMODE& render) {
    DRIVER_DEVMODE exchanged = render;
    if (exchanged.dmPublic.dmPaperWidth != ui.dmPublic.dmPaperWidth) {
        std::swap(exchanged.dmPublic.dmPaperWidth, exchanged.dmPublic.dmPaperLength);
    }
    Require(std::memcmp(&exchanged, &ui, sizeof(ui)) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!HostIsValidDevmode(data, size)) {
        return 0;
    }
    // An aligned copy of exactly the bytes given, so any read or write beyond them is caught.
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size]);
    std::memcpy(bytes.get(), data, size);
    auto* incoming = reinterpret_cast<DEVMODEW*>(bytes.get());

    DRIVER_DEVMODE working;
    DevmodeSetDefaults(&working, TEXT("VELT"));
    const BOOL merged = DevmodeMerge(&working, incoming, CONFIGURATION_INTERFACE_MERGE_RULES);
    RequireWorkingInvariants(working);

    DRIVER_DEVMODE rendering;
    DevmodeSetDefaults(&rendering, TEXT("VELT"));
    Require(DevmodeMerge(&rendering, incoming, RENDERING_DRIVER_MERGE_RULES) == merged);
    RequireWorkingInvariants(rendering);
    RequireSameButExchangedPaper(working, rendering);

    // Into our layout: the target keeps its format and gets terminated names.
    DRIVER_DEVMODE target;
    DevmodeSetDefaults(&target, nullptr);
    Require(DevmodeCopyContent(incoming, &target.dmPublic) <= sizeof(DRIVER_DEVMODE));
    Require(target.dmPublic.dmSize == 220 && target.dmPublic.dmDriverExtra == 16);
    Require(target.dmPublic.dmDeviceName[CCHDEVICENAME - 1] == 0);

    // Out into the caller's record and its format.
    uint8_t output[sizeof(DRIVER_DEVMODE)];
    std::memset(output, 0xCC, sizeof(output));
    auto* out = reinterpret_cast<DEVMODEW*>(output);
    if (DevmodeWriteOut(&working, incoming, out)) {
        Require(out->dmSize <= 220 && out->dmDriverExtra <= 16);
        Require(out->dmSize == 220 || out->dmSize == incoming->dmSize);
    }

    // The fuzzed record as a copy target stays within its own declared bytes.
    DevmodeCopyContent(&working.dmPublic, incoming);

    RequireWorkingInvariants(working);
    return 0;
}
