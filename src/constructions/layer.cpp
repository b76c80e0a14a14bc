#include "constructions/layer.h"

#include "base/memorystream.h"
#include "base/numberformat.h"
#include "base/textencoding.h"
#include "constructions/materialeditor.h"
#include "constructions/panelmoisture.h"

#include "store/itemstream.h"
#include <cmath>

namespace kalydor {
namespace {

// Layers of the oldest records keep their name in a fixed field of 32 bytes.
constexpr std::size_t kFixedNameBytes = 32;

} // namespace

Layer::Layer(const Material& material)
    : Material(material) {}

double Layer::firstFacePressure() const {
    // The first face is the cold one when its temperature is the lower.
    return results.firstTemperature <= results.secondTemperature ? results.condensationColdPressure
                                                                 : results.condensationWarmPressure;
}

double Layer::secondFacePressure() const {
    return results.firstTemperature <= results.secondTemperature ? results.condensationWarmPressure
                                                                 : results.condensationColdPressure;
}

int Layer::faceHumidity(double pressure, double temperature) {
    const double saturation = saturationPressure(temperature);
    if (!(saturation > 0))
        return 0;
    const std::optional<std::int64_t> percent = roundedWhole(pressure / saturation * 100);
    return percent && *percent >= 0 && *percent <= 100000 ? static_cast<int>(*percent) : 0;
}

double Layer::moistureUptake() const {
    if (!isKind(MaterialKind::Normal))
        return 0;
    return std::floor(Thickness * (results.equilibriumMoisture - results.effectiveInitialMoisture) *
                          Density +
                      0.5) *
           0.1;
}

double Layer::condensedWater() const {
    if (!isKind(MaterialKind::Normal))
        return 0;
    return std::floor(Density * Thickness * results.moistureIncrease + 0.5) * 0.1;
}

std::string Layer::ColumnText(int columnId, const ListColumns& columns) const {
    const auto real = [&](double value) { return columns.formatReal(columnId, value); };
    // A value of a damaged record that is no whole number shows as a blank.
    const auto whole = [&](double value) {
        const std::optional<std::int64_t> rounded = roundedWhole(value);
        return rounded ? columns.formatInteger(columnId, *rounded) : std::string();
    };
    switch (columnId) {
    case 26:
        return columns.formatInteger(columnId, results.number);
    case 3:
        return real(thermalResistance());
    case 5:
        return real(vapourResistance());
    case 13:
        return isKind(MaterialKind::Air) && Ventilled ? real(SteamRes) : std::string("-");
    case 14:
        return real(results.firstTemperature);
    case 15:
        return real(results.secondTemperature);
    case 16:
        return columns.formatInteger(columnId,
                                     faceHumidity(firstFacePressure(), results.firstTemperature));
    case 17:
        return columns.formatInteger(columnId,
                                     faceHumidity(secondFacePressure(), results.secondTemperature));
    case 18:
        return whole(firstFacePressure());
    case 19:
        return whole(secondFacePressure());
    case 20:
        return columns.formatInteger(columnId, results.meanRelativeHumidity);
    case 21:
        return real(results.effectiveInitialMoisture);
    case 22:
        return real(results.equilibriumMoisture);
    case 23:
        return real(moistureUptake());
    case 24:
        return real(condensedWater());
    case 25:
        return real(results.inflow);
    default:
        // Name, thickness, λ, δ, c, ρ and μ are the material's columns.
        return Material::ColumnText(columnId, columns);
    }
}

bool Layer::Edit(platform::Window* owner, const ItemContext& context) {
    return editMaterial(*this, this, {}, owner, context);
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

void Layer::writeLayer(MemoryStream& stream) const {
    WriteString(stream, Name);
    writeMaterial(stream);
    writeFloat(stream, ThermalCondFactor);
    writeFloat(stream, SteamRes);
    writeFloat(stream, InitialHumidity2);
}

void Layer::readLayer(MemoryStream& stream, std::int16_t layerVersion) {
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
