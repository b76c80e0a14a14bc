#include "heating/projectsettingsfile.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"
#include "heating/projectoptions.h"

#include <charconv>
#include <functional>
#include <limits>
#include <string_view>

namespace kalydor {
namespace {

// The fields of one element, visited in their written order: writing turns them into
// attributes, reading fills them from the element's attributes.
class Fields {
public:
    virtual ~Fields() = default;
    virtual void real(std::string_view name, float& value, int digits) = 0;
    virtual void integer(std::string_view name, std::int16_t& value) = 0;
    virtual void text(std::string_view name, std::string& value) = 0;
};

void hydraulic(Fields& f, HydraulicOptions& h) {
    f.real("ForwardTemperature", h.Medium.ForwardTemperature, 5);
    f.real("BackwardTemperature", h.Medium.BackwardTemperature, 5);
    f.text("MediumType", h.Medium.MediumType);
    f.real("Ro", h.Medium.Ro, 5);
    f.real("Nu", h.Medium.Nu, 5);
    f.real("SpecificHeat", h.Medium.SpecificHeat, 5);
    f.text("TubeType", h.TubeType);
    f.text("IsolationType", h.IsolationType);
    f.text("ValveType0", h.ValveType0);
    f.text("ValveType1", h.ValveType1);
    f.integer("ValveMode0", h.ValveMode0);
    f.integer("ValveMode1", h.ValveMode1);
    f.text("DefaultMakro", h.DefaultMakro);
    f.real("AvailablePressure", h.AvailablePressure, 5);
    f.real("SpeedMax", h.SpeedMax, 5);
    f.real("PressureProMeterMax", h.PressureProMeterMax, 5);
    // Written as an integer; the stored word holds it.
    f.integer("TubeSizeMinimum", h.TubeSizeMinimum);
    f.text("ConnectionName0", h.ConnectionName0);
    f.text("ConnectionName1", h.ConnectionName1);
}

void consumer(Fields& f, ConsumerStruct& c) {
    f.real("CoolingForwardTemperature", c.CoolingForwardTemperature, 3);
    f.real("CoolingBackwardTemperature", c.CoolingBackwardTemperature, 3);
    hydraulic(f, c.Hydraulic);
}

// The elements with attributes of their own, in written order (Meteorology's and Point's
// children are handled apart).
using ElementFields = std::function<void(Fields&, ProjectOptions&)>;
const std::vector<std::pair<std::string_view, ElementFields>>& elements() {
    static const std::vector<std::pair<std::string_view, ElementFields>> list = {
        {"Panel",
         [](Fields& f, ProjectOptions& o) {
             PanelOptions& p = o.Panel;
             f.real("OutSideTemp", p.OutSideTemp, 3);
             f.real("InSideTemp", p.InSideTemp, 3);
             f.real("OutSideRelHum", p.OutSideRelHum, 3);
             f.real("InSideRelHum", p.InSideRelHum, 3);
             f.real("DiffusionDays", p.DiffusionDays, 3);
             f.real("FloorLevel", p.FloorLevel, 3);
         }},
        {"Building",
         [](Fields& f, ProjectOptions& o) {
             BuildingOptions& b = o.Building;
             f.integer("Compass", b.Compass);
             f.integer("Pollution", b.Pollution);
             f.integer("WallMassMode", b.WallMassMode);
             f.integer("UsingMode", b.UsingMode);
             f.real("Height", b.Height, 3);
         }},
        {"Heating",
         [](Fields& f, ProjectOptions& o) {
             HeatingOptions& h = o.Heating;
             f.real("OutSideTemp", h.OutSideTemp, 3);
             f.real("InSideTemp", h.InSideTemp, 3);
             f.real("TransFactor", h.TransFactor, 3);
             f.integer("SunShineFlag", h.SunShineFlag);
             f.integer("FiltMode", h.FiltMode);
             f.real("Portion", h.Portion, 4);
             f.real("AirChangeFact", h.AirChangeFact, 4);
             f.integer("Calculate", h.Calculate);
         }},
        {"Cooling",
         [](Fields& f, ProjectOptions& o) {
             f.real("InSideTemp", o.Cooling.InSideTemp, 3);
             f.integer("Calculate", o.Cooling.Calculate);
         }},
        {"Meteorology",
         [](Fields& f, ProjectOptions& o) {
             f.integer("UserDefined", o.Meteorology.UserDefined);
             f.text("Name", o.Meteorology.Name);
         }},
        {"Radiator",
         [](Fields& f, ProjectOptions& o) {
             RadiatorStruct& r = o.Radiator;
             f.integer("Nearest", r.Nearest);
             f.real("CorrectionFactor", r.CorrectionFactor, 3);
             f.real("TubeLength", r.TubeLength, 3);
             hydraulic(f, r.Hydraulic);
         }},
        {"FloorHeating",
         [](Fields& f, ProjectOptions& o) {
             FloorHeatingStruct& h = o.FloorHeating;
             f.real("OversideTemperature", h.OversideTemperature, 3);
             f.real("Oversidek", h.Oversidek, 5);
             f.real("BundLength", h.BundLength, 5);
             f.real("CoolingForwardTemperature", h.CoolingForwardTemperature, 3);
             f.real("CoolingBackwardTemperature", h.CoolingBackwardTemperature, 3);
             f.real("CoolingOversideTemperature", h.CoolingOversideTemperature, 3);
             f.real("TubeLengthPlus", h.TubeLengthPlus, 3);
             f.integer("TubeLengthPlusMode", h.TubeLengthPlusMode);
             f.real("RegisterVolume", h.RegisterVolume, 3);
             hydraulic(f, h.Hydraulic);
         }},
        {"OneTubeRound",
         [](Fields& f, ProjectOptions& o) {
             OneTubeRoundStruct& r = o.OneTubeRound;
             f.integer("Nearest", r.Nearest);
             f.real("CorrectionFactor", r.CorrectionFactor, 3);
             f.text("RadiatorName", r.RadiatorName);
             f.text("RadiatorFamily", r.RadiatorFamily);
             hydraulic(f, r.Hydraulic);
         }},
        {"Consumer", [](Fields& f, ProjectOptions& o) { consumer(f, o.Consumer); }},
        {"HeatChanger", [](Fields& f, ProjectOptions& o) { consumer(f, o.HeatChanger); }},
        {"NormalSection",
         [](Fields& f, ProjectOptions& o) { hydraulic(f, o.NormalSection.Hydraulic); }},
        {"Romanian",
         [](Fields& f, ProjectOptions& o) {
             RomanianOptions& r = o.Romanian;
             f.real("H", r.H, 3);
             f.real("EarthLambda", r.EarthLambda, 5);
             f.real("Tetap", r.Tetap, 5);
             f.real("Ao", r.Ao, 5);
             f.integer("AcCalculated", r.AcCalculated);
             f.real("Ac", r.Ac, 5);
             f.real("Cm", r.Cm, 5);
             f.real("E", r.E, 5);
             f.real("v", r.v, 5);
         }},
    };
    return list;
}

void hour(Fields& f, ProjectOptions& o, std::size_t h) {
    SunPosition& sun = o.Meteorology.sun[h];
    f.real("te", o.Meteorology.te[h], 3);
    f.real("Azimut", sun.Azimut, 3);
    f.real("z", sun.z, 3);
    f.real("Dir", sun.Dir, 3);
    f.real("Dif", sun.Dif, 3);
}

void rule(Fields& f, PointTypeRuleItem& r) {
    f.integer("FamilyType", r.FamilyType);
    f.text("PointType", r.PointType);
    f.text("TubeType", r.TubeType);
}

class Writing final : public Fields {
public:
    void real(std::string_view name, float& value, int digits) override {
        m_attributes += XmlWriter::RealAttribute(name, value, digits, 0);
    }
    void integer(std::string_view name, std::int16_t& value) override {
        m_attributes += XmlWriter::IntAttribute(name, value);
    }
    void text(std::string_view name, std::string& value) override {
        m_attributes += XmlWriter::TextAttribute(name, value);
    }
    // "<Name attributes/>" on a line of its own, or the start tag of an element with children.
    void line(XmlWriter& writer, std::string_view element, bool children) {
        std::string attributes = std::move(m_attributes);
        m_attributes.clear();
        if (!attributes.empty() && attributes.back() == ' ')
            attributes.pop_back();
        writer.WriteRaw("<" + std::string(element) + (attributes.empty() ? "" : " ") + attributes +
                        (children ? ">" : "/>") + "\r\n");
    }

private:
    std::string m_attributes;
};

class Reading final : public Fields {
public:
    explicit Reading(const XmlReader& reader)
        : m_reader(reader) {}
    void real(std::string_view name, float& value, int) override {
        const std::string text = m_reader.CurAttr(name);
        value = text.empty() ? 0.0f : static_cast<float>(ParseNumber(text, NumberRule::Any));
    }
    void integer(std::string_view name, std::int16_t& value) override {
        value =
            static_cast<std::int16_t>(wholeNumber(name, std::numeric_limits<std::int16_t>::min(),
                                                  std::numeric_limits<std::int16_t>::max()));
    }
    void text(std::string_view name, std::string& value) override {
        value = m_reader.CurAttr(name);
    }
    // A decimal integer within a range; a missing attribute reads 0.
    long wholeNumber(std::string_view name, long low, long high) const {
        const std::string text = m_reader.CurAttr(name);
        if (text.empty())
            return 0;
        long value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
            throw Error("IDS_WRONGVALUE");
        return value;
    }

private:
    const XmlReader& m_reader;
};

} // namespace

void WriteSettingsXml(const ProjectOptions& options, XmlWriter& writer) {
    ProjectOptions o(options); // the visitors take the fields by reference
    Writing w;
    for (const auto& [element, fields] : elements()) {
        fields(w, o);
        const bool meteorology = element == "Meteorology";
        w.line(writer, element, meteorology);
        if (meteorology) {
            for (std::size_t h = 0; h < o.Meteorology.te.size(); ++h) {
                std::int16_t index = static_cast<std::int16_t>(h);
                w.integer("HourIndex", index);
                hour(w, o, h);
                w.line(writer, "MeteorologyData", false);
            }
            writer.WriteRaw("</Meteorology>\r\n");
        }
    }
    w.line(writer, "Point", true);
    for (std::size_t z = 0; z < o.Point.Zeta.size(); ++z) {
        std::int16_t index = static_cast<std::int16_t>(z);
        w.integer("ZetaIndex", index);
        w.real("ZetaValue", o.Point.Zeta[z], 3);
        w.line(writer, "PointZeta", false);
    }
    for (PointTypeRuleItem& item : o.Point.Rules) {
        rule(w, item);
        w.line(writer, "PointRule", false);
    }
    writer.WriteRaw("</Point>\r\n");
}

bool ReadSettingsXml(ProjectOptions& options, XmlReader& reader) {
    ProjectOptions read(options);
    read.Point.Rules.clear();
    Reading r(reader);
    bool inRoot = false;
    bool complete = false;
    while (!complete && reader.Scan()) {
        const XmlPart part = reader.CurPartType();
        const std::string& name = reader.CurName();
        if (part == XmlPart::EndTag && inRoot && name == kSettingsRoot) {
            complete = true;
            break;
        }
        if (part != XmlPart::StartTag && part != XmlPart::EmptyElementTag)
            continue;
        if (!inRoot) {
            // Only the settings root holds settings: another document's same-named
            // elements are no settings.
            if (name != kSettingsRoot)
                return false;
            inRoot = true;
            continue;
        }
        if (name == "MeteorologyData") {
            const auto h = static_cast<std::size_t>(r.wholeNumber("HourIndex", 0, 23));
            if (reader.CurAttr("HourIndex").empty())
                throw Error("IDS_WRONGVALUE");
            hour(r, read, h);
        } else if (name == "PointZeta") {
            const auto z = static_cast<std::size_t>(r.wholeNumber("ZetaIndex", 0, 7));
            if (reader.CurAttr("ZetaIndex").empty())
                throw Error("IDS_WRONGVALUE");
            r.real("ZetaValue", read.Point.Zeta[z], 3);
        } else if (name == "PointRule") {
            PointTypeRuleItem item;
            rule(r, item);
            read.Point.Rules.push_back(std::move(item));
        } else {
            for (const auto& [element, fields] : elements())
                if (name == element)
                    fields(r, read);
        }
    }
    if (!complete)
        return false;
    // What the options record cannot hold (a text too long) is refused now, not at the next
    // save of the project.
    (void)read.recordBytes();
    options = std::move(read);
    return true;
}

void SaveSettingsFile(const ProjectOptions& options, const std::string& fileName) {
    XmlWriter writer(fileName, kSettingsRoot);
    // A value that is no number has no text a reader takes back: the file is not written and
    // the old one stays.
    const NonFiniteWatch watch;
    WriteSettingsXml(options, writer);
    if (watch.seen())
        throw Error("IDS_WRONGVALUE");
    writer.Finish();
}

bool LoadSettingsFile(ProjectOptions& options, const std::string& fileName) {
    XmlReader reader;
    if (!reader.LoadFromFile(fileName))
        throw Error("IDS_FILEREADERROR", {fileName, reader.ErrorText()},
                    "The file %s cannot be read: %s");
    return ReadSettingsXml(options, reader);
}

} // namespace kalydor
