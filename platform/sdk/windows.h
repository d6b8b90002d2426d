// The host's stand-in for the platform's main header: the base types, kernel, threads, modules and
// resources, registry and the device mode record, each in the file the platform's SDK keeps it in.
#pragma once

#include <windef.h>
#include <winbase.h>
#include <synchapi.h>
#include <libloaderapi.h>
#include <wingdi.h>
#include <winreg.h>
