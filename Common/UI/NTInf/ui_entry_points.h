// Every entry point the configuration interface exports, with the print subsystem's plain
// signatures, and the module's own entry point.
#pragma once

#include "platform.h"
#include "ui_export.h"

UI_ENTRY_POINT BOOL WINAPI DllEntryPoint(HINSTANCE module, DWORD reason, LPVOID reserved);

UIAPI_EXPORT DWORD APIENTRY DrvDeviceCapabilities(HANDLE hPrinter, PWSTR pDeviceName, WORD iDevCap, PVOID pvOutput,
                                                  PDEVMODEW pDevMode);
UIAPI_EXPORT BOOL APIENTRY DevQueryPrintEx(PDEVQUERYPRINT_INFO pDQPInfo);
UIAPI_EXPORT BOOL APIENTRY DrvConvertDevMode(LPWSTR pPrinterName, PDEVMODEW pdmIn, PDEVMODEW pdmOut, PLONG pcbNeeded,
                                             DWORD fMode);
UIAPI_EXPORT LONG APIENTRY DrvDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);
UIAPI_EXPORT LONG APIENTRY DrvDevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);
UIAPI_EXPORT LONG APIENTRY DrvDocumentProperties(HWND hWnd, HANDLE hPrinter, LPWSTR pDeviceName, PDEVMODEW pdmOutput,
                                                 PDEVMODEW pdmInput, DWORD fMode);
UIAPI_EXPORT LONG APIENTRY DrvAdvancedDocumentProperties(HWND hWnd, HANDLE hPrinter, LPWSTR pDeviceName,
                                                         PDEVMODEW pdmOutput, PDEVMODEW pdmInput);
UIAPI_EXPORT BOOL APIENTRY DrvPrinterEvent(LPWSTR pPrinterName, INT DriverEvent, DWORD Flags, LPARAM lParam);
UIAPI_EXPORT BOOL APIENTRY DrvUpgradePrinter(DWORD Level, LPBYTE pDriverUpgradeInfo);
