// The XML form of device items: the export and the manufacturers' XML source files.

#include "devicedb/devicexml.h"

#include "base/error.h"
#include "base/numberformat.h"
#include "base/parsenumber.h"
#include "codecs/xmlreader.h"
#include "codecs/xmlwriter.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace kalydor {
namespace {

// ---- writing --------------------------------------------------------------------------------

constexpr int kDTOriginDigits = 3;
constexpr int kKvDigits = 4;
constexpr int kPowerDigits = 5;
constexpr int kSizeDigits = 4; // surface, volume, exponent
constexpr int kQuantityDigits = 4;

// Writes nested elements, each on a line of its own, indented by two spaces a level.
class ElementLines {
public:
    explicit ElementLines(XmlWriter& writer)
        : m_writer(writer) {}

    void open(std::string_view tag, std::string_view attributes = {}) {
        indent();
        m_writer.WriteElement(tag, attributes, {}, ElementEnd::Open);
        m_writer.WriteRaw("\r\n");
        ++m_depth;
    }
    void close(std::string_view tag) {
        --m_depth;
        indent();
        m_writer.WriteEndTag(tag);
        m_writer.WriteRaw("\r\n");
    }
    void leaf(std::string_view tag, std::string_view value) {
        indent();
        m_writer.WriteElement(tag, {}, value);
        m_writer.WriteRaw("\r\n");
    }
    void leaf(std::string_view tag, int value) { leaf(tag, std::to_string(value)); }
    void leaf(std::string_view tag, float value, int digits) {
        leaf(tag, formatGeneral(value, digits));
    }

private:
    void indent() { m_writer.WriteRaw(std::string(2 * m_depth, ' ')); }

    XmlWriter& m_writer;
    std::size_t m_depth = 0;
};

void writeHeader(ElementLines& lines, const DeviceItem& item) {
    lines.open("ItemHeader");
    lines.open("Date");
    lines.leaf("Year", item.Date.year);
    lines.leaf("Month", item.Date.month);
    lines.leaf("Day", item.Date.day);
    lines.close("Date");
    lines.leaf("ItemPath", item.Path);
    lines.leaf("ItemName", item.Name);
    lines.leaf("HomePage", item.HomePage);
    lines.close("ItemHeader");
}

void writeFamily(ElementLines& lines, const RadiatorFamily& family) {
    family.check();
    lines.open(kRadiatorElement,
               XmlWriter::TextAttribute("DTLog", family.DTLog == 1 ? "Yes" : "No"));
    writeHeader(lines, family);
    lines.leaf("DTOrigin", family.DTOrigin, kDTOriginDigits);
    for (const std::vector<std::string>& list : family.DimensionLists) {
        lines.open("DimensionArray");
        for (const std::string& entry : list)
            lines.leaf("DimensionString", entry);
        lines.close("DimensionArray");
    }
    for (const RadiatorMainType& type : family.MainTypes) {
        lines.open("RadiatorMainType");
        lines.leaf("MainTypeName", type.MainTypeName);
        for (const std::int16_t index : type.DimensionIndex)
            lines.leaf("DimensionIndex", index);
        lines.leaf("kvValue", type.kvValue, kKvDigits);
        for (int i = 0; i < type.SizeCount; ++i) {
            const RadiatorSize& size = family.Sizes[static_cast<std::size_t>(type.FirstSize + i)];
            lines.open("RadiatorSubType");
            lines.leaf("Name", size.Name);
            lines.leaf("DimensionIndex", size.DimensionIndex);
            lines.leaf("Power", size.Power, kPowerDigits);
            lines.leaf("Surface", size.Surface, kSizeDigits);
            lines.leaf("Volume", size.Volume, kSizeDigits);
            lines.leaf("Exponent", size.Exponent, kSizeDigits);
            lines.leaf("Current", size.Current);
            lines.leaf("Length", size.Length);
            lines.leaf("Height", size.Height);
            lines.leaf("Width", size.Width);
            lines.leaf("EstimateCode", size.EstimateCode);
            lines.close("RadiatorSubType");
        }
        lines.close("RadiatorMainType");
    }
    lines.close(kRadiatorElement);
}

void writePieceList(ElementLines& lines, const PieceList& list) {
    list.check();
    lines.open(kPieceListElement);
    writeHeader(lines, list);
    for (const PieceListLine& piece : list.Lines) {
        lines.open("ListItem", XmlWriter::TextAttribute("Type", pieceTypeKeyword(piece.Type)));
        lines.leaf("Name", piece.Name);
        lines.leaf("Quantity", piece.Quantity, kQuantityDigits);
        lines.leaf("DimensionString", piece.DimensionString);
        lines.leaf("EstimateCode", piece.EstimateCode);
        lines.close("ListItem");
    }
    lines.close(kPieceListElement);
}

// ---- reading --------------------------------------------------------------------------------

[[noreturn]] void macroError(const std::string& id, const std::string& itemName) {
    throw Error("IDS_XMLPARSERERROR+11", {id, itemName},
                "The macro \"%s\" of \"%s\" cannot be used: its ID is empty, its value contains "
                "its own ID, there are too many macros, or its expansion grows too long.");
}

[[noreturn]] void brokenDocument(const XmlReader& parser) {
    throw Error("IDS_XMLPARSERERROR+0", {parser.FileName(), parser.ErrorText()},
                "The file %s is not a well-formed XML document. %s");
}

[[noreturn]] void dataError(const std::string& name) {
    throw Error("IDS_RADIATORDATAERROR", {name},
                "The data of the device item \"%s\" do not fit together.");
}

// Passes over the element whose start tag the parser stands on, with all it holds.
void skipElement(XmlReader& parser) {
    int depth = 1;
    while (parser.Scan()) {
        if (parser.CurPartType() == XmlPart::StartTag) {
            ++depth;
        } else if (parser.CurPartType() == XmlPart::EndTag && --depth == 0) {
            return;
        }
    }
}

// The elements the language rule holds for, by their name and the element holding them.
bool languageRuled(std::string_view name, std::string_view parent) {
    for (const std::string_view ruled :
         {"ItemPath", "ItemName", "HomePage", "Macro", "DimensionArray", "MainTypeName", "Name"}) {
        if (name == ruled)
            return true;
    }
    return name == "DimensionString" && parent == "ListItem";
}

// Reads one item element. Tags are followed on a stack of the open elements; the content
// since the last tag is what a leaf element holds when its end tag comes.
class ItemReading {
public:
    ItemReading(XmlReader& parser, const DeviceXmlReader& owner)
        : m_parser(parser)
        , m_owner(owner) {}

    std::unique_ptr<DeviceItem> read() {
        const std::string element = m_parser.CurName();
        if (element == kRadiatorElement) {
            auto family = std::make_unique<RadiatorFamily>();
            family->DTLog = m_parser.CurAttr("DTLog") == "Yes" ? 1 : 0;
            family->Version = RadiatorFamily::kCurrentVersion;
            m_family = family.get();
            m_item = std::move(family);
        } else {
            auto list = std::make_unique<PieceList>();
            list->Version = PieceList::kCurrentVersion;
            m_list = list.get();
            m_item = std::move(list);
        }
        m_open.push_back(element);
        while (m_parser.Scan()) {
            const std::string& name = m_parser.CurName();
            switch (m_parser.CurPartType()) {
            case XmlPart::StartTag:
                if (!taken(name)) {
                    skipElement(m_parser);
                    break;
                }
                m_open.push_back(name);
                start(name);
                break;
            case XmlPart::EmptyElementTag:
                if (!taken(name))
                    break;
                m_open.push_back(name);
                start(name);
                end(name);
                m_open.pop_back();
                break;
            case XmlPart::EndTag:
                end(m_open.back());
                m_open.pop_back();
                if (m_open.empty()) {
                    finish();
                    return std::move(m_item);
                }
                break;
            case XmlPart::Content:
                m_text += m_parser.CurContent();
                continue;
            case XmlPart::Other:
                continue;
            }
            m_text.clear();
        }
        brokenDocument(m_parser);
    }

private:
    bool taken(const std::string& name) const {
        return !languageRuled(name, m_open.back()) || m_owner.takes(m_parser);
    }

    // The element holding the innermost open one.
    std::string_view parent() const {
        return m_open.size() >= 2 ? std::string_view(m_open[m_open.size() - 2]) : "";
    }

    const std::string& itemName() const { return m_headerRead ? m_item->Name : m_rawName; }

    std::string expand(std::string text) const {
        return expandDeviceMacros(std::move(text), m_itemMacros, m_owner.globalMacros(),
                                  itemName());
    }

    [[noreturn]] void numberError(std::string_view element) const {
        throw Error("IDS_XMLPARSERERROR+6", {std::string(element), itemName()},
                    "The element \"%s\" of \"%s\" does not hold a usable number.");
    }

    [[noreturn]] void indexError(const std::string& name) const {
        throw Error("IDS_XMLPARSERERROR+2", {name},
                    "\"%s\": a dimension index is missing or lies outside its dimension list.");
    }

    double number(std::string_view element) const {
        try {
            return ParseNumber(m_text);
        } catch (const Error&) {
            numberError(element);
        }
    }

    // ParseNumber takes only values that are finite in single precision.
    float real(std::string_view element) const { return static_cast<float>(number(element)); }

    template <class Int> Int whole(std::string_view element) const {
        const double value = number(element);
        if (value != std::floor(value) || value < std::numeric_limits<Int>::min() ||
            value > std::numeric_limits<Int>::max())
            numberError(element);
        return static_cast<Int>(value);
    }

    std::int16_t int16(std::string_view element) const { return whole<std::int16_t>(element); }

    void start(const std::string& name) {
        const std::string_view holder = parent();
        const bool top = m_open.size() == 2;
        if (name == "ItemHeader" && top) {
            m_itemMacros.clear();
        } else if (name == "Macro" && holder == "ItemHeader") {
            m_macroId = m_parser.CurAttr("ID");
        } else if (m_family && top && name == "DimensionArray") {
            if (!m_family->MainTypes.empty())
                indexError(m_family->MainTypes.back().MainTypeName);
            if (m_family->DimensionLists.size() == 3)
                throw Error("IDS_XMLPARSERERROR+1", {itemName()},
                            "The radiator family \"%s\" has more than three dimension lists.");
            m_family->DimensionLists.emplace_back();
        } else if (m_family && top && name == "RadiatorMainType") {
            m_type = RadiatorMainType{};
            m_type.FirstSize = static_cast<std::int16_t>(m_family->Sizes.size());
            m_inType = true;
        } else if (m_inType && name == "RadiatorSubType" && holder == "RadiatorMainType") {
            m_size = RadiatorSize{};
            m_inSize = true;
        } else if (m_list && top && name == "ListItem") {
            m_line = PieceListLine{};
            m_line.Type = pieceTypeOf(m_parser.CurAttr("Type"));
            m_inLine = true;
        }
    }

    void end(const std::string& name) {
        const std::string_view holder = parent();
        const bool top = m_open.size() == 2;
        if (holder == "ItemHeader") {
            endHeaderField(name);
        } else if (holder == "Date" && m_open.size() >= 3 &&
                   m_open[m_open.size() - 3] == "ItemHeader") {
            if (name == "Year")
                m_year = whole<int>(name);
            else if (name == "Month")
                m_month = whole<int>(name);
            else if (name == "Day")
                m_day = whole<int>(name);
        } else if (name == "ItemHeader" && top) {
            endHeader();
        } else if (m_family) {
            endFamilyPart(name, holder, top);
        } else if (m_inLine && holder == "ListItem") {
            if (name == "Name")
                m_line.Name = expand(m_text);
            else if (name == "Quantity")
                m_line.Quantity = real(name);
            else if (name == "DimensionString")
                m_line.DimensionString = expand(m_text);
            else if (name == "EstimateCode")
                m_line.EstimateCode = expand(m_text);
        } else if (m_inLine && top && name == "ListItem") {
            m_inLine = false;
            if (m_line.Name.empty())
                throw Error("IDS_XMLPARSERERROR+13", {itemName()},
                            "The piece list \"%s\" contains a line without a name.");
            if (m_list->Lines.size() >= kMaxDeviceCount)
                dataError(itemName());
            m_list->Lines.push_back(std::move(m_line));
        }
    }

    void endHeaderField(const std::string& name) {
        if (name == "ItemPath") {
            m_rawPath = m_text;
        } else if (name == "ItemName") {
            m_rawName = m_text;
        } else if (name == "HomePage") {
            m_rawHomePage = m_text;
        } else if (name == "Macro") {
            addDeviceMacro(m_itemMacros, {m_macroId, m_text}, itemName());
        }
    }

    // The header's texts are expanded once all of it is read, so that its macros may follow
    // the texts they apply to.
    void endHeader() {
        std::string name = expand(m_rawName);
        std::string path = expand(m_rawPath);
        std::string homePage = expand(m_rawHomePage);
        m_headerRead = true;
        m_item->Name = std::move(name);
        m_item->Path = std::move(path);
        m_item->HomePage = std::move(homePage);
        m_item->Date = DeviceDate::checked(m_year, m_month, m_day);
        if (m_item->Name.empty() || m_item->Path.empty())
            throw Error("IDS_XMLPARSERERROR+10", {m_item->Name, m_item->Path},
                        "The item header is incomplete: the name (\"%s\") or the folder path "
                        "(\"%s\") is empty.");
    }

    void endFamilyPart(const std::string& name, std::string_view holder, bool top) {
        RadiatorFamily& family = *m_family;
        if (top && name == "DTOrigin") {
            family.DTOrigin = real(name);
        } else if (holder == "DimensionArray" && m_open.size() == 3 && name == "DimensionString") {
            std::vector<std::string>& list = family.DimensionLists.back();
            if (list.size() >= kMaxDeviceCount)
                dataError(itemName());
            list.push_back(expand(m_text));
        } else if (m_inSize && holder == "RadiatorSubType") {
            endSizeField(name);
        } else if (m_inType && holder == "RadiatorMainType") {
            if (name == "MainTypeName") {
                m_type.MainTypeName = expand(m_text);
            } else if (name == "DimensionIndex") {
                if (m_type.DimensionIndex.size() >= family.mainTypeDimensions())
                    indexError(m_type.MainTypeName);
                m_type.DimensionIndex.push_back(int16(name));
            } else if (name == "kvValue") {
                m_type.kvValue = real(name);
            } else if (name == "RadiatorSubType" && m_inSize) {
                endSize();
            }
        } else if (m_inType && top && name == "RadiatorMainType") {
            endMainType();
        }
    }

    void endSizeField(const std::string& name) {
        if (name == "Name") {
            m_size.Name = expand(m_text);
        } else if (name == "EstimateCode") {
            m_size.EstimateCode = expand(m_text);
        } else if (name == "DimensionIndex") {
            m_size.DimensionIndex = int16(name);
        } else {
            const std::pair<const char*, float*> reals[] = {{"Power", &m_size.Power},
                                                            {"Surface", &m_size.Surface},
                                                            {"Volume", &m_size.Volume},
                                                            {"Exponent", &m_size.Exponent}};
            for (const auto& [tag, target] : reals) {
                if (name == tag)
                    *target = real(name);
            }
            const std::pair<const char*, std::int16_t*> wholes[] = {{"Current", &m_size.Current},
                                                                    {"Length", &m_size.Length},
                                                                    {"Height", &m_size.Height},
                                                                    {"Width", &m_size.Width}};
            for (const auto& [tag, target] : wholes) {
                if (name == tag)
                    *target = int16(name);
            }
        }
    }

    void endSize() {
        m_inSize = false;
        RadiatorFamily& family = *m_family;
        if (m_size.Name.empty())
            throw Error("IDS_XMLPARSERERROR+14", {itemName()},
                        "The radiator family \"%s\" has a size without a name.");
        if (family.DimensionLists.empty() || m_size.DimensionIndex < 0 ||
            static_cast<std::size_t>(m_size.DimensionIndex) >= family.DimensionLists.back().size())
            indexError(m_size.Name);
        if (family.Sizes.size() >= kMaxDeviceCount)
            dataError(itemName());
        family.Sizes.push_back(std::move(m_size));
        ++m_type.SizeCount;
    }

    void endMainType() {
        m_inType = false;
        RadiatorFamily& family = *m_family;
        const std::size_t dimensions = family.mainTypeDimensions();
        if (family.DimensionLists.empty() || m_type.DimensionIndex.size() < dimensions)
            indexError(m_type.MainTypeName);
        for (std::size_t i = 0; i < dimensions; ++i) {
            const std::int16_t index = m_type.DimensionIndex[i];
            if (index < 0 || static_cast<std::size_t>(index) >= family.DimensionLists[i].size())
                indexError(m_type.MainTypeName);
        }
        if (family.MainTypes.size() >= kMaxDeviceCount)
            dataError(itemName());
        family.MainTypes.push_back(std::move(m_type));
    }

    void finish() {
        if (!m_headerRead)
            throw Error("IDS_XMLPARSERERROR+10", {m_item->Name, m_item->Path},
                        "The item header is incomplete: the name (\"%s\") or the folder path "
                        "(\"%s\") is empty.");
        if (m_family)
            m_family->check();
        else
            m_list->check();
        checkDeviceName(m_item->Name);
    }

    XmlReader& m_parser;
    const DeviceXmlReader& m_owner;
    std::unique_ptr<DeviceItem> m_item;
    RadiatorFamily* m_family = nullptr;
    PieceList* m_list = nullptr;
    std::vector<std::string> m_open; ///< the open elements, the item's first
    std::string m_text;              ///< content since the last tag

    DeviceMacros m_itemMacros;
    std::string m_macroId;
    bool m_headerRead = false;
    std::string m_rawName;
    std::string m_rawPath;
    std::string m_rawHomePage;
    int m_year = 0;
    int m_month = 0;
    int m_day = 0;

    RadiatorMainType m_type;
    bool m_inType = false;
    RadiatorSize m_size;
    bool m_inSize = false;
    PieceListLine m_line;
    bool m_inLine = false;
};

} // namespace

void writeDeviceXml(XmlWriter& writer, const DeviceItem& item) {
    ElementLines lines(writer);
    if (const auto* family = dynamic_cast<const RadiatorFamily*>(&item))
        writeFamily(lines, *family);
    else if (const auto* list = dynamic_cast<const PieceList*>(&item))
        writePieceList(lines, *list);
}

void addDeviceMacro(DeviceMacros& macros, DeviceMacro macro, const std::string& itemName) {
    if (macro.ID.empty() || macro.value.find(macro.ID) != std::string::npos ||
        macros.size() >= kMaxDeviceMacros)
        macroError(macro.ID, itemName);
    macros.push_back(std::move(macro));
}

std::string expandDeviceMacros(std::string text, const DeviceMacros& itemMacros,
                               const DeviceMacros& globalMacros, const std::string& itemName) {
    std::size_t replacements = 0;
    std::size_t work = 0;
    for (const DeviceMacros* macros : {&itemMacros, &globalMacros}) {
        for (const DeviceMacro& macro : *macros) {
            if (macro.ID.empty())
                continue; // never added
            for (std::size_t at = text.find(macro.ID); at != std::string::npos;
                 at = text.find(macro.ID)) {
                text.replace(at, macro.ID.size(), macro.value);
                work += text.size();
                if (++replacements > kMaxMacroReplacements ||
                    text.size() > kMaxExpandedTextLength || work > kMaxMacroWork)
                    macroError(macro.ID, itemName);
            }
        }
    }
    return text;
}

bool deviceLanguageTaken(std::string_view attribute, std::string_view language) {
    return attribute.empty() || attribute == "any" || attribute == language;
}

DeviceXmlReader::DeviceXmlReader(std::string language)
    : m_language(std::move(language)) {}

bool DeviceXmlReader::takes(const XmlReader& parser) const {
    return deviceLanguageTaken(parser.CurAttr("Language"), m_language);
}

std::unique_ptr<DeviceItem> DeviceXmlReader::readItem(XmlReader& parser) {
    return ItemReading(parser, *this).read();
}

void DeviceXmlReader::readGlobalMacros(XmlReader& parser) {
    m_globalMacros.clear();
    int depth = 1;      // open elements, this one included
    int macroDepth = 0; // the depth of the open macro, 0 outside one
    std::string id;
    std::string value;
    while (parser.Scan()) {
        switch (parser.CurPartType()) {
        case XmlPart::StartTag:
            if (parser.CurName() == "Macro" && macroDepth == 0) {
                if (!takes(parser)) {
                    skipElement(parser);
                    break;
                }
                id = parser.CurAttr("ID");
                value.clear();
                macroDepth = depth + 1;
            }
            ++depth;
            break;
        case XmlPart::EmptyElementTag:
            if (parser.CurName() == "Macro" && macroDepth == 0 && takes(parser))
                addDeviceMacro(m_globalMacros, {parser.CurAttr("ID"), {}}, {});
            break;
        case XmlPart::Content:
            if (macroDepth != 0)
                value += parser.CurContent();
            break;
        case XmlPart::EndTag:
            if (depth == macroDepth) {
                addDeviceMacro(m_globalMacros, {id, value}, {});
                macroDepth = 0;
            }
            if (--depth == 0)
                return;
            break;
        case XmlPart::Other:
            break;
        }
    }
}

} // namespace kalydor
