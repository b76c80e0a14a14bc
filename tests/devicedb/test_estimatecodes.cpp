#include "devicedb/estimatecodes.h"

#include "base/error.h"

#include "devicedb/samplefamily.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace kalydor {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(EstimateCodes, KnownCodesAreTheTextsBeforeASemicolonPastTheFirstCharacter) {
    const std::set<std::string> known =
        knownEstimateCodes("P22.600.400;\tPanou\r\n;comment\r\nno semicolon\nC-100;x;y\r"
                           " lead;\n\nlast;");
    EXPECT_EQ(known, (std::set<std::string>{"P22.600.400", "C-100", " lead", "last"}));
}

TEST(EstimateCodes, CollectsNewCodesOnceWithTheFirstName) {
    // The sample family offers P22.600.400 (known), P22.600.500, @SET-22 (a piece list),
    // P11.300.400 and an empty code; the piece list offers C-100 and P22.
    EstimateCodeCollection collection({"P22.600.400"});
    collection.collect(test::sampleFamily());
    collection.collect(test::samplePieceList());
    RadiatorFamily again = test::sampleFamily();
    again.Sizes[3].Name = "another name";
    collection.collect(again); // P11.300.400 again: kept with its first name
    EXPECT_EQ(collection.pairs(), (Pairs{{"P22.600.500", "22-600-500"},
                                         {"P11.300.400", "11-300-400"},
                                         {"C-100", "Consolă perete"},
                                         {"P22", "Panou T22/T11"}}));

    // A family of more than 1,000 sizes is passed over.
    RadiatorFamily big = test::sampleFamily();
    big.Sizes.resize(1001, big.Sizes[1]);
    big.Sizes[1000].EstimateCode = "BIG";
    EstimateCodeCollection none({});
    none.collect(big);
    EXPECT_TRUE(none.pairs().empty());
}

TEST(EstimateCodes, AppendingKeepsTheFileAndItsConventions) {
    const Pairs pairs{{"P22.600.500", "Panou 22-600-500"}, {"C-100", "Consolă"}};
    struct Case {
        const char* what;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"CR LF, UTF-8", "A;\tx\r\n",
         "A;\tx\r\nP22.600.500;\tPanou 22-600-500\r\nC-100;\tConsolă\r\n"},
        {"last line without its break", "A;\tx",
         "A;\tx\r\nP22.600.500;\tPanou 22-600-500\r\nC-100;\tConsolă\r\n"},
        {"bare LF", "A;\tx\n", "A;\tx\nP22.600.500;\tPanou 22-600-500\nC-100;\tConsol\xc4\x83\n"},
        // "Ş" in Windows-1250 (0xAA) makes the file not UTF-8: new names are written so too.
        {"Windows-1250", "\xaa;\tx\r\n",
         "\xaa;\tx\r\nP22.600.500;\tPanou 22-600-500\r\nC-100;\tConsol\xe3\r\n"},
        {"empty file", "", "P22.600.500;\tPanou 22-600-500\r\nC-100;\tConsolă\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(appendEstimateCodes(c.before, pairs), c.after) << c.what;

    test::TempDir dir;
    const std::string file = dir.file("deviz.ocs");
    std::ofstream(file, std::ios::binary) << "A;\tx";
    EXPECT_EQ(readKnownEstimateCodes(file), (std::set<std::string>{"A"}));
    EXPECT_EQ(appendEstimateCodesToFile(file, pairs), 2u);
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), cases[1].after);
    EXPECT_THROW(readKnownEstimateCodes(dir.file("missing.ocs")), Error);
}

} // namespace
} // namespace kalydor
