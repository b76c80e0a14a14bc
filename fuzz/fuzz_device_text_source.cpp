// Arbitrary bytes as a text source file of the device database: the load must end with usable
// items or the system's error, never a crash, an overlong read or a hang.
//
//   build/fuzz/bin/fuzz_device_text_source tests/data/fuzz/device_text_source

#include "devicesourcefuzz.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kalydor::fuzz::loadDeviceSource(data, size, "a.txt", "txt");
    return 0;
}
