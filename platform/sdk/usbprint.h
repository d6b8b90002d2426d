// The USB printing class: the controls a port monitor passes through pfnGetPrinterDataFromPort as
// ControlID.
#pragma once

#define IOCTL_USBPRINT_GET_LPT_STATUS 0x00220030
#define IOCTL_USBPRINT_GET_1284_ID 0x00220034
#define IOCTL_USBPRINT_VENDOR_SET_COMMAND 0x00220038
#define IOCTL_USBPRINT_VENDOR_GET_COMMAND 0x0022003C
