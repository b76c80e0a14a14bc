#include "constructions/layer.h"

#include "base/memorystream.h"
#include "base/textencoding.h"
#include "constructions/materialeditor.h"
#include "store/itemstream.h"

namespace kalydor {
namespace {

// Layers of the oldest records keep their name in a fixed field of 32 bytes.
constexpr std::size_t kFixedNameBytes = 32;

} // namespace

Layer::Layer(const Material& material)
    : Material(material) {}

bool Layer::Edit(platform::Window* owner) {
    return editMaterial(*this, this, {}, owner);
}

double Layer::thermalResistance() const {
    if (!hasMaterialData())
        return ThermalRes;
    if (ThermalCond > 0)
        return Thickness * 0.01 / ThermalCond / (1.0 + ThermalCondFactor);
    return ThermalRes;
}

double Layer::vapourResistance() const {
    if (!hasMaterialData())
        return 0;
    const double metres = Thickness * 0.01;
    if (SteamDiffCond > 0)
        return metres / SteamDiffCond;
    if (SteamDiffResNum > 0)
        return SteamDiffResNum * metres * kVapourResistancePerMu;
    return SteamDiffRes;
}

void Layer::computeDerivedValues(bool behindVentilatedLayer) {
    if (hasMaterialData()) {
        results.mass = Thickness * Density * 0.01;
        if (results.mass <= 0 && isKind(MaterialKind::Normal))
            results.flags[1] |= 0x40;
        results.thermalResistance = thermalResistance();
        results.vapourResistance = behindVentilatedLayer ? 0 : vapourResistance();
    } else if (isKind(MaterialKind::Air)) {
        results.thermalResistance = ThermalRes;
        if (Ventilled)
            results.ventilationOffset = SteamRes;
    }
}

void Layer::writeLayer(MyMemoryStream& stream) const {
    WriteString(stream, Name);
    writeMaterial(stream);
    writeFloat(stream, ThermalCondFactor);
    writeFloat(stream, SteamRes);
    writeFloat(stream, InitialHumidity2);
}

void Layer::readLayer(MyMemoryStream& stream, std::int16_t layerVersion) {
    if (layerVersion > 52) {
        Name = ReadString(stream);
        readMaterial(stream, layerVersion);
        ThermalCondFactor = readFloat(stream);
        SteamRes = readFloat(stream);
        InitialHumidity2 = layerVersion > 53 ? readFloat(stream) : 0;
        return;
    }
    const std::string field = readBytes(stream, kFixedNameBytes);
    Name = textFromStoredBytes(std::string_view(field).substr(0, field.find('\0')));
    readMaterial(stream, layerVersion);
    ThermalCondFactor = readFloat(stream);
    Ventilled = readByte(stream) != 0;
    SteamRes = readFloat(stream);
    InitialHumidity2 = 0;
}

} // namespace kalydor
