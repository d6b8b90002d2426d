// Making sure a printer's settings record exists in the current version.
#pragma once

#include "platform.h"

// Reads the printer's stored settings record (or starts from the default one), brings a record older
// than the current version over into a new current one, and stores it through the handle (opened with
// all access). Fails only when no memory is available; the stores' outcome is not reported.
BOOL NormalizeSettingsRecord(HANDLE printer);
