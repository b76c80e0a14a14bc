#pragma once

// The round trip every record harness checks: an item that was read is written, the record
// read into a fresh item, and that item must write the very same bytes.

#include "base/memorystream.h"

#include <cstdlib>

namespace kalydor::fuzz {

template <class Item> void requireStableRecord(Item& item) {
    MemoryStream written;
    item.WriteRecord(written, VersionWord::Without);
    written.seek(0);
    Item again;
    if (!again.ReadRecord(written, 0))
        std::abort();
    MemoryStream rewritten;
    again.WriteRecord(rewritten, VersionWord::Without);
    if (rewritten.bytes() != written.bytes())
        std::abort();
}

} // namespace kalydor::fuzz
