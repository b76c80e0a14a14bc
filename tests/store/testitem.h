#pragma once

#include "base/memorystream.h"
#include "store/dbitem.h"
#include "store/itemstream.h"

namespace kalydor::test {

/// A small stored item for the store's tests: version 3 holds a text and a number, version 2
/// only the number.
class TestItem final : public DBItem {
public:
    static constexpr std::int16_t kVersion = 3;

    std::string Note;
    float Value = 1.5f;

    bool ReadRecord(MemoryStream& stream, std::int16_t version) override {
        if (version == 0)
            version = kVersion;
        if (version != 2 && version != 3) {
            reportVersionError(version);
            return false;
        }
        Value = readFloat(stream);
        if (version >= 3)
            Note = ReadString(stream);
        return true;
    }
    bool WriteRecord(MemoryStream& stream, VersionWord versionWord) override {
        if (versionWord == VersionWord::With)
            writeInt16(stream, kVersion);
        writeFloat(stream, Value);
        WriteString(stream, Note);
        return true;
    }
    // The exchange and clipboard forms are not part of the store's tests.
    bool CopyTo(ClipboardDocument&, const ItemContext&, ClipboardCopy) override { return false; }
    bool WriteText(TextDocument&, const std::string&) override { return false; }
    void WriteXml(XmlWriter&, const std::string&) override {}
    bool ReadXml(XmlReader&, std::string&) override { return false; }
};

} // namespace kalydor::test
