// The exchange forms of materials and layers: the text record and the XML element.

#include "base/error.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "codecs/texttokenreader.h"
#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"
#include "constructions/layer.h"
#include "constructions/material.h"
#include "exchange/textexchange.h"
#include "exchange/xmlexchange.h"
#include "reports/textdocument.h"

#include <cmath>
#include <string>

namespace kalydor {
namespace {

constexpr std::string_view kMaterialElement = "Kalydor32Material";
constexpr std::string_view kLayerElement = "PanelLayer";
constexpr int kMaterialTextVersion = 1;
constexpr int kXmlDigits = 5;

std::string xmlReal(double value) {
    return formatGeneral(value, kXmlDigits);
}

void writeRealElement(XmlWriter& writer, std::string_view indent, std::string_view tag,
                      double value, int digits = kXmlDigits) {
    writer.WriteRaw(indent);
    writer.WriteElement(tag, {}, formatGeneral(value, digits));
}

} // namespace

int materialKindOfName(std::string_view name) {
    for (int code = 0; code <= 15; ++code)
        if (materialKindName(code) == name)
            return code;
    return 16;
}

// ---- text form -------------------------------------------------------------------------

void Material::writeMaterialText(TextDocument& stream) const {
    const auto real = [&stream](float value) { stream.Write(textReal(value) + "\t"); };
    stream.Write(std::to_string(Kind) + "\t" + std::to_string(Flags) + "\t");
    if (hasMaterialData()) {
        for (const float value : {Thickness, Density, ThermalCond, ThermalRes, HeatCapacity,
                                  SteamDiffCond, SteamDiffRes, SteamDiffResNum})
            real(value);
        if (isKind(MaterialKind::Normal)) {
            real(InitialHumidity);
            real(PermitHumidity);
            for (const float point : Sorption)
                real(point);
        }
    } else if (isKind(MaterialKind::Air)) {
        real(Thickness);
        real(ThermalRes);
        for (const AirLayerPoint& point : Diagram) {
            real(point.thickness);
            real(point.resistance);
        }
        stream.Write(std::string(Ventilled ? "1" : "0") + "\t");
    }
}

void Material::readMaterialText(TextTokenReader& reader, int textVersion) {
    Kind = static_cast<std::uint8_t>(reader.NextInt() & 0xFF);
    Flags = textVersion >= 1 ? static_cast<std::uint16_t>(reader.NextInt() & 0xFFFF) : 0;
    if (hasMaterialData()) {
        for (float* field : {&Thickness, &Density, &ThermalCond, &ThermalRes, &HeatCapacity,
                             &SteamDiffCond, &SteamDiffRes, &SteamDiffResNum})
            *field = reader.NextReal();
        if (isKind(MaterialKind::Normal)) {
            InitialHumidity = reader.NextReal();
            PermitHumidity = reader.NextReal();
            for (float& point : Sorption)
                point = reader.NextReal();
        }
    } else if (isKind(MaterialKind::Air)) {
        Thickness = reader.NextReal();
        ThermalRes = reader.NextReal();
        for (AirLayerPoint& point : Diagram) {
            point.thickness = reader.NextReal();
            point.resistance = reader.NextReal();
        }
        Ventilled = reader.NextInt() != 0;
    }
}

bool Material::WriteText(TextDocument& stream, const std::string& groupPath) {
    stream.Write("\"KALYDOR32MATERIAL\" " + std::to_string(kMaterialTextVersion) + "\r\n");
    WriteTextItemHeader(stream, *this, groupPath);
    writeMaterialText(stream);
    stream.Write("\r\n\r\n");
    return true;
}

void Material::ReadText(TextTokenReader& reader, int recordVersion) {
    if (recordVersion < 0 || recordVersion > kMaterialTextVersion)
        throwTextFormatError(TextFormatError::UnsupportedLayout, reader.FileName(),
                             reader.LineIndex());
    readMaterialText(reader, recordVersion);
}

void Layer::WriteLayerText(TextDocument& stream) const {
    stream.Write("\"" + stream.Escape(Name) + "\"\t");
    writeMaterialText(stream);
    const auto real = [&stream](float value) { stream.Write(textReal(value) + "\t"); };
    if (isKind(MaterialKind::Normal)) {
        real(ThermalCondFactor);
        real(InitialHumidity2);
    } else if (isKind(MaterialKind::Thick)) {
        real(ThermalCondFactor);
    } else if (isKind(MaterialKind::Air)) {
        real(SteamRes);
    }
}

void Layer::ReadLayerText(TextTokenReader& reader, int textVersion) {
    Name = reader.NextString();
    readMaterialText(reader, textVersion);
    if (isKind(MaterialKind::Normal)) {
        ThermalCondFactor = reader.NextReal();
        InitialHumidity2 = textVersion >= 1 ? reader.NextReal() : 0;
    } else if (isKind(MaterialKind::Thick)) {
        ThermalCondFactor = reader.NextReal();
    } else if (isKind(MaterialKind::Air)) {
        SteamRes = reader.NextReal();
    }
}

// ---- XML form --------------------------------------------------------------------------

void Material::writeMaterialXml(XmlWriter& writer, std::string_view indent) const {
    writeRealElement(writer, indent, "Thickness", Thickness);
    if (hasMaterialData()) {
        for (const auto& [tag, value] : {std::pair{"Density", Density},
                                         {"ThermalCond", ThermalCond},
                                         {"ThermalRes", ThermalRes},
                                         {"HeatCapacity", HeatCapacity},
                                         {"SteamDiffCond", SteamDiffCond},
                                         {"SteamDiffRes", SteamDiffRes},
                                         {"SteamDiffResNum", SteamDiffResNum}})
            writeRealElement(writer, indent, tag, value);
        if (isKind(MaterialKind::Normal)) {
            writeRealElement(writer, indent, "InitialHumidity", InitialHumidity);
            writeRealElement(writer, indent, "PermitHumidity", PermitHumidity);
            for (std::size_t i = 0; i < kIsothermPoints; ++i) {
                if (!(Sorption[i] > 0))
                    continue;
                writer.WriteRaw(indent);
                writer.WriteElement(
                    "SorptionIsotermaPoint",
                    XmlWriter::IntAttribute("RelHumidity", static_cast<int>((i + 1) * 10)),
                    xmlReal(Sorption[i]));
            }
        }
    } else if (isKind(MaterialKind::Air)) {
        writer.WriteRaw(indent);
        writer.WriteElement("AirLayer",
                            XmlWriter::TextAttribute("Ventilled", Ventilled ? "Yes" : "No"), {});
        writeRealElement(writer, indent, "ThermalRes", ThermalRes);
        for (const AirLayerPoint& point : Diagram) {
            if (!(point.thickness > 0))
                continue;
            writer.WriteRaw(indent);
            writer.WriteElement("ThermalResDiagramPoint",
                                XmlWriter::RealAttribute("x", point.thickness, kXmlDigits, 0),
                                xmlReal(point.resistance));
        }
    }
}

void Material::readMaterialXmlPart(const XmlReader& parser, XmlField& field) {
    switch (parser.CurPartType()) {
    case XmlPart::StartTag:
    case XmlPart::EmptyElementTag: {
        const std::string& name = parser.CurName();
        // The air layer carries its data in an attribute; another program may write it as
        // an empty-element tag.
        if (name == "AirLayer") {
            Ventilled = parser.CurAttr("Ventilled") == "Yes";
            field = {};
            return;
        }
        if (parser.CurPartType() == XmlPart::EmptyElementTag) {
            field = {};
            return;
        }
        field.tag = name;
        field.index.clear();
        if (name == "SorptionIsotermaPoint")
            field.index = parser.CurAttr("RelHumidity");
        else if (name == "ThermalResDiagramPoint")
            field.index = parser.CurAttr("x");
        return;
    }
    case XmlPart::EndTag:
        field = {};
        return;
    case XmlPart::Other:
        return;
    case XmlPart::Content:
        break;
    }
    if (field.tag.empty())
        return;
    const std::string tag = std::move(field.tag);
    const std::string index = std::move(field.index);
    field = {};
    const std::string& content = parser.CurContent();
    const std::pair<const char*, float*> fields[] = {
        {"Thickness", &Thickness},
        {"Density", &Density},
        {"ThermalCond", &ThermalCond},
        {"ThermalRes", &ThermalRes},
        {"HeatCapacity", &HeatCapacity},
        {"SteamDiffCond", &SteamDiffCond},
        {"SteamDiffRes", &SteamDiffRes},
        {"SteamDiffResNum", &SteamDiffResNum},
        {"InitialHumidity", &InitialHumidity},
        {"PermitHumidity", &PermitHumidity},
    };
    for (const auto& [name, target] : fields) {
        if (tag == name) {
            *target = static_cast<float>(ParseNumber(content));
            return;
        }
    }
    if (tag == "SorptionIsotermaPoint") {
        const double value = ParseNumber(content);
        double humidity = 0;
        try {
            humidity = ParseNumber(index);
        } catch (const Error&) {
            return; // no usable index: the point is ignored
        }
        if (!(humidity >= 0 && humidity < 1000))
            return;
        const int point = static_cast<int>(humidity) / 10;
        if (point >= 1 && point <= static_cast<int>(kIsothermPoints))
            Sorption[static_cast<std::size_t>(point - 1)] = static_cast<float>(value);
        return;
    }
    if (tag == "ThermalResDiagramPoint") {
        const double value = ParseNumber(content);
        const double thickness = ParseNumber(index);
        for (AirLayerPoint& point : Diagram) {
            if (!(point.thickness > 0)) {
                point.thickness = static_cast<float>(thickness);
                point.resistance = static_cast<float>(value);
                return;
            }
        }
    }
}

void Material::WriteXml(XmlWriter& writer, const std::string& groupPath) {
    writer.WriteElement(kMaterialElement, XmlWriter::TextAttribute("Type", materialKindName(Kind)),
                        {}, ElementEnd::Open);
    WriteXmlItemHeader(writer, *this, groupPath);
    writeMaterialXml(writer, "\r\n  ");
    writer.WriteRaw("\r\n");
    writer.WriteEndTag(kMaterialElement);
}

bool Material::ReadXml(XmlReader& parser, std::string& groupPath) {
    Kind = static_cast<std::uint8_t>(materialKindOfName(parser.CurAttr("Type")));
    XmlField field;
    while (parser.Scan()) {
        const XmlPart part = parser.CurPartType();
        if (part == XmlPart::StartTag && parser.CurName() == "ItemHeader") {
            if (!ReadXmlItemHeader(parser, *this, groupPath))
                return false;
            field = {};
            continue;
        }
        if (part == XmlPart::EndTag && parser.CurName() == kMaterialElement)
            return true;
        readMaterialXmlPart(parser, field);
    }
    return false;
}

void Layer::WriteLayerXml(XmlWriter& writer, int indent) const {
    const std::string pad =
        "\r\n" + std::string(static_cast<std::size_t>(std::max(indent, 0)), ' ');
    const std::string inner = pad + "  ";
    writer.WriteRaw(pad);
    writer.WriteElement(kLayerElement, XmlWriter::TextAttribute("DataMode", materialKindName(Kind)),
                        {}, ElementEnd::Open);
    writer.WriteRaw(inner);
    writer.WriteElement("LayerName", {}, Name);
    writeMaterialXml(writer, inner);
    if (isKind(MaterialKind::Normal) || isKind(MaterialKind::Thick))
        writeRealElement(writer, inner, "ThermalCondFactor", ThermalCondFactor);
    if (isKind(MaterialKind::Normal))
        writeRealElement(writer, inner, "InitialHumidity2", InitialHumidity2);
    if (isKind(MaterialKind::Air) && Ventilled)
        writeRealElement(writer, inner, "SteamRes", SteamRes);
    writer.WriteRaw(pad);
    writer.WriteEndTag(kLayerElement);
}

bool Layer::ReadLayerXml(XmlReader& parser) {
    Kind = static_cast<std::uint8_t>(materialKindOfName(parser.CurAttr("DataMode")));
    XmlField field;
    while (parser.Scan()) {
        const XmlPart part = parser.CurPartType();
        if (part == XmlPart::EndTag && parser.CurName() == kLayerElement)
            return true;
        if (part == XmlPart::Content && !field.tag.empty()) {
            const std::string& content = parser.CurContent();
            if (field.tag == "LayerName") {
                Name = content;
                field = {};
                continue;
            }
            const std::pair<const char*, float*> layerFields[] = {
                {"ThermalCondFactor", &ThermalCondFactor},
                {"InitialHumidity2", &InitialHumidity2},
                {"SteamRes", &SteamRes},
            };
            bool taken = false;
            for (const auto& [name, target] : layerFields) {
                if (field.tag == name) {
                    *target = static_cast<float>(ParseNumber(content));
                    taken = true;
                }
            }
            if (taken) {
                field = {};
                continue;
            }
        }
        readMaterialXmlPart(parser, field);
    }
    return false;
}

} // namespace kalydor
