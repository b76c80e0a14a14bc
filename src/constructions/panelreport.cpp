// The construction's report in a clipboard stream: its properties as text and rich text, the
// layer tables, the moisture messages and the spreadsheet rows of its layers.

#include "base/displayformat.h"
#include "base/numberformat.h"
#include "base/textlookup.h"
#include "constructions/panel.h"
#include "language/languages.h"
#include "reports/clipboarddocument.h"

#include <cmath>
#include <string>
#include <vector>

namespace kalydor {
namespace {

constexpr int kTextBase = 688;
constexpr int kRtfBase = 744;
constexpr int kMessagesOffset = 22;
// Cell boundaries of the layer tables, as the table header resources draw them.
constexpr int kLayerCells[] = {400, 2826, 3626, 4526, 5326, 6226, 7226, 8226, 9026, 9926, 10826};
constexpr int kResultCells[] = {400, 1500, 2600, 3700, 4800, 5900, 7000, 8300, 9600, 10826};
constexpr const char* kRowStart = "\\trowd\\trgaph57\\trleft0\\trkeep";
constexpr const char* kCentred = "\\pard\\plain\\s35\\qc\\intbl\\f4\\fs18 ";
constexpr const char* kLeft = "\\pard\\plain\\s35\\ql\\intbl\\f4\\fs18 ";
constexpr const char* kRight = "\\pard\\plain\\s35\\qr\\intbl\\f4\\fs18 ";

// Numbers of the report as the language writes them.
std::string general(double value, int digits) {
    return displayNumber(value, digits);
}

// A whole number, or a blank for a value of a damaged record that is none.
std::string wholeText(double value) {
    const std::optional<std::int64_t> rounded = roundedWhole(value);
    return rounded ? std::to_string(*rounded) : std::string();
}

std::string tenth(double value) {
    return displayNumber(std::floor(value * 10 + 0.5) / 10, 10);
}

} // namespace

void Panel::writeProperties(TextDocument* text, TextDocument& rtf,
                            const PanelSettings& settings) const {
    const auto real = [&](int offset, double value, bool condition = true) {
        if (text != nullptr)
            text->PrintfReal(kTextBase + offset, value, condition);
        rtf.PrintfReal(kRtfBase + offset, value, condition);
    };
    const auto reals = [&](int offset, double first, double second, bool condition = true) {
        if (text != nullptr)
            text->PrintfReals(kTextBase + offset, first, second, condition);
        rtf.PrintfReals(kRtfBase + offset, first, second, condition);
    };
    const auto words = [&](int offset, const std::string& value) {
        if (text != nullptr)
            text->PrintfText(kTextBase + offset, value);
        rtf.PrintfText(kRtfBase + offset, value);
    };

    words(0, Name);
    words(1, GetText("IDS_PANELTYPES+" + std::to_string(Type)));
    real(2, x, x > 0);
    real(3, y, y > 0);
    real(isBridge(Type) ? 34 : 33, R);
    real(41, NeededResistance, !isKnown() && NeededResistance > 0);
    if (isOuterOpening(Type)) {
        real(32, InfiltrationFactor, InfiltrationFactor > 0);
        real(31, InfiltrationLength, InfiltrationLength > 0);
    }
    real(35, ThermicMassivitate, ThermicMassivitate > 0);
    real(6, DampFactor, DampFactor > 0);
    real(7, Delay, Delay > 0);
    real(8, Mass, Mass > 0);
    if (HeatMass > 0) {
        if (HeatMass2 > 0)
            reals(10, HeatMass, HeatMass2);
        else
            real(9, HeatMass);
    }
    if (FloorHeatAbsorb > 0) {
        real(11, FloorHeatAbsorb);
        words(23, GetText(floorClassKey(FloorHeatAbsorb)));
    }
    if (!isKnown()) {
        if (isOpaque(Type) && !isInternal(Type) && OutSideTemp < InSideTemp) {
            real(28, settings.outsideDesignTemperature);
            real(29, results.surfaceTemperature);
        }
        reals(12, OutSideTemp, OutSideRelHum);
        reals(13, InSideTemp, InSideRelHum);
        real(14, OutSideAlpha);
        real(15, InSideAlpha);
        if (Type == 2) {
            real(17, FloorLevel);
            for (const auto& [offset, value] : {std::pair{36, ms},
                                                {37, ns},
                                                {38, Rbc},
                                                {39, FundationWidth},
                                                {40, GroundWaterHeight}})
                real(offset, value);
        }
        real(18, DiffusionDays, DiffusionDays > 0);
    } else {
        real(15, InSideAlpha, InSideAlpha > 0);
        if (isGlazed(Type))
            real(19, GlassRatio);
    }
}

std::string Panel::printedSheet(const TextLookup& languages, const PanelSettings& settings) {
    Calculate(settings);
    TextDocument rtf(languages, TextStreamKind::Rtf);
    // Numbers as the printing language writes them.
    rtf.DecimalSeparator = decimalSeparatorOf(languages);
    writeProperties(nullptr, rtf, settings);
    return rtf.takeText();
}

std::string Panel::printedMessages(const TextLookup& languages,
                                   const PanelSettings& settings) const {
    if (isKnown() || Layers.empty())
        return {};
    TextDocument rtf(languages, TextStreamKind::Rtf);
    rtf.PrintfText(kRtfBase + kMessagesOffset, {});
    rtf.Write(MessageText(settings, "\\par \r\n\\pard\\fs20\\f4 ") + "\\par\r\n");
    return rtf.takeText();
}

void Panel::writeReport(ClipboardDocument& stream, const PanelSettings& settings) {
    Calculate(settings);
    TextDocument& text = stream.text();
    TextDocument& rtf = stream.rtf();
    stream.WriteItemRtfHeader("PanelRTFHeader");
    writeProperties(&text, rtf, settings);

    if (!isKnown() && !Layers.empty()) {
        writeLayerTables(stream);
        text.PrintfText(kTextBase + kMessagesOffset, {});
        rtf.PrintfText(kRtfBase + kMessagesOffset, {});
        text.Write(MessageText(settings, "\r\n") + "\r\n");
        rtf.Write(MessageText(settings, "\\par \r\n\\pard\\fs20\\f4 ") + "\\par\r\n");
    }
}

void Panel::writeLayerTables(ClipboardDocument& stream) {
    TextDocument& text = stream.text();
    TextDocument& rtf = stream.rtf();
    BiffWriter& sheet = stream.sheet();
    const TextLookup& languages = text.languages();
    if (sheet.empty()) {
        sheet.BeginSheet();
        for (int n = 0; n <= 22; ++n)
            sheet.TextCell(languages.getText("IDS_PANELBIFFTITLE+" + std::to_string(n)));
        sheet.NewRow();
    }
    const auto positive = [](double value, int digits) {
        return value > 0 ? general(value, digits) : std::string();
    };
    const auto rowStart = [&](const auto& cells) {
        rtf.Write(kRowStart);
        for (const int boundary : cells)
            stream.CellBoundary(boundary);
        rtf.Write("\r\n");
    };

    // The layer data table, then the results table.
    for (std::size_t i = 0; i < Layers.size(); ++i) {
        const Layer& layer = Layers[i];
        if (i == 0)
            stream.WriteRtfHeader("PANELLAYERTABLE");
        rowStart(kLayerCells);
        stream.Cell(kCentred + std::to_string(i + 1));
        stream.Cell(kLeft + escapeRtfSpecials(layer.Name));
        stream.Cell(kRight + general(layer.Thickness, 4));
        stream.Cell(kRight + positive(layer.ThermalCond, 4));
        stream.Cell(kRight + (layer.ThermalCondFactor != 0 ? general(layer.ThermalCondFactor, 4)
                                                           : std::string()));
        stream.Cell(kRight + positive(layer.thermalResistance(), 4));
        stream.Cell(kRight + positive(layer.SteamDiffCond, 4));
        stream.Cell(kRight + positive(layer.vapourResistance(), 4));
        stream.Cell(kRight + positive(layer.SteamDiffResNum, 4));
        stream.Cell(kRight + positive(layer.HeatCapacity, 4));
        if (!(layer.Flags & Material::kNoDensity))
            stream.Cell(kRight + positive(layer.Density, 4));
        stream.EndRow();
    }
    for (std::size_t i = 0; i < Layers.size(); ++i) {
        const Layer& layer = Layers[i];
        const LayerResults& r = layer.results;
        if (i == 0)
            stream.WriteRtfHeader("PANELLAYERRESULTTABLE");
        rowStart(kResultCells);
        stream.Cell(kCentred + std::to_string(i + 1));
        stream.Cell(kRight + tenth(r.firstTemperature));
        stream.Cell(kRight + tenth(r.secondTemperature));
        stream.Cell(kRight + std::to_string(Layer::faceHumidity(layer.firstFacePressure(),
                                                                r.firstTemperature)));
        stream.Cell(kRight + std::to_string(Layer::faceHumidity(layer.secondFacePressure(),
                                                                r.secondTemperature)));
        stream.Cell(kRight + wholeText(layer.firstFacePressure()));
        stream.Cell(kRight + wholeText(layer.secondFacePressure()));
        stream.Cell(kRight + general(r.meanRelativeHumidity, 4));
        stream.Cell(kRight + general(r.equilibriumMoisture, 3));
        stream.Cell(kRight + general(r.inflow, 3));
        stream.EndRow();
    }
    rtf.Write("\\pard\\plain\\s32\\f4\\fs20\\par\r\n");

    // Text lines and spreadsheet rows of the layers: the values, then the results.
    for (std::size_t i = 0; i < Layers.size(); ++i) {
        const Layer& layer = Layers[i];
        const LayerResults& r = layer.results;
        const bool density = !(layer.Flags & Material::kNoDensity);
        std::string line =
            std::to_string(i + 1) + "\t" + layer.Name + "\t" + general(layer.Thickness, 4);
        sheet.NumberCell(static_cast<double>(i + 1));
        sheet.TextCell(layer.Name);
        sheet.NumberCell(layer.Thickness);
        const double values[] = {layer.ThermalCond,         layer.ThermalCondFactor,
                                 layer.thermalResistance(), layer.SteamDiffCond,
                                 layer.vapourResistance(),  layer.SteamDiffResNum,
                                 layer.HeatCapacity,        layer.Density,
                                 layer.InitialHumidity,     layer.PermitHumidity};
        for (std::size_t v = 0; v < std::size(values); ++v) {
            if (v == 7 && !density)
                continue; // no density: the cell is left out
            sheet.NumberCellIf(values[v], values[v] > 0);
            line += "\t" + (values[v] > 0 ? general(values[v], 4) : std::string());
        }
        const bool ventilated = layer.isKind(MaterialKind::Air) && layer.Ventilled;
        sheet.NumberCellIf(layer.SteamRes, ventilated && layer.SteamRes > 0);
        const double faceValues[] = {
            std::floor(r.firstTemperature * 10 + 0.5) / 10,
            std::floor(r.secondTemperature * 10 + 0.5) / 10,
            double(Layer::faceHumidity(layer.firstFacePressure(), r.firstTemperature)),
            double(Layer::faceHumidity(layer.secondFacePressure(), r.secondTemperature)),
            std::floor(layer.firstFacePressure() + 0.5),
            std::floor(layer.secondFacePressure() + 0.5),
            double(r.meanRelativeHumidity),
            r.equilibriumMoisture,
            r.inflow};
        for (const double value : faceValues) {
            sheet.NumberCell(value);
            line += "\t" + general(value, 4);
        }
        sheet.NewRow();
        text.Write(line + "\r\n");
    }
}

} // namespace kalydor
