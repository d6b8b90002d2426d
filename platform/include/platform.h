// The umbrella header of the host platform: every library includes this one header.
#pragma once

#include "host/types.h"
#include "host/kernel.h"
#include "host/threads.h"
#include "host/registry.h"
#include "host/devmode.h"
#include "host/spooler.h"
#include "host/printer_drivers.h"
#include "host/module.h"
#include "host/portmon.h"
#include "host/winddi.h"
#include "host/winddiui.h"
