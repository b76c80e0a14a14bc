#pragma once

// The round trip every record harness checks: an item that was read is written, the record
// read into a fresh item, and that item must write the very same bytes.

#include "base/error.h"
#include "base/memorystream.h"
#include "store/itemstream.h"

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

/// The same for a record the owner reads with a version argument (a radiator inside a room):
/// written, read with the current version into a fresh object, written again to the very same
/// bytes. Texts read as Windows-1250 are kept as UTF-8 and may outgrow a counted string or a
/// chunk: writing them is refused with an error, and then there is nothing to compare.
template <class Item> void requireStableVersionedRecord(const Item& item, int currentVersion) {
    MemoryStream written;
    try {
        item.WriteRecord(written);
    } catch (const Error&) {
        return;
    }
    written.seek(0);
    Item again;
    if (!again.ReadRecord(written, currentVersion) || written.remaining() != 0)
        std::abort();
    MemoryStream rewritten;
    again.WriteRecord(rewritten);
    if (rewritten.bytes() != written.bytes())
        std::abort();
}

} // namespace kalydor::fuzz
