#include "base/resources.h"
#include "language/languages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace kalydor {
namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The shipped languages, Romanian first.
std::vector<Language> languagesToCheck() {
    Languages shipped;
    shipped.LoadLanguages(std::string(KALYDOR_PROGRAM_DIR) + "/languages/*.xm?");
    std::vector<Language> out;
    for (const char* id : {"Român", "English"}) {
        for (const Language& l : shipped.languages())
            if (l.id == id)
                out.push_back(l);
    }
    EXPECT_EQ(out.size(), 2u) << "Romanian and English language files";
    return out;
}

const char* const kHeaders[] = {
    "GENERALRTFHEADER",  "MATERIALRTFHEADER",      "PANELRTFHEADER",  "ROOMRTFHEADER",
    "BUILDINGRTFHEADER", "USEDMATERIALSRTFHEADER", "PANELLAYERTABLE", "PANELLAYERRESULTTABLE",
    "BOUNDARYTABLE1",    "BOUNDARYTABLE2",         "BOUNDARYTABLE3",  "ROOMTABLE",
    "ENERGETICTABLE",    "RADIATORTABLE",          "RADIATOR2TABLE",  "AIRTABLE",
    "MANTABLE",          "LIGHTINGTABLE",          "TRANSPORTTABLE",  "OTHERTABLE",
};

// Every placeholder of every header resource has a text in both languages, and the texts
// bring no "#" that would leave a placeholder half replaced.
TEST(DocumentResources, PlaceholdersResolveInBothLanguages) {
    const fs::path folder = fs::path(KALYDOR_SOURCE_DIR) / "resources" / "rtfheaders";
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files.insert(entry.path().stem().string());
    for (const char* name : kHeaders)
        EXPECT_TRUE(files.count(name)) << name << ".rtf is missing";

    const std::regex placeholder("#([A-Za-z][A-Za-z0-9_]*)#");
    for (const Language& language : languagesToCheck()) {
        for (const std::string& name : files) {
            const std::string text = readText(folder / (name + ".rtf"));
            EXPECT_EQ(namedResource("rtfheaders", name), text) << name << " is not built in";
            for (std::sregex_iterator it(text.begin(), text.end(), placeholder), end; it != end;
                 ++it) {
                const auto found = language.strings.find((*it)[1].str());
                ASSERT_TRUE(found != language.strings.end() && !found->second.empty())
                    << language.id << " has no text for " << (*it)[1] << " of " << name;
                EXPECT_EQ(found->second.find('#'), std::string::npos) << (*it)[1];
            }
        }
    }
}

// The table headers span the A4 text width (11906 twips less the 720 and 360 twip side
// margins) in every header row.
TEST(DocumentResources, TableRowsSpanTheTextWidth) {
    const std::regex cellx("\\\\cellx([0-9]+)");
    for (const char* name : kHeaders) {
        const std::string text(namedResource("rtfheaders", name));
        if (std::string(name).find("TABLE") == std::string::npos)
            continue;
        std::size_t rows = 0;
        for (std::size_t pos = text.find("\\trowd"); pos != std::string::npos;
             pos = text.find("\\trowd", pos + 1)) {
            const std::size_t next = text.find("\\row", pos + 6);
            const std::string row = text.substr(pos, next - pos);
            int last = 0;
            std::size_t cells = 0;
            for (std::sregex_iterator it(row.begin(), row.end(), cellx), end; it != end; ++it) {
                const int x = std::stoi((*it)[1]);
                EXPECT_GT(x, last) << name;
                last = x;
                ++cells;
            }
            EXPECT_EQ(last, 11906 - 720 - 360) << name;
            // One "\cell" for every boundary.
            const std::size_t cellEnd = row.find("\\pard");
            const std::string content = row.substr(cellEnd);
            std::size_t closed = 0;
            for (std::size_t p = content.find("\\cell "); p != std::string::npos;
                 p = content.find("\\cell ", p + 1))
                ++closed;
            EXPECT_EQ(closed, cells) << name;
            ++rows;
        }
        EXPECT_EQ(rows, 2u) << name;
    }
}

TEST(DocumentResources, ItemProloguesAreA4Documents) {
    for (const char* name : {"MATERIALRTFHEADER", "PANELRTFHEADER", "ROOMRTFHEADER",
                             "BUILDINGRTFHEADER", "USEDMATERIALSRTFHEADER"}) {
        const std::string text(namedResource("rtfheaders", name));
        EXPECT_TRUE(text.starts_with("{\\rtf1")) << name;
        for (const char* part :
             {"\\paperw11906\\paperh16838\\margl720\\margr360\\margt720\\margb720",
              "\\f4\\froman\\fcharset238\\fprq2 Times New Roman CE;",
              "\\f5\\fswiss\\fcharset238\\fprq2 Arial CE;", "\\red192\\green192\\blue192;}",
              "{\\s36", "Default Paragraph Font;"})
            EXPECT_NE(text.find(part), std::string::npos) << name << " lacks " << part;
        // A style that carries "in table" makes LibreOffice read no table of the document.
        EXPECT_EQ(text.find("\\intbl"), std::string::npos) << name;
    }
    const std::string general(namedResource("rtfheaders", "GeneralRTFHeader"));
    EXPECT_NE(general.find("\\deftab720"), std::string::npos);
    EXPECT_NE(general.find("\\pard\\tx3240\\plain\\f3\\fs20"), std::string::npos);
}

} // namespace
} // namespace kalydor
