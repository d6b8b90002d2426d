// The module VELTui as the spooler loads it: exactly the printer interface's entry points by name.
#include <gtest/gtest.h>

#include "host_fixture.h"

namespace {

using UiModuleTest = HostTest;

TEST_F(UiModuleTest, ExportsThePrinterInterfaceEntryPointsAndNothingOfItsInside) {
    const std::u16string path = u"C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\VELTui.dll";
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr);
    const char* exported[] = {"DrvDeviceCapabilities",     "DevQueryPrintEx",       "DrvConvertDevMode",
                              "DrvDocumentPropertySheets", "DrvDocumentProperties", "DrvAdvancedDocumentProperties",
                              "DrvDevicePropertySheets",   "DrvPrinterEvent",       "DrvUpgradePrinter"};
    for (const char* name : exported) EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    const char* hidden[] = {
        "ReadPrinterValue", "WriteUiLog",         "AcquireResourceLibrary", "NormalizeSettingsRecord",
        "DevmodeMerge",     "currentPrinterName", "VLK_LogWrite",           "DrvEnablePDEV"};
    for (const char* name : hidden) EXPECT_EQ(GetProcAddress(module, name), nullptr) << name;
    EXPECT_TRUE(FreeLibrary(module));
}

} // namespace
