// The exchange forms of constructions: the text record, the XML element and the drag text.

#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "base/textlookup.h"
#include "codecs/texttokenreader.h"
#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"
#include "constructions/panel.h"
#include "exchange/textexchange.h"
#include "exchange/xmlexchange.h"
#include "reports/textdocument.h"

#include <array>
#include <string>
#include <vector>

namespace kalydor {
namespace {

constexpr std::string_view kPanelElement = "Kalydor32Panel";
constexpr std::string_view kLayerElement = "PanelLayer";
constexpr int kPanelTextVersion = 2;
constexpr const char* kIndent = "\r\n  ";

void realElement(XmlWriter& writer, std::string_view tag, double value, int digits) {
    writer.WriteRaw(kIndent);
    writer.WriteElement(tag, {}, formatGeneral(value, digits));
}

// The fields of the text record of a layered construction, in their order.
template <class P> auto layeredTextFields(P& p) {
    return std::array{&p.OutSideTemp,
                      &p.InSideTemp,
                      &p.OutSideRelHum,
                      &p.InSideRelHum,
                      &p.OutSideAlpha,
                      &p.InSideAlpha,
                      &p.x,
                      &p.y,
                      &p.FloorLevel,
                      &p.DiffusionDays,
                      &p.RGived,
                      &p.ThermicMassivitate,
                      &p.ThermicMassivitateGived,
                      &p.GroundWaterHeight,
                      &p.FundationWidth,
                      &p.SurfaceTemperatureDifference,
                      &p.EarthLambda};
}

// The fields of a known construction's text record for its type, in their order.
template <class P> auto knownTextFields(P& p) {
    std::vector<decltype(&p.x)> fields{&p.x, &p.y, &p.R, &p.ThermicMassivitate};
    if (Panel::isGlazed(p.Type))
        fields.push_back(&p.GlassRatio);
    if (Panel::isOpaque(p.Type)) {
        for (auto* field : {&p.DampFactor, &p.Delay, &p.Mass, &p.InSideAlpha, &p.HeatMass})
            fields.push_back(field);
    }
    if (Panel::isOuterOpening(p.Type)) {
        fields.push_back(&p.InfiltrationFactor);
        fields.push_back(&p.InfiltrationLength);
    }
    return fields;
}

} // namespace

// ---- text form -------------------------------------------------------------------------

bool Panel::WriteText(TextDocument& stream, const std::string& groupPath) {
    stream.Write("\"KALYDOR32PANEL\" " + std::to_string(kPanelTextVersion) + "\r\n");
    WriteTextItemHeader(stream, *this, groupPath);
    stream.Write(std::to_string(Type) + "\t" + std::to_string(Layered) + "\t");
    const auto real = [&stream](float value) { stream.Write(textReal(value) + "\t"); };
    if (!isKnown()) {
        for (const float* field : layeredTextFields(*this))
            real(*field);
        stream.Write(std::to_string(Ordering) + "\t" + std::to_string(Layers.size()) + "\t");
        for (const Layer& layer : Layers) {
            stream.Write("\r\n");
            layer.WriteLayerText(stream);
        }
    } else {
        for (const float* field : knownTextFields(*this))
            real(*field);
    }
    stream.Write("\r\n\r\n");
    return true;
}

void Panel::ReadText(TextTokenReader& reader, int recordVersion) {
    if (recordVersion < 0 || recordVersion > kPanelTextVersion)
        throwTextFormatError(TextFormatError::UnsupportedLayout, reader.FileName(),
                             reader.LineIndex());
    Type = static_cast<std::uint8_t>(reader.NextInt() & 0xFF);
    Layered = static_cast<std::int16_t>(reader.NextInt() != 0 ? 1 : 0);
    if (!isKnown()) {
        for (float* field : layeredTextFields(*this))
            *field = reader.NextReal();
        Ordering = static_cast<std::int16_t>(reader.NextInt() != 0 ? 1 : 0);
        const int count = reader.NextInt();
        // A count no text could hold is a damaged record, not a reason to allocate.
        if (count < 0 || count > 10000)
            throwTextFormatError(TextFormatError::UnsupportedLayout, reader.FileName(),
                                 reader.LineIndex());
        Layers.clear();
        for (int i = 0; i < count; ++i) {
            Layer layer;
            layer.ReadLayerText(reader, recordVersion);
            Layers.push_back(std::move(layer));
        }
    } else {
        for (float* field : knownTextFields(*this))
            *field = reader.NextReal();
    }
}

// ---- XML form --------------------------------------------------------------------------

void Panel::WriteXml(XmlWriter& writer, const std::string& groupPath) {
    writer.WriteElement(kPanelElement,
                        XmlWriter::TextAttribute("Type", typeName(Type)) +
                            XmlWriter::TextAttribute("Layered", isKnown() ? "No" : "Yes"),
                        {}, ElementEnd::Open);
    WriteXmlItemHeader(writer, *this, groupPath);
    writer.WriteRaw(kIndent);
    writer.WriteElement("Type", {}, GetText("IDS_PANELTYPES+" + std::to_string(Type)));
    for (const auto& [tag, value] :
         {std::pair{"x", x}, {"y", y}, {"R", R}, {"ThermicMassivitate", ThermicMassivitate}})
        realElement(writer, tag, value, 3);
    if (isGlazed(Type))
        realElement(writer, "GlassRatio", GlassRatio, 4);
    if (isOuterOpening(Type)) {
        realElement(writer, "InfiltrationFactor", InfiltrationFactor, 4);
        realElement(writer, "InfiltrationLength", InfiltrationLength, 4);
    }
    if (isOpaque(Type)) {
        realElement(writer, "Mass", Mass, 4);
        realElement(writer, "DampFactor", DampFactor, 4);
        realElement(writer, "Delay", Delay, 3);
        realElement(writer, "HeatMass", HeatMass, 4);
        if (HeatMass2 > 0)
            realElement(writer, "HeatMass2", HeatMass2, 4);
        if (isFloorLike(Type))
            realElement(writer, "FloorHeatAbsorb", FloorHeatAbsorb, 4);
        if (isKnown())
            realElement(writer, "InSideAlpha", InSideAlpha, 3);
    }
    if (!isKnown()) {
        writer.WriteRaw(kIndent);
        writer.WriteElement(
            "LayeredPanel",
            XmlWriter::TextAttribute("Ordering", Ordering == 1 ? "Reverse" : "Normal"), {});
        for (const auto& [tag, value] : {std::pair{"OutSideTemp", OutSideTemp},
                                         {"InSideTemp", InSideTemp},
                                         {"OutSideAlpha", OutSideAlpha},
                                         {"InSideAlpha", InSideAlpha},
                                         {"OutSideRelHum", OutSideRelHum},
                                         {"InSideRelHum", InSideRelHum},
                                         {"DiffusionDays", DiffusionDays}})
            realElement(writer, tag, value, 3);
        for (const auto& [tag, value] :
             {std::pair{"RGived", RGived},
              {"ThermicMassivitateGived", ThermicMassivitateGived},
              {"SurfaceTemperatureDifference", SurfaceTemperatureDifference}}) {
            if (value != 0)
                realElement(writer, tag, value, 3);
        }
        if (Type == 2) {
            for (const auto& [tag, value] : {std::pair{"GroundWaterHeight", GroundWaterHeight},
                                             {"FundationWidth", FundationWidth},
                                             {"EarthLambda", EarthLambda},
                                             {"FloorLevel", FloorLevel}})
                realElement(writer, tag, value, 3);
        }
        for (const Layer& layer : Layers)
            layer.WriteLayerXml(writer, 2);
    }
    writer.WriteRaw("\r\n");
    writer.WriteEndTag(kPanelElement);
}

bool Panel::ReadXml(XmlReader& parser, std::string& groupPath) {
    Type = static_cast<std::uint8_t>(typeOfName(parser.CurAttr("Type")));
    Layered = static_cast<std::int16_t>(parser.CurAttr("Layered") == "Yes" ? 0 : 1);
    Layers.clear();
    std::string field;
    const std::pair<const char*, float*> fields[] = {
        {"x", &x},
        {"y", &y},
        {"R", &R},
        {"ThermicMassivitate", &ThermicMassivitate},
        {"GlassRatio", &GlassRatio},
        {"InfiltrationFactor", &InfiltrationFactor},
        {"InfiltrationLength", &InfiltrationLength},
        {"Mass", &Mass},
        {"DampFactor", &DampFactor},
        {"Delay", &Delay},
        {"HeatMass", &HeatMass},
        {"HeatMass2", &HeatMass2},
        {"FloorHeatAbsorb", &FloorHeatAbsorb},
        {"InSideAlpha", &InSideAlpha},
        {"OutSideTemp", &OutSideTemp},
        {"InSideTemp", &InSideTemp},
        {"OutSideAlpha", &OutSideAlpha},
        {"OutSideRelHum", &OutSideRelHum},
        {"InSideRelHum", &InSideRelHum},
        {"DiffusionDays", &DiffusionDays},
        {"RGived", &RGived},
        {"ThermicMassivitateGived", &ThermicMassivitateGived},
        {"SurfaceTemperatureDifference", &SurfaceTemperatureDifference},
        {"GroundWaterHeight", &GroundWaterHeight},
        {"FundationWidth", &FundationWidth},
        {"EarthLambda", &EarthLambda},
        {"FloorLevel", &FloorLevel},
    };
    while (parser.Scan()) {
        const XmlPart part = parser.CurPartType();
        const std::string& name = parser.CurName();
        if (part == XmlPart::EndTag && name == kPanelElement)
            return true;
        if ((part == XmlPart::StartTag || part == XmlPart::EmptyElementTag) &&
            name == "LayeredPanel") {
            // The ordering is an attribute; another program may write the element empty.
            Ordering = static_cast<std::int16_t>(parser.CurAttr("Ordering") == "Reverse" ? 1 : 0);
            field.clear();
            continue;
        }
        if (part == XmlPart::StartTag && name == "ItemHeader") {
            if (!ReadXmlItemHeader(parser, *this, groupPath))
                return false;
            field.clear();
            continue;
        }
        if (part == XmlPart::StartTag && name == kLayerElement) {
            Layer layer;
            if (!layer.ReadLayerXml(parser))
                return false;
            Layers.push_back(std::move(layer));
            field.clear();
            continue;
        }
        if (part == XmlPart::StartTag) {
            field = name;
            continue;
        }
        if (part == XmlPart::Content && !field.empty()) {
            for (const auto& [tag, target] : fields) {
                if (field == tag) {
                    *target = static_cast<float>(ParseNumber(parser.CurContent()));
                    break;
                }
            }
        }
        field.clear();
    }
    return false;
}

std::string Panel::DragText() {
    return BuildDragText(*this, "kdszerkezet", GroupSlashPath, GroupPath);
}

} // namespace kalydor
