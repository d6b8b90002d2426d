// Decoding the printer's status reply.
#include "status_reply.h"

namespace lmon {

// Tested in this order; every matching row adds its bit and its text.
const StatusReplyRow kStatusReplyRows[kStatusReplyRowCount] = {
    {0, 0x08, 0x08, PRINTER_STATUS_BUSY, STATUS_TEXT_BUSY},
    {3, 0x20, 0x20, PRINTER_STATUS_PAPER_OUT, STATUS_TEXT_PAPER_OUT},
    {1, 0x04, 0x04, PRINTER_STATUS_DOOR_OPEN, STATUS_TEXT_DOOR_OPEN},
    {2, 0x08, 0x08, PRINTER_STATUS_USER_INTERVENTION, STATUS_TEXT_CUTTER_ERROR},
    {1, 0x20, 0x20, PRINTER_STATUS_USER_INTERVENTION, STATUS_TEXT_PRINTING_STOPPED},
    {2, 0x60, 0x40, PRINTER_STATUS_USER_INTERVENTION, STATUS_TEXT_HEAD_TEMPERATURE},
    {2, 0x60, 0x60, PRINTER_STATUS_USER_INTERVENTION, STATUS_TEXT_POWER_SUPPLY},
    {2, 0x60, 0x20, PRINTER_STATUS_USER_INTERVENTION, STATUS_TEXT_HEAD_NOT_CONNECTED},
};

StatusReplyMeaning DecodeStatusReply(const BYTE reply[4]) {
    StatusReplyMeaning meaning;
    for (const StatusReplyRow& row : kStatusReplyRows) {
        if ((reply[row.replyByte] & row.mask) == row.value) {
            meaning.printerStatus |= row.printerStatus;
            meaning.textIds[meaning.textCount++] = row.textId;
        }
    }
    return meaning;
}

} // namespace lmon
