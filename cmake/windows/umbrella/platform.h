// The cross build's umbrella header, until the libraries' own umbrella is shared by both builds: the
// platform's SDK headers in the SDK's order, wide-character names, and no min/max macros.
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
