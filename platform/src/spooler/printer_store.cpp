#include "spooler/internal.h"

#include "host/devmode_check.h"
#include "host/testing.h"
#include "kernel/internal.h"
#include "store/internal.h"

namespace host {

namespace {

constexpr const char* kColumns =
    "id, name, driver, port, share_name, comment, location, sep_file, print_processor, datatype, parameters, "
    "attributes, priority, default_priority, start_time, until_time, status, devmode";

PrinterRecord Read(Statement& s) {
    PrinterRecord p;
    p.id = s.Int(0);
    p.name = s.Text(1);
    p.driver = s.Text(2);
    p.port = s.Text(3);
    p.shareName = s.Text(4);
    p.comment = s.Text(5);
    p.location = s.Text(6);
    p.sepFile = s.Text(7);
    p.printProcessor = s.Text(8);
    p.datatype = s.Text(9);
    p.parameters = s.Text(10);
    p.attributes = static_cast<DWORD>(s.Int(11));
    p.priority = static_cast<DWORD>(s.Int(12));
    p.defaultPriority = static_cast<DWORD>(s.Int(13));
    p.startTime = static_cast<DWORD>(s.Int(14));
    p.untilTime = static_cast<DWORD>(s.Int(15));
    p.status = static_cast<DWORD>(s.Int(16));
    p.devmode = s.Blob(17);
    // A stored record that would not be admitted by SetPrinterW (short, or sizes past its end) is never
    // handed out: the printer goes on as one without a default device mode, and the debug output says so.
    if (!p.devmode.empty() && !HostIsValidDevmode(p.devmode.data(), p.devmode.size())) {
        const std::u16string line = u"spooler: the stored device mode of printer \"" + p.name + u"\" is damaged (" +
                                    HostWide(std::to_string(p.devmode.size())) + u" bytes); it is not used";
        OutputDebugStringW(line.c_str());
        p.devmode.clear();
    }
    return p;
}

// Binds every column after id, starting at parameter 1.
void BindFields(Statement& s, const PrinterRecord& p) {
    s.Bind(1, FoldCase(p.name)).Bind(2, p.name).Bind(3, p.driver).Bind(4, p.port).Bind(5, p.shareName);
    s.Bind(6, p.comment).Bind(7, p.location).Bind(8, p.sepFile).Bind(9, p.printProcessor).Bind(10, p.datatype);
    s.Bind(11, p.parameters).Bind(12, p.attributes).Bind(13, p.priority).Bind(14, p.defaultPriority);
    s.Bind(15, p.startTime).Bind(16, p.untilTime).Bind(17, p.status);
    s.BindBlob(18, p.devmode.data(), p.devmode.size());
}

} // namespace

std::optional<PrinterRecord> LoadPrinter(int64_t id) {
    Statement s((std::string("SELECT ") + kColumns + " FROM printers WHERE id = ?").c_str());
    s.Bind(1, id);
    if (!s.Step()) return std::nullopt;
    return Read(s);
}

std::optional<PrinterRecord> LoadPrinterByName(std::u16string_view name) {
    Statement s((std::string("SELECT ") + kColumns + " FROM printers WHERE name_fold = ?").c_str());
    s.Bind(1, FoldCase(name));
    if (!s.Step()) return std::nullopt;
    return Read(s);
}

void InsertPrinter(PrinterRecord& printer) {
    Statement s("INSERT INTO printers(name_fold, name, driver, port, share_name, comment, location, sep_file, "
                "print_processor, datatype, parameters, attributes, priority, default_priority, start_time, "
                "until_time, status, devmode) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    BindFields(s, printer);
    s.Run();
    Statement last("SELECT last_insert_rowid()");
    last.Step();
    printer.id = last.Int(0);
}

void UpdatePrinter(const PrinterRecord& printer) {
    Statement s("UPDATE printers SET name_fold=?, name=?, driver=?, port=?, share_name=?, comment=?, location=?, "
                "sep_file=?, print_processor=?, datatype=?, parameters=?, attributes=?, priority=?, "
                "default_priority=?, start_time=?, until_time=?, status=?, devmode=? WHERE id=?");
    BindFields(s, printer);
    s.Bind(19, printer.id);
    s.Run();
}

void DeletePrinterRecord(int64_t id) {
    Transaction transaction;
    Statement("DELETE FROM printer_data WHERE printer_id = ?").Bind(1, id).Run();
    Statement("DELETE FROM printers WHERE id = ?").Bind(1, id).Run();
    transaction.Commit();
}

} // namespace host

// A damaged store for tests: the bytes replace the printer's stored default device mode as they are,
// without the checks SetPrinterW makes.
extern "C" BOOL HostDamageStoredDevmode(LPCWSTR printerName, const void* bytes, size_t size) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        std::lock_guard guard(host::StoreLock());
        auto record = printerName ? host::LoadPrinterByName(printerName) : std::nullopt;
        if (!record) {
            SetLastError(ERROR_INVALID_PRINTER_NAME);
            return FALSE;
        }
        const auto* from = static_cast<const uint8_t*>(bytes);
        record->devmode.assign(from, from + (from ? size : 0));
        host::UpdatePrinter(*record);
        return TRUE;
    });
}
