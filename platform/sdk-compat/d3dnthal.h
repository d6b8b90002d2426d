// The cross build's stand-in for the 3-D display-driver header that winddi.h includes and Debian's
// mingw-w64 package does not ship. winddi.h uses none of its names, so the header stays empty.
#pragma once
