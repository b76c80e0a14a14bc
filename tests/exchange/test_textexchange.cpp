#include "base/error.h"
#include "codecs/texttokenreader.h"
#include "constructions/material.h"
#include "constructions/registration.h"
#include "exchange/textexchange.h"
#include "platform/scriptedprompter.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"
#include "support/fakelanguage.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <optional>
#include <set>
#include <variant>

namespace kalydor {
namespace {

using platform::OverwriteAnswer;
using platform::ScopedPrompter;
using platform::ScriptedPrompter;

// The format error number an operation raised, or nothing.
std::optional<int> errorNumber(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const Error& error) {
        const std::string prefix = "IDS_TEXTCONVERTERROR+";
        if (error.key().rfind(prefix, 0) == 0)
            return std::stoi(error.key().substr(prefix.size()));
        return -1;
    }
    return std::nullopt;
}

TEST(ParserStream, TokensAndTheirErrors) {
    using Value = std::variant<std::string, std::int32_t, float>;
    struct Case {
        const char* text;
        char op; // s string, i integer, r real
        std::optional<Value> value;
        int error = -1;
    };
    const Case cases[] = {
        {R"("a\"b")", 's', std::string("a\"b")},
        {R"("a\\b")", 's', std::string("a\\b")},
        {"  \t\"x\" ; comment", 's', std::string("x")},
        {"; only a comment\r\n\r\n  \"after\"", 's', std::string("after")},
        {"\"open", 's', std::nullopt, 2},
        {"\"ends in \\", 's', std::nullopt, 2},
        {"12", 's', std::nullopt, 2},
        {"-42 7", 'i', std::int32_t{-42}},
        {"+7", 'i', std::int32_t{7}},
        {"3;", 'i', std::nullopt, 0},
        {"3.5", 'i', std::nullopt, 0},
        {"2147483648", 'i', std::nullopt, 0},
        {"-2147483648", 'i', std::int32_t{-2147483647 - 1}},
        {"2,5", 'r', 2.5f},
        {"2.5", 'r', 2.5f},
        {"2.", 'r', 2.0f},
        {",25", 'r', 0.25f},
        {"1E-3", 'r', 0.001f},
        {"-1.5e+2\t", 'r', -150.0f},
        {"2.5a", 'r', std::nullopt, 1},
        {"e5", 'r', std::nullopt, 1},
        {"1e", 'r', std::nullopt, 1},
        {"1e999", 'r', std::nullopt, 1},
        {"", 'r', std::nullopt, 3},
        {"; nothing but a comment", 'i', std::nullopt, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TextTokenReader reader(c.text, "cases.txt");
        std::optional<Value> read;
        const std::optional<int> error = errorNumber([&] {
            if (c.op == 's')
                read = reader.NextString();
            else if (c.op == 'i')
                read = reader.NextInt();
            else
                read = reader.NextReal();
        });
        if (c.value) {
            EXPECT_FALSE(error);
            EXPECT_EQ(read, c.value);
        } else {
            EXPECT_EQ(error, c.error);
        }
    }
}

TEST(ParserStream, ErrorNamesTheFileAndTheZeroBasedLine) {
    test::FakeLanguage language{{"IDS_TEXTCONVERTERROR+0", "%s|%d"}};
    TextTokenReader reader("\"a\"\r\n; comment\r\nx", "f.txt");
    reader.NextString();
    try {
        reader.NextInt();
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.text(), "f.txt|2");
    }
}

// The file is read through a buffer of 64 KB: what a line or a character holds must not depend
// on where the buffer happens to end, and the encoding is the whole file's.
TEST(ParserStream, FilesAreReadLineByLineWhateverTheBufferBoundaries) {
    test::TempDir dir;
    const std::size_t buffer = 64 * 1024;
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> strings; ///< the string tokens read, in order
        int error = -1;
        int errorLine = -1;
    };
    // "ă" is two bytes in UTF-8 (C4 83) and the byte E3 in Windows-1250; the UTF-8 bytes of "ţ"
    // (C5 A3) read as Windows-1250 are "ĹŁ".
    const std::string padding(buffer - 4, ' '); // "\r" ends the first buffer
    const Case cases[] = {
        {"a UTF-8 letter across the boundary",
         "\xEF\xBB\xBF\"x\"\r\n" + std::string(buffer - 10, ' ') + "\"\xC4\x83\"\r\n",
         {"x", "\xC4\x83"}},
        {"a CR LF across the boundary", padding + "\"a\"\r\n\"b\"", {"a", "b"}},
        {"a Windows-1250 byte only in the second buffer decodes the first one too",
         "\"\xC5\xA3\"\r\n;" + std::string(2 * buffer, 'c') + "\r\n\"\xE3\"\r\n",
         {"\xC4\xB9\xC5\x81", "\xC4\x83"}},
        {"a comment line longer than any line kept",
         "\"a\"\n;" + std::string(3 << 20, 'c') + "\n\"b\"",
         {"a", "b"}},
        {"blanks beyond the longest line before a token",
         std::string((2 << 20) + 7, ' ') + "\t\"a\"",
         {"a"}},
        {"a token line longer than the longest line",
         "\"a\"\r\n\r\n\"" + std::string((1 << 20) + 1, 'n') + "\"\r\n",
         {"a"},
         8,
         2},
    };
    test::FakeLanguage language{{"IDS_TEXTCONVERTERROR+3", "3|%s|%d"},
                                {"IDS_TEXTCONVERTERROR+8", "8|%s|%d"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir.file("lines.txt");
        std::ofstream(file, std::ios::binary | std::ios::trunc) << c.bytes;
        for (const bool fromFile : {true, false}) {
            SCOPED_TRACE(fromFile ? "file" : "memory");
            auto reader = fromFile ? std::make_unique<TextTokenReader>(file)
                                   : std::make_unique<TextTokenReader>(c.bytes, file);
            std::vector<std::string> read;
            std::string error;
            try {
                while (true)
                    read.push_back(reader->NextString());
            } catch (const Error& e) {
                error = e.text();
            }
            EXPECT_EQ(read, c.strings);
            // Running out of strings is error 3; a line too long is error 8, at its line.
            if (c.error < 0)
                EXPECT_EQ(error.substr(0, 2), "3|") << error;
            else
                EXPECT_EQ(error,
                          std::to_string(c.error) + "|" + file + "|" + std::to_string(c.errorLine));
        }
    }
}

class TextExchange : public ::testing::Test {
protected:
    void SetUp() override {
        registerConstructionItems();
        store = std::make_unique<ItemStore>(dir.directory(), "m.db", TableMode::Create,
                                            TableKind::Catalogue);
    }

    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir.file(name), std::ios::binary) << text;
        return dir.file(name);
    }

    ImportResult import(const std::string& text) {
        OverwriteAnswers answers;
        return ImportText(*store, ItemKind::Material, write("in.txt", text), answers, {});
    }

    std::optional<Material> stored(const std::string& path, const std::string& name) {
        const std::string group = store->GroupOfPath(RecordType::MaterialGroup, path, '\\');
        if (!store->FindRecord(RecordType::Material, group, name))
            return std::nullopt;
        Material m;
        if (!store->LoadItem(m))
            return std::nullopt;
        return m;
    }

    static std::string record(const std::string& path, const std::string& name,
                              const std::string& thickness = "1") {
        return "\"KALYDOR32MATERIAL\" 1\r\n2024 5 6\r\n\"" + path + "\"\r\n\"" + name +
               "\"\r\n1\t0\t\r\n" + thickness + "\t2\t3\t0\t4\t0\t0\t5\t\r\n\r\n";
    }

    test::TempDir dir;
    std::unique_ptr<ItemStore> store;
    ScriptedPrompter prompter;
    ScopedPrompter scope{prompter};
};

TEST_F(TextExchange, OnlyEndImportsNothingSilently) {
    const ImportResult result = import("\"END\"\r\n");
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.stored(), 0);
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(TextExchange, EscapedPathCreatesNestedGroupAndTrailingBlanksGo) {
    const ImportResult result = import(record("A\\\\B", "brick  ") + "\"END\"\r\n");
    ASSERT_FALSE(result.failed) << result.message;
    const std::string a = store->GroupOfPath(RecordType::MaterialGroup, "A", '\\');
    EXPECT_TRUE(store->FindRecord(RecordType::MaterialGroup, a, "B"));
    const auto m = stored("A\\B", "brick");
    ASSERT_TRUE(m);
    EXPECT_FLOAT_EQ(m->Density, 2);
    EXPECT_FLOAT_EQ(m->SteamDiffResNum, 5);
}

// Paths made from a group's full path end with the separator; it names no further group.
// An empty component between two separators is a group with an empty name.
TEST_F(TextExchange, TrailingSeparatorAddsNothingAndLongPathsAreNamed) {
    const ImportResult result =
        import(record("Metals\\\\", "steel") + record("A\\\\\\\\B\\\\", "mid") +
               record("", "after") + "\"END\"\r\n");
    ASSERT_FALSE(result.failed) << result.message;
    EXPECT_EQ(result.added, 3);
    EXPECT_TRUE(stored("Metals", "steel"));
    EXPECT_TRUE(stored("A\\\\B", "mid"));
    EXPECT_TRUE(stored("", "after"));
    // Exported back, the path has no trailing separator and reads back the same.
    const std::string out = dir.file("out.txt");
    ASSERT_EQ(
        ExportItems(*store, ItemKind::Material, ItemsInTreeOrder(*store, ItemKind::Material), out)
            .written,
        3);
    std::ifstream file(out, std::ios::binary);
    const std::string exported(std::istreambuf_iterator<char>(file), {});
    EXPECT_NE(exported.find("\"Metals\"\r\n\"steel\""), std::string::npos) << exported;

    // A path the store cannot take is named; the record is left out and the import goes on.
    test::FakeLanguage language{{"IDS_IMPORTBADPATH", "bad path %s (%d)"}};
    const std::string longName(40, 'x');
    const ImportResult bad =
        import(record("Ok\\\\" + longName, "m") + record("", "next") + "\"END\"\r\n");
    EXPECT_FALSE(bad.failed);
    EXPECT_EQ(bad.skipped, 1);
    EXPECT_EQ(bad.added, 1);
    ASSERT_FALSE(prompter.messages().empty());
    EXPECT_EQ(prompter.messages().back(), "bad path Ok\\" + longName + " (32)");
}

TEST(ImportedPath, NormalisedForEitherSeparator) {
    struct Case {
        std::string path;
        char separator;
        std::optional<std::string> normalised;
    };
    const std::string long33(33, 'y');
    const Case cases[] = {
        {"", '\\', ""},
        {"\\", '\\', ""},
        {"A\\", '\\', "A"},
        {"A \\B  ", '\\', "A\\B"},
        {"A\\\\B", '\\', "A\\\\B"},
        {"A\n\nB\n", '\n', "A\n\nB"},
        {"Ziduri\n", '\n', "Ziduri"},
        {"A\\" + long33, '\\', std::nullopt},
        {long33 + "\n", '\n', std::nullopt},
    };
    for (const Case& c : cases) {
        std::string path = c.path;
        const bool ok = normalizeImportedPath(path, c.separator);
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ok, c.normalised.has_value());
        if (ok) {
            EXPECT_EQ(path, *c.normalised);
        }
    }
}

TEST_F(TextExchange, MissingEndKeepsEarlierRecordsAndReportsError3) {
    test::FakeLanguage language{{"IDS_TEXTCONVERTERROR+3", "E3"}};
    const ImportResult result = import(record("", "one") + record("", "two"));
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.message, "E3");
    EXPECT_EQ(result.added, 2);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_TRUE(stored("", "one"));
    EXPECT_TRUE(stored("", "two"));
}

TEST_F(TextExchange, RecordCutShortIsNotStored) {
    const ImportResult result =
        import(record("", "one") +
               "\"KALYDOR32MATERIAL\" 1\r\n2024 1 1\r\n\"\"\r\n\"cut\"\r\n1\t0\t\r\n5\t");
    EXPECT_TRUE(result.failed);
    EXPECT_TRUE(stored("", "one"));
    EXPECT_FALSE(stored("", "cut"));
}

TEST_F(TextExchange, MaterialsIntoConstructionTableGiveError4) {
    test::FakeLanguage language{{"IDS_TEXTCONVERTERROR+4", "E4 %s %d"}};
    ItemStore project(dir.directory(), "p.db", TableMode::Create, TableKind::Project);
    OverwriteAnswers answers;
    TextTokenReader reader(record("", "one") + "\"END\"\r\n", "m.txt");
    const ImportResult result = ImportText(project, ItemKind::Construction, reader, answers, {});
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.message.substr(0, 8), "E4 m.txt");
    EXPECT_EQ(result.stored(), 0);
    EXPECT_FALSE(project.FindRecord(RecordType::Panel, project.RootId(), "one"));
}

// A record with a name the store cannot take was read whole: it is left out, named by its
// line, and the import goes on with the next one.
TEST_F(TextExchange, RefusedNamesAreSkippedNotMangled) {
    test::FakeLanguage language{{"IDS_TEXTCONVERTERROR+7", "%s|%d"},
                                {"IDS_IMPORTBADPATH", "path %s"}};
    const ImportResult result = import(record("", "ok") + record("", "   ") + record("", "x") +
                                       record("A\\\\" + std::string(40, 'g'), "y") + "\"END\"\r\n");
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(result.skipped, 2);
    EXPECT_TRUE(stored("", "ok"));
    EXPECT_TRUE(stored("", "x"));
    EXPECT_EQ(prompter.messages(), (std::vector<std::string>{dir.file("in.txt") + "|10",
                                                             "path A\\" + std::string(40, 'g')}));
    EXPECT_TRUE(store->ListRecords(RecordType::MaterialGroup).empty());
}

TEST_F(TextExchange, OverwriteRulesUntouchedAndNoToAll) {
    ASSERT_FALSE(
        import(record("", "a") + record("", "b") + record("", "c") + "\"END\"\r\n").failed);
    // Mark "a" as untouched catalogue data: it is replaced without a question.
    {
        auto a = stored("", "a");
        a->Untouched = 1;
        ASSERT_TRUE(store->FindRecord(RecordType::Material, store->RootId(), "a"));
        a->SaveToRecord(*store);
    }
    prompter.scriptOverwrite(OverwriteAnswer::NoToAll);
    const ImportResult result =
        import(record("", "a", "9") + record("", "b", "9") + record("", "c", "9") + "\"END\"\r\n");
    ASSERT_FALSE(result.failed) << result.message;
    EXPECT_EQ(prompter.overwriteQuestions().size(), 1u);
    EXPECT_EQ(result.replaced, 1);
    EXPECT_EQ(result.kept, 2);
    EXPECT_FLOAT_EQ(stored("", "a")->Thickness, 9);
    EXPECT_FLOAT_EQ(stored("", "b")->Thickness, 1);
    EXPECT_FLOAT_EQ(stored("", "c")->Thickness, 1);
}

// "AUTOYES" only stands in for the question: a to-all answer the user gave before the import
// (on the command line) outranks it, so a shipped catalogue cannot overwrite what the user
// chose to keep.
TEST_F(TextExchange, AutoYesAnswersTheQuestionButNotTheUsersOwnAnswer) {
    const struct {
        StandingAnswer standing;
        int replaced;
        int kept;
        float thickness;
    } cases[] = {
        {StandingAnswer::None, 1, 0, 7},
        {StandingAnswer::NoToAll, 0, 1, 1},
        {StandingAnswer::YesToAll, 1, 0, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.standing));
        ASSERT_TRUE(store->DeleteItem(RecordType::Material, store->RootId(), "a"));
        ASSERT_FALSE(import(record("", "a") + "\"END\"\r\n").failed);
        OverwriteAnswers answers;
        answers.standing = c.standing;
        const ImportResult result =
            ImportText(*store, ItemKind::Material,
                       write("auto.txt",
                             "\"AUTOYES\"\r\n\"RESET\"\r\n" + record("", "a", "7") + "\"END\"\r\n"),
                       answers, {});
        EXPECT_EQ(result.replaced, c.replaced);
        EXPECT_EQ(result.kept, c.kept);
        EXPECT_FLOAT_EQ(stored("", "a")->Thickness, c.thickness);
        EXPECT_TRUE(prompter.overwriteQuestions().empty());
    }
}

TEST_F(TextExchange, IncludeResolvesBesideTheIncludingFileAndRefusesItself) {
    std::filesystem::create_directories(dir.path() / "sub");
    write("sub/inner.txt", record("", "inner") + "\"END\"\r\n");
    write("sub/outer.txt", "\"INCLUDE\" \"inner.txt\"\r\n" + record("", "outer") + "\"END\"\r\n");
    OverwriteAnswers answers;
    const ImportResult result =
        ImportText(*store, ItemKind::Material, dir.file("sub/outer.txt"), answers, {});
    ASSERT_FALSE(result.failed) << result.message;
    EXPECT_EQ(result.added, 2);

    write("self.txt", "\"INCLUDE\" \"self.txt\"\r\n\"END\"\r\n");
    EXPECT_TRUE(ImportText(*store, ItemKind::Material, dir.file("self.txt"), answers, {}).failed);
    write("x.txt", "\"INCLUDE\" \"y.txt\"\r\n\"END\"\r\n");
    write("y.txt", "\"INCLUDE\" \"x.txt\"\r\n\"END\"\r\n");
    const ImportResult cycle =
        ImportText(*store, ItemKind::Material, dir.file("x.txt"), answers, {});
    EXPECT_TRUE(cycle.failed);
}

TEST_F(TextExchange, ExportWritesTreeOrderAndEndAndNothingWithoutItems) {
    const std::string empty = dir.file("none.txt");
    EXPECT_FALSE(ExportText(*store, ItemKind::Material, {}, empty).fileWritten);
    EXPECT_FALSE(std::filesystem::exists(empty));

    ASSERT_FALSE(
        import(record("G\\\\H", "q\\\"uote\\\\") + record("", "root item") + "\"END\"\r\n").failed);
    const std::string out = dir.file("out.TXT");
    const ExportResult result =
        ExportItems(*store, ItemKind::Material, ItemsInTreeOrder(*store, ItemKind::Material), out);
    EXPECT_EQ(result.written, 2);
    std::ifstream file(out, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(text.find("\"G\\\\H\"\r\n\"q\\\"uote\\\\\"\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 7), "\"END\"\r\n");
    EXPECT_LT(text.find("G\\\\H"), text.find("root item"));

    // The exported file reads back into a new table with the same values.
    ItemStore other(dir.directory(), "o.db", TableMode::Create, TableKind::Catalogue);
    OverwriteAnswers answers;
    const ImportResult back = ImportText(other, ItemKind::Material, out, answers, {});
    EXPECT_EQ(back.added, 2) << back.message;
}

// Damaged and old tables seen in the field: groups whose parents form a ring, items whose group
// record was deleted, a name stored by an older installation in Windows-1250, and a record of
// an unknown version. Every readable item goes out (with the part of its path that can be
// walked); the unreadable one is counted and named.
TEST_F(TextExchange, ExportsEveryStoredItemOrNamesIt) {
    ASSERT_FALSE(import(record("Ring\\\\A", "in ring 1") + record("Ring\\\\A\\\\B", "in ring 2") +
                        record("Gone", "orphan") + record("", "plain") + record("", "Caramida") +
                        record("Kept", "broken") + "\"END\"\r\n")
                     .failed);
    SqliteDatabase& db = store->database();
    db.exec("UPDATE Items SET RefID=(SELECT ID FROM Items WHERE Type=1 AND Name='B') "
            "WHERE Type=1 AND Name='Ring'");
    db.exec("DELETE FROM Items WHERE Type=1 AND Name='Gone'");
    // "Cărămidă" in Windows-1250: ă is 0xE3.
    db.exec("UPDATE Items SET Name=CAST(x'43E372E36D6964E3' AS TEXT) WHERE Name='Caramida'");
    ASSERT_TRUE(store->FindRecord(RecordType::Material,
                                  store->GroupOfPath(RecordType::MaterialGroup, "Kept", '\\'),
                                  "broken"));
    store->setCurrentData(std::string("\x63\x00\x01\x02", 4)); // version 99

    for (const char* file : {"out.txt", "out.xml"}) {
        SCOPED_TRACE(file);
        const ExportResult result =
            ExportItems(*store, ItemKind::Material, ItemsInTreeOrder(*store, ItemKind::Material),
                        dir.file(file));
        EXPECT_EQ(result.written, 5);
        EXPECT_EQ(result.unreadable, 1);
        ASSERT_EQ(result.leftOut.size(), 1u);
        EXPECT_NE(result.leftOut[0].find("Kept\\broken"), std::string::npos) << result.leftOut[0];
        EXPECT_NE(prompter.messages().back().find("Kept\\broken"), std::string::npos);

        ItemStore other(dir.directory(), std::string("back-") + file + ".db", TableMode::Create,
                        TableKind::Catalogue);
        OverwriteAnswers answers;
        const ImportResult back =
            ImportItems(other, ItemKind::Material, dir.file(file), answers, {});
        EXPECT_EQ(back.added, 5) << back.message;
        std::set<std::string> names;
        for (const Reference& ref : other.ListRecords(RecordType::Material))
            names.insert(ref.Name);
        EXPECT_EQ(names,
                  (std::set<std::string>{"Cărămidă", "in ring 1", "in ring 2", "orphan", "plain"}));
        // The ring is written as far as it can be walked.
        const std::string ring = other.GroupOfPath(RecordType::MaterialGroup, "B\\Ring\\A", '\\');
        EXPECT_TRUE(other.FindRecord(RecordType::Material, ring, "in ring 1"));
        EXPECT_TRUE(other.FindRecord(RecordType::Material, other.RootId(), "orphan"));
    }
    // The old name is found under its decoded form, so it can also be read, saved and deleted.
    auto old = stored("", "Cărămidă");
    ASSERT_TRUE(old);
    EXPECT_FLOAT_EQ(old->Density, 2);
    EXPECT_TRUE(store->DeleteItem(RecordType::Material, store->RootId(), "Cărămidă"));
    EXPECT_FALSE(store->FindRecord(RecordType::Material, store->RootId(), "Cărămidă"));
}

// A damaged record can hold a value that is no number; no exchange reader takes "NAN" or "INF"
// back, so the item is left out and named, and the file holds only numbers.
TEST_F(TextExchange, ExportsLeaveOutItemsWithValuesThatAreNoNumbers) {
    ASSERT_FALSE(import(record("G", "good") + record("G", "damaged") + "\"END\"\r\n").failed);
    {
        auto damaged = stored("G", "damaged");
        damaged->Density = std::numeric_limits<float>::infinity();
        damaged->Sorption[3] = std::numeric_limits<float>::quiet_NaN();
        damaged->Kind = 0;
        ASSERT_TRUE(store->FindRecord(RecordType::Material,
                                      store->GroupOfPath(RecordType::MaterialGroup, "G", '\\'),
                                      "damaged"));
        damaged->SaveToRecord(*store);
    }
    for (const char* file : {"out.txt", "out.xml"}) {
        SCOPED_TRACE(file);
        const ExportResult result =
            ExportItems(*store, ItemKind::Material, ItemsInTreeOrder(*store, ItemKind::Material),
                        dir.file(file));
        EXPECT_EQ(result.written, 1);
        EXPECT_EQ(result.nonFinite, 1);
        ASSERT_EQ(result.leftOut.size(), 1u);
        EXPECT_NE(result.leftOut[0].find("G\\damaged"), std::string::npos) << result.leftOut[0];
        std::ifstream in(dir.file(file), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(text.find("INF"), std::string::npos);
        EXPECT_EQ(text.find("NAN"), std::string::npos);
        EXPECT_NE(text.find("good"), std::string::npos);
        EXPECT_EQ(text.find("damaged"), std::string::npos);
    }
}

TEST(ExchangeFileName, XmlIsChosenByTheLastThreeLetters) {
    EXPECT_TRUE(isXmlFileName("a.Xml"));
    EXPECT_TRUE(isXmlFileName("/x/y.XML"));
    EXPECT_FALSE(isXmlFileName("/xml/a.txt"));
    EXPECT_FALSE(isXmlFileName("xm"));
}

} // namespace
} // namespace kalydor
