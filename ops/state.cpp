#include "ops/state.h"

PortHandle g_hComm = nullptr;
bool g_bConnected = false;

FirmwareFile g_firmwareFile;
std::string g_strFirmwarePath;
std::string g_strFirmwareName;
uint32_t g_dwFirmwareLength = 0;
std::array<uint8_t, kFirmwareBlockSize> g_firmwareBlock{};

int32_t g_nRecordTotal = 0;
