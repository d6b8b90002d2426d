// Copies between records of different formats: each side keeps its own versions and sizes, and only
// the bytes that both have move.
#include <algorithm>
#include <cstring>

#include "driver_devmode.h"

namespace {

// A name field of the platform's record is 32 characters; a copied one may fill it without a
// terminator. Only a field that the copy covers whole is touched: a short record may end inside it.
void TerminateCopiedNames(DEVMODEW* target, size_t publicBytes) {
    if (publicBytes >= offsetof(DEVMODEW, dmDeviceName) + sizeof(target->dmDeviceName)) {
        target->dmDeviceName[CCHDEVICENAME - 1] = 0;
    }
    if (publicBytes >= offsetof(DEVMODEW, dmFormName) + sizeof(target->dmFormName)) {
        target->dmFormName[CCHFORMNAME - 1] = 0;
    }
}

} // namespace

DWORD DevmodeCopyContent(const DEVMODEW* source, DEVMODEW* target) {
    if (source == nullptr || target == nullptr) {
        return 0;
    }
    // Read both formats first: source and target may be one record.
    const WORD targetSpecVersion = target->dmSpecVersion;
    const WORD targetDriverVersion = target->dmDriverVersion;
    const WORD targetSize = target->dmSize;
    const WORD targetExtra = target->dmDriverExtra;
    const WORD sourceSize = source->dmSize;
    const WORD sourceExtra = source->dmDriverExtra;

    // A target whose private part would start inside its own header cannot be filled.
    if (targetSize < DEVMODE_HEADER_BYTES) {
        return 0;
    }

    const size_t publicBytes = std::min(targetSize, sourceSize);
    const size_t privateBytes = std::min(targetExtra, sourceExtra);
    auto* to = reinterpret_cast<BYTE*>(target);
    const auto* from = reinterpret_cast<const BYTE*>(source);

    std::memmove(to, from, publicBytes);
    target->dmSpecVersion = targetSpecVersion;
    target->dmDriverVersion = targetDriverVersion;
    target->dmSize = targetSize;
    target->dmDriverExtra = targetExtra;
    TerminateCopiedNames(target, publicBytes);

    std::memmove(to + targetSize, from + sourceSize, privateBytes);
    return static_cast<DWORD>(publicBytes + privateBytes);
}

BOOL DevmodeWriteOut(const DRIVER_DEVMODE* working, const DEVMODEW* callerInput, DEVMODEW* output) {
    if (working == nullptr || output == nullptr) {
        return FALSE;
    }
    const DEVMODEW& own = working->dmPublic;
    if (callerInput == nullptr) {
        // Never more than the record holds, whatever its size fields say.
        const size_t bytes = std::min<size_t>(own.dmSize + own.dmDriverExtra, sizeof(DRIVER_DEVMODE));
        std::memmove(output, working, bytes);
        return TRUE;
    }

    // Read the caller's format before touching the output: the two may be one buffer.
    const WORD inputSpecVersion = callerInput->dmSpecVersion;
    const WORD inputDriverVersion = callerInput->dmDriverVersion;
    const WORD inputSize = callerInput->dmSize;
    const WORD inputExtra = callerInput->dmDriverExtra;
    if (inputSize < DEVMODE_HEADER_BYTES) {
        return FALSE; // not a format a record can be written in
    }

    // The smaller format wins; ties go to the working record.
    const bool inputPublicSmaller = inputSize < own.dmSize;
    const bool inputPrivateSmaller = inputExtra < own.dmDriverExtra;
    output->dmSpecVersion = inputPublicSmaller ? inputSpecVersion : own.dmSpecVersion;
    output->dmSize = inputPublicSmaller ? inputSize : own.dmSize;
    output->dmDriverVersion = inputPrivateSmaller ? inputDriverVersion : own.dmDriverVersion;
    output->dmDriverExtra = inputPrivateSmaller ? inputExtra : own.dmDriverExtra;
    return DevmodeCopyContent(&own, output) > 0 ? TRUE : FALSE;
}
