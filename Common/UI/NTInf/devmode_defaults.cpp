// The defaults of a record that the driver builds.
#include <cstring>

#include "driver_devmode.h"

namespace {

// Up to 31 characters of the name, then zeros to the end of the field, so the name is always terminated.
void CopyDeviceName(WCHAR (&field)[CCHDEVICENAME], LPCWSTR name) {
    size_t length = 0;
    if (name != nullptr) {
        while (length < CCHDEVICENAME - 1 && name[length] != 0) {
            field[length] = name[length];
            ++length;
        }
    }
    for (; length < CCHDEVICENAME; ++length) {
        field[length] = 0;
    }
}

} // namespace

void DevmodeSetDefaults(DRIVER_DEVMODE* record, LPCWSTR name) {
    if (record == nullptr) {
        return;
    }
    std::memset(record, 0, sizeof(*record));
    DEVMODEW& pub = record->dmPublic;
    CopyDeviceName(pub.dmDeviceName, name);
    pub.dmSpecVersion = DM_SPECVERSION;
    pub.dmDriverVersion = DRIVER_DEVMODE_VERSION;
    pub.dmSize = sizeof(DEVMODEW);
    pub.dmDriverExtra = DRIVER_DEVMODE_PRIVATE_BYTES;
    pub.dmFields = DRIVER_DEVMODE_FIELDS;
    pub.dmOrientation = DMORIENT_PORTRAIT;
    pub.dmPaperSize = USER_PAPER_FIRST_ID;
    pub.dmPaperLength = 500; // 50 mm, the built-in user-defined size
    pub.dmPaperWidth = 580;  // 58 mm
    pub.dmScale = 100;
    pub.dmCopies = 1;
    pub.dmDefaultSource = 0;
    pub.dmPrintQuality = DRIVER_PRINT_QUALITY;
    pub.dmColor = DMCOLOR_MONOCHROME;
    pub.dmDuplex = DMDUP_SIMPLEX;
    pub.dmTTOption = DMTT_SUBDEV;
    record->dmPrivSignature = PRIV_SIGNATURE;
    record->dmUserSize = 0;
    record->dmPrivReserved = 0;
    record->dmPageModeControl = 0;
    record->dmCuttingControl = 0;
}
