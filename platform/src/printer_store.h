// Printers as the store keeps them: the fields of PRINTER_INFO_2W that belong to the printer, its
// status and its default device mode (dmSize + dmDriverExtra bytes, or none).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/types.h"

namespace host {

struct PrinterRecord {
    int64_t id = 0; // 0 until stored
    std::u16string name, driver, port, shareName, comment, location, sepFile, printProcessor, datatype, parameters;
    DWORD attributes = 0, priority = 1, defaultPriority = 0, startTime = 0, untilTime = 0, status = 0;
    std::vector<uint8_t> devmode;
};

// All with the store lock held.
std::optional<PrinterRecord> LoadPrinter(int64_t id);
std::optional<PrinterRecord> LoadPrinterByName(std::u16string_view name);
void InsertPrinter(PrinterRecord& printer); // sets printer.id
void UpdatePrinter(const PrinterRecord& printer);
void DeletePrinterRecord(int64_t id); // with its printer data, in one transaction

} // namespace host
