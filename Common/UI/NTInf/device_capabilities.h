// The capability answers of the configuration interface, by capability index.
#pragma once

#include "custom_paper_list.h"
#include "driver_devmode.h"
#include "platform.h"

// DC_PAPERNAMES gives each name a slot of this many characters.
#define PAPER_NAME_SLOT_CHARS 64

// The answer to one capability index for a merged record and a paper table; the output (which may be
// absent) receives the index's array. GDI_ERROR for an index the driver doesn't support.
DWORD AnswerCapability(WORD index, const DRIVER_DEVMODE& merged, const CUSTOM_PAPER_LIST& papers, PVOID output);
