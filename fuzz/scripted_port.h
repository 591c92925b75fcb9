// A serial port whose incoming bytes come from a fuzzer's input.
//
// Stands in for the platform port at link time, so fuzz targets run the real
// protocol and operations code without timing. The script is a series of
// chunks, each a length byte followed by that many bytes (fewer at the end of
// the input). A read returns at most the rest of the current chunk, as a
// real read returns what arrived before the interval time-out; a read with
// no chunk left returns nothing, as a silent line does. Writes always go
// through and are counted.
#pragma once

#include <cstddef>
#include <cstdint>

void ScriptPort(const uint8_t* data, size_t size);

// Bytes handed out by reads since ScriptPort.
size_t ScriptedBytesRead();
