#include "heating/floorheatingfield.h"

#include "base/memorystream.h"
#include "store/itemstream.h"

namespace kalydor {

bool FloorHeatingField::ReadRecord(MemoryStream& s, int roomVersion) {
    FloorHeatingField read;
    read.Text1 = ReadString(s);
    read.Text2 = ReadString(s);
    read.Value1 = readFloat(s);
    read.Code1 = readInt16(s);
    read.Value2 = readFloat(s);
    read.Value3 = readFloat(s);
    read.Value4 = readFloat(s);
    read.Code2 = readInt16(s);
    for (float& value : read.Values5To11)
        value = readFloat(s);
    read.Code3 = readInt16(s);
    if (roomVersion > 53 || roomVersion == 0) {
        read.Code4 = readInt16(s);
        read.Code5 = readInt16(s);
        read.Code6 = readInt16(s);
        for (float& value : read.Values12To19)
            value = readFloat(s);
    }
    *this = std::move(read);
    return true;
}

bool FloorHeatingField::WriteRecord(MemoryStream& s) const {
    WriteString(s, Text1);
    WriteString(s, Text2);
    writeFloat(s, Value1);
    writeInt16(s, Code1);
    writeFloat(s, Value2);
    writeFloat(s, Value3);
    writeFloat(s, Value4);
    writeInt16(s, Code2);
    for (const float value : Values5To11)
        writeFloat(s, value);
    writeInt16(s, Code3);
    writeInt16(s, Code4);
    writeInt16(s, Code5);
    writeInt16(s, Code6);
    for (const float value : Values12To19)
        writeFloat(s, value);
    return true;
}

} // namespace kalydor
