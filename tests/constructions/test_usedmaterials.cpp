// The bill of materials: the adding rule, the expansion of "@" codes through piece lists
// (nested, cyclic, missing), the order, and the export line with its quoting.

#include "constructions/usedmaterials.h"

#include "base/textencoding.h"
#include "support/fakelanguage.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace kalydor::test {
namespace {

// A device table of piece lists by name, counting how often each is read.
class FakeDevices final : public BillDevices {
public:
    std::map<std::string, BillPieceList> lists;
    std::map<std::string, int> reads;

    std::optional<BillPieceList> pieceList(const std::string& name) override {
        ++reads[name];
        const auto found = lists.find(name);
        if (found == lists.end())
            return std::nullopt;
        return found->second;
    }
    std::string radiatorEstimateCode(const std::string&, const std::string&) override { return {}; }
    std::string familyPath(const std::string&) override { return {}; }
};

UsedMaterialItem line(std::uint8_t type, std::string name, std::string code, float quantity,
                      std::string unit = "pcs") {
    UsedMaterialItem item;
    item.Type = type;
    item.Name = std::move(name);
    item.EstimateCode = std::move(code);
    item.Quantity = quantity;
    item.Unit = std::move(unit);
    return item;
}

struct Summary {
    int type;
    std::string name;
    std::string code;
    float quantity;
    std::string unit;
    std::string group;
    bool operator==(const Summary&) const = default;
};

std::vector<Summary> summary(const UsedMaterials& bill) {
    std::vector<Summary> out;
    for (const UsedMaterialItem& l : bill.lines())
        out.push_back({l.Type, l.Name, l.EstimateCode, l.Quantity, l.Unit, l.GroupText});
    return out;
}

void PrintTo(const Summary& s, std::ostream* os) {
    *os << "{" << s.type << ", " << s.name << ", " << s.code << ", " << s.quantity << ", " << s.unit
        << ", " << s.group << "}";
}

// Two rooms with the same radiator make one line; the same size code of two families (two
// estimate codes) stays two lines, and so do equal names of two types.
TEST(UsedMaterials, AddingMergesOnTypeNameAndCode) {
    UsedMaterials bill;
    bill.Add(line(0, "22-600-1000", "RP22", 1));
    bill.Add(line(0, "22-600-1000", "RP22", 1));
    bill.Add(line(0, "22-600-1000", "ALU22", 1));
    bill.Add(line(1, "22-600-1000", "RP22", 3));
    bill.Sort();
    EXPECT_EQ(summary(bill), (std::vector<Summary>{{0, "22-600-1000", "RP22", 2, "pcs", ""},
                                                   {0, "22-600-1000", "ALU22", 1, "pcs", ""},
                                                   {1, "22-600-1000", "RP22", 3, "pcs", ""}}));
}

// Expansion: a list named after its "@", or by the whole code; nested lists multiply; an
// entry without name takes the replaced line's, one without unit is pieces; an unknown list
// and an empty code stay; a list that reaches itself stays as its line and is named once.
TEST(UsedMaterials, PieceListsExpandNestedAndStopOnCycles) {
    FakeLanguage language{{"IDS_NUMBEROFPIECES", "buc."}};
    FakeDevices devices;
    devices.lists["SET"] = {{{1, "Console", 1, "set", "@CONSOLE"},
                             {2, "", 2, "", "AER-12"},
                             {2, "Robinet", 1, "buc.", ""}},
                            "Accesorii"};
    devices.lists["@CONSOLE"] = {{{2, "Consolă", 2, "buc.", "CP-100"}}, "Accesorii\\Console"};
    devices.lists["A"] = {{{1, "to B", 1, "", "@B"}, {2, "Șurub", 1, "", "S-1"}}, "Ciclu"};
    devices.lists["B"] = {{{1, "to A", 2, "", "@A"}}, "Ciclu"};

    UsedMaterials bill(&devices);
    bill.Add(line(0, "22-600-1000", "@SET", 3));
    bill.Add(line(0, "Fără cod", "", 1));
    bill.Add(line(0, "Necunoscut", "@NIMIC", 1));
    bill.Add(line(0, "Buclă", "@A", 1));
    bill.Expand();
    bill.Sort();
    const std::vector<Summary> expected = {
        {0, "Fără cod", "", 1, "pcs", ""},
        {0, "Necunoscut", "@NIMIC", 1, "pcs", ""},
        {1, "to A", "@A", 2, "buc.", "Ciclu"}, // A → B → A: left as it is
        {2, "22-600-1000", "AER-12", 6, "buc.", "Accesorii"},
        {2, "Consolă", "CP-100", 6, "buc.", "Accesorii\\Console"},
        {2, "Robinet", "", 3, "buc.", "Accesorii"},
        {2, "Șurub", "S-1", 1, "buc.", "Ciclu"},
    };
    EXPECT_EQ(summary(bill), expected);
    EXPECT_EQ(bill.cycles(), std::vector<std::string>{"A"});
    // Each list is read once, however many passes and lines name it.
    EXPECT_EQ(devices.reads["SET"], 1);
    EXPECT_EQ(devices.reads["A"], 1);
}

// A list that names itself ends at once; its own line stays once with its quantity.
TEST(UsedMaterials, ListNamingItselfStays) {
    FakeLanguage language{{"IDS_NUMBEROFPIECES", "pcs"}};
    FakeDevices devices;
    devices.lists["SELF"] = {{{1, "Self", 1, "", "@SELF"}, {2, "Piuliță", 4, "", "P-4"}}, "X"};
    UsedMaterials bill(&devices);
    bill.Add(line(0, "Panou", "@SELF", 2));
    bill.Expand();
    bill.Sort();
    EXPECT_EQ(summary(bill), (std::vector<Summary>{{1, "Self", "@SELF", 2, "pcs", "X"},
                                                   {2, "Piuliță", "P-4", 8, "pcs", "X"}}));
    EXPECT_EQ(bill.cycles(), std::vector<std::string>{"SELF"});
}

// The export line: the code quoted (the "no code" text when it has none), the quantity in 6
// significant digits, the unit, the quoted name and seven separators; quotes in a quoted
// field doubled, line breaks and ";" in the unit blanked. The file is Windows-1250.
TEST(UsedMaterials, ExportLinesStayOneLineEach) {
    FakeLanguage language{{"IDS_KTETEL", "Fără cod"}};
    struct Case {
        UsedMaterialItem item;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {line(0, "Panou 22", "RP22", 2), "\"RP22\";2;pcs;\"Panou 22\";;;;;;;"},
        {line(0, "Robinet", "", 1.5f), "\"Fără cod\";1.5;pcs;\"Robinet\";;;;;;;"},
        {line(2, "Robinet 1/2\"", "R\"1", 1234567, "m;l"),
         "\"R\"\"1\";1.23457E6;m l;\"Robinet 1/2\"\"\";;;;;;;"},
        {line(2, "Două\r\nrânduri", "A\nB", 0.25f, "buc.\n"),
         "\"A B\";0.25;buc. ;\"Două  rânduri\";;;;;;;"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(usedMaterialExportLine(c.item, language), c.expected);

    UsedMaterials bill;
    bill.Add(line(0, "Țeavă", "T-1", 3, "m"));
    bill.Add(line(0, "Șină", "S-1", 1));
    const std::string file = bill.ExportText({1, 0, 7}, language);
    EXPECT_EQ(file, "\"S-1\";1;pcs;\"\xAA"
                    "in\xE3\";;;;;;;\r\n"
                    "\"T-1\";3;m;\"\xDE"
                    "eav\xE3\";;;;;;;\r\n");
    EXPECT_EQ(windows1250ToUtf8(file).find("Şină"), 13u); // ș goes as ş, like the spreadsheet
}

} // namespace
} // namespace kalydor::test
