// Process-wide state, one instance each for the whole run.
//
// The connection owns the port handle and the connected flag; every other
// operation borrows the handle unchanged, null included. The firmware
// upgrade owns the image file state; the export owns the record total.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/frame.h"
#include "link/serial_port.h"
#include "ops/firmware_file.h"

extern PortHandle g_hComm;
extern bool g_bConnected;

extern FirmwareFile g_firmwareFile;  // the image opened by "Browse"; closed when none
extern std::string g_strFirmwarePath;
extern std::string g_strFirmwareName;
extern uint32_t g_dwFirmwareLength;
extern std::array<uint8_t, kFirmwareBlockSize> g_firmwareBlock;

extern int32_t g_nRecordTotal;
