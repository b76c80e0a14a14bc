// Arbitrary bytes as a project settings file. Reading must end with the settings read, a
// refused file (the options left exactly as they were) or the system's error (likewise); a
// file that was read is written, read back and written to the same bytes.
//
//   build/fuzz/bin/fuzz_settings_file tests/data/fuzz/settings_file

#include "base/error.h"
#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"
#include "heating/projectoptions.h"
#include "heating/projectsettingsfile.h"
#include "silentprompter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kalydor;

namespace {

std::string written(const ProjectOptions& options) {
    XmlWriter writer("", kSettingsRoot);
    WriteSettingsXml(options, writer);
    writer.Finish();
    return writer.bytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::silencePrompts();
    ProjectOptions options;
    options.Heating.OutSideTemp = -17.5f; // not a default: a partial read would show
    const std::string before = options.recordBytes();
    XmlReader reader;
    if (!reader.LoadFromBuffer(std::string(reinterpret_cast<const char*>(data), size)))
        return 0;
    bool read = false;
    try {
        read = ReadSettingsXml(options, reader);
    } catch (const Error&) {
        read = false;
    }
    if (!read) {
        if (options.recordBytes() != before)
            std::abort(); // a refused file changed the options
        return 0;
    }
    std::string first;
    try {
        first = written(options);
    } catch (const Error&) {
        return 0;
    }
    ProjectOptions again;
    XmlReader back;
    if (!back.LoadFromBuffer(first) || !ReadSettingsXml(again, back))
        std::abort(); // what was written does not read back
    if (written(again) != first)
        std::abort();
    return 0;
}
