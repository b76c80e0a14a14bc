// Arbitrary bytes as an XML source file of the device database: the load must end with usable
// items or the system's error, never a crash or a hang, whatever its macros and includes.
//
//   build/fuzz/bin/fuzz_device_xml_source tests/data/fuzz/device_xml_source

#include "devicesourcefuzz.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kalydor::fuzz::loadDeviceSource(data, size, "a.xml", "xml");
    return 0;
}
