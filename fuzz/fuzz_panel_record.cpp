// Arbitrary bytes as a stored construction record with its layers: the reader must end with
// a construction or the system's error, never a crash, an overlong read or a hang; a
// construction that was read is calculated (whatever its stored numbers, NaN and infinities
// included), and its record must read back and write the same bytes again.
//
// The first byte chooses the record version 50 + (byte mod 8) (57 is an unknown version).
//
//   build/fuzz/bin/fuzz_panel_record tests/data/fuzz/panel_record

#include "base/error.h"
#include "base/memorystream.h"
#include "constructions/panel.h"
#include "constructions/panelmoisture.h"
#include "recordroundtrip.h"
#include "silentprompter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace kalydor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::silencePrompts();
    if (size == 0)
        return 0;
    const auto version = static_cast<std::int16_t>(50 + (data[0] & 7));
    MemoryStream stream(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    Panel panel;
    try {
        if (!panel.ReadRecord(stream, version))
            return 0;
    } catch (const Error&) {
        return 0; // a record cut short or a count beyond the data
    }
    kalydor::fuzz::requireStableRecord(panel);

    for (const bool simple : {true, false}) {
        Panel calculated = panel;
        const PanelSettings settings{-15, simple};
        calculated.Calculate(settings);
        (void)calculated.Messages(settings);
        (void)calculated.MessageText(settings, "\n");
        (void)panelDiagram(calculated, DiagramAxis::Temperature);
        (void)panelDiagram(calculated, DiagramAxis::Distance);
    }
    return 0;
}
