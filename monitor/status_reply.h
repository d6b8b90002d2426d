// The printer's status reply: the query sent through the port monitor and the table that turns the
// first four reply bytes into the printer status word and the job status texts.
#pragma once

#include "platform.h"

namespace lmon {

#define STATUS_QUERY_BYTES 1024
#define STATUS_REPLY_BYTES 1024
#define STATUS_TEXT_BUSY 133
#define STATUS_TEXT_PAPER_OUT 134
#define STATUS_TEXT_DOOR_OPEN 135
#define STATUS_TEXT_CUTTER_ERROR 136
#define STATUS_TEXT_PRINTING_STOPPED 137
#define STATUS_TEXT_HEAD_TEMPERATURE 138
#define STATUS_TEXT_POWER_SUPPLY 139
#define STATUS_TEXT_HEAD_NOT_CONNECTED 140

// One row: the reply byte, the bits looked at, the value they must have, what a match means.
struct StatusReplyRow {
    BYTE replyByte;
    BYTE mask;
    BYTE value;
    DWORD printerStatus; // PRINTER_STATUS_* bit
    UINT textId;         // string of VELTrc
};

inline constexpr int kStatusReplyRowCount = 8;
extern const StatusReplyRow kStatusReplyRows[kStatusReplyRowCount];

// What a reply means: the status word and the texts of the matching rows, in table order.
struct StatusReplyMeaning {
    DWORD printerStatus = 0;
    UINT textIds[kStatusReplyRowCount] = {};
    int textCount = 0;
};

StatusReplyMeaning DecodeStatusReply(const BYTE reply[4]);

// The query's first bytes; the rest of its 1024 bytes are zero.
inline constexpr BYTE kStatusQuery[3] = {0x14, 0x01, 0x01};

} // namespace lmon
