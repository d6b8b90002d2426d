// The one header through which the five libraries reach the platform, the same for both builds: the
// platform's headers in the order its SDK wants them, wide-character names, no min/max macros. The
// host build finds the host's stand-ins (platform/sdk/) under these names; the cross build finds the
// SDK's own.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
#include <winddi.h>
#include <winspool.h>
#include <winsplp.h>
#include <usbprint.h>
#include <prsht.h>
#include <compstui.h>
#include <winddiui.h>
#include <commctrl.h>
