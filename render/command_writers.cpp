// Writers of the printer commands: fixed byte sequences, the paper feed and the raster block.
#include <utility>

#include "printer_commands.h"

namespace {

// A write that takes only part of the bytes is continued with the rest; one that takes none fails.
BOOL Send(HANDLE printer, const BYTE* bytes, size_t count) {
    while (count > 0) {
        DWORD written = 0;
        if (!WritePrinter(printer, const_cast<BYTE*>(bytes), static_cast<DWORD>(count), &written) || written == 0 ||
            written > count) {
            return FALSE;
        }
        bytes += written;
        count -= written;
    }
    return TRUE;
}

template <size_t N>
BOOL Send(HANDLE printer, const BYTE (&bytes)[N]) {
    return Send(printer, bytes, N);
}

} // namespace

BOOL SendInitialise(HANDLE printer) {
    static const BYTE command[] = {CMD_INITIALISE};
    return Send(printer, command);
}

BOOL SendSideMode(HANDLE printer, BYTE n) {
    if (n != SIDE_MODE_SINGLE && n != SIDE_MODE_DUAL) {
        return FALSE;
    }
    const BYTE command[] = {CMD_SIDE_MODE, n};
    return Send(printer, command);
}

BOOL SendSelectSide(HANDLE printer, BYTE n) {
    const BYTE command[] = {CMD_SELECT_SIDE, static_cast<BYTE>(n <= 1 ? n : 0)};
    return Send(printer, command);
}

BOOL SendEndSheet(HANDLE printer) {
    static const BYTE command[] = {CMD_END_SHEET};
    return Send(printer, command);
}

BOOL SendPageMode(HANDLE printer) {
    static const BYTE command[] = {CMD_PAGE_MODE};
    return Send(printer, command);
}

BOOL SendPrintArea(HANDLE printer, ULONG height) {
    if (height > 0xFFFF) {
        return FALSE; // the printer reads the height as 16 bits; a larger one would wrap
    }
    const BYTE command[] = {CMD_PRINT_AREA,
                            0x00,
                            0x00,
                            0x00,
                            0x00,
                            static_cast<BYTE>(PRINT_AREA_WIDTH & 0xFF),
                            static_cast<BYTE>(PRINT_AREA_WIDTH >> 8),
                            static_cast<BYTE>(height & 0xFF),
                            static_cast<BYTE>(height >> 8)};
    return Send(printer, command);
}

BOOL SendStandardMode(HANDLE printer) {
    static const BYTE command[] = {CMD_STANDARD_MODE};
    return Send(printer, command);
}

BOOL SendFormFeed(HANDLE printer) {
    static const BYTE command[] = {CMD_FORM_FEED};
    return Send(printer, command);
}

BOOL SendCut(HANDLE printer, BYTE m) {
    if (m != 0x30 && m != 0x31 && m != 0x00 && m != 0x01) {
        return FALSE;
    }
    const BYTE command[] = {CMD_CUT, m};
    return Send(printer, command);
}

namespace {

BOOL SendLineSpacing(HANDLE printer, BYTE n) {
    const BYTE command[] = {CMD_LINE_SPACING, n};
    return Send(printer, command);
}

BOOL SendLineFeed(HANDLE printer) {
    static const BYTE command[] = {CMD_LINE_FEED};
    return Send(printer, command);
}

} // namespace

BOOL FeedDots(HANDLE printer, ULONG n) {
    if (n > 255) {
        for (ULONG i = n / 255; i > 0; --i) {
            if (!SendLineSpacing(printer, 255) || !SendLineFeed(printer)) {
                return FALSE;
            }
        }
        n %= 255;
    }
    if (n != 0) {
        return SendLineSpacing(printer, static_cast<BYTE>(n)) && SendLineFeed(printer) ? TRUE : FALSE;
    }
    return TRUE;
}

BOOL SendRasterBlock(HANDLE printer, BYTE type, ULONG rows, BYTE* data, size_t length) {
    if (type > RASTER_TWO_COLOUR || data == nullptr) {
        return FALSE;
    }
    const ULONG high = rows / 255;
    if (high > 0xFF) {
        return FALSE; // nH would not fit its byte
    }
    const BYTE nL = static_cast<BYTE>(rows % 255);
    const BYTE nH = static_cast<BYTE>(high);
    const size_t printerRows = nL + 256 * size_t{nH};
    const size_t lineBytes = type == RASTER_TWO_COLOUR ? LINE_BYTES_TWO_COLOUR : LINE_BYTES_MONO;
    if (length < lineBytes * printerRows || length > 0xFFFFFFFF) {
        return FALSE;
    }
    const BYTE header[] = {CMD_RASTER_BLOCK, type, nL, nH};
    if (!Send(printer, header)) {
        return FALSE;
    }
    for (size_t i = 0; i + 1 < length; i += 2) {
        std::swap(data[i], data[i + 1]);
    }
    return Send(printer, data, length);
}
