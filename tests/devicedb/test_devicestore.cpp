#include "devicedb/devicestore.h"
#include "devicedb/radiatorfamilycache.h"

#include "base/error.h"
#include "base/memorystream.h"
#include "platform/memorysettingsstore.h"
#include "store/itemstore.h"
#include "store/sqlitedatabase.h"

#include "devicedb/devicetestfiles.h"
#include "devicedb/samplefamily.h"
#include "support/tempdir.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace kalydor {
namespace {

namespace fs = std::filesystem;
using test::errorKey;
using test::fileBytes;
using test::hasSideFiles;
using test::writeBytes;

std::string binaryOf(const DeviceItem& item) {
    MemoryStream stream;
    item.WriteBinary(stream);
    return stream.bytes();
}

void expectSameItem(const DeviceItem& read, const DeviceItem& written) {
    EXPECT_EQ(read.kind(), written.kind());
    EXPECT_EQ(read.Name, written.Name);
    EXPECT_EQ(read.Date, written.Date);
    EXPECT_EQ(binaryOf(read), binaryOf(written));
}

std::int64_t storedDateColumn(DeviceStore& store, std::int16_t type, const std::string& name,
                              bool& isNull) {
    SqliteStatement row(store.database().handle(),
                        "SELECT Date FROM Devices WHERE Type=?1 AND \"Group\"=?2");
    row.bind(1, std::int64_t{type}).bind(2, name);
    EXPECT_TRUE(row.step());
    isNull = row.isNull(0);
    return row.integer(0);
}

// A device table of 200 records with a data block of 100 bytes each: several pages.
std::string makeTable(const test::TempDir& dir, const std::string& name = "Kalydor32.db") {
    const std::string path = dir.file(name);
    auto store = DeviceStore::create(path);
    SqliteTransaction bulk(store->database());
    for (int i = 0; i < 200; ++i)
        store->put(0, "Familie " + std::to_string(i), {2026, 1, 1}, std::string(100, 'd'));
    bulk.commit();
    return path;
}

TEST(DeviceStore, ItemsComeBackAsTheyWereStored) {
    test::TempDir dir;
    const std::string path = dir.file("Kalydor32.db");
    RadiatorFamily family = test::sampleFamily();
    PieceList pieces = test::samplePieceList();
    PieceList undated = pieces;
    undated.Name = "Fără dată";
    undated.Date = {};
    {
        auto store = DeviceStore::create(path);
        storeDeviceItem(*store, family);
        storeDeviceItem(*store, pieces);
        storeDeviceItem(*store, undated);
    }
    auto store = DeviceStore::open(path);
    EXPECT_EQ(store->path(), path);
    for (const DeviceItem* written :
         std::initializer_list<const DeviceItem*>{&family, &pieces, &undated}) {
        SCOPED_TRACE(written->Name);
        const std::unique_ptr<DeviceItem> read =
            loadDeviceItem(*store, written->kind(), written->Name);
        ASSERT_NE(read, nullptr);
        expectSameItem(*read, *written);
    }
    // The date is the Julian day number, NULL when there is none.
    bool isNull = true;
    EXPECT_EQ(storedDateColumn(*store, 0, family.Name, isNull), *family.Date.julianDay());
    EXPECT_FALSE(isNull);
    storedDateColumn(*store, 1, undated.Name, isNull);
    EXPECT_TRUE(isNull);
    // Each kind has its own names: the family is no piece list.
    EXPECT_EQ(loadDeviceItem(*store, DeviceKind::PieceList, family.Name), nullptr);
    EXPECT_EQ(loadDeviceItem(*store, DeviceKind::RadiatorFamily, "Necunoscut"), nullptr);

    // Storing again replaces the record, data and date together.
    family.Date = {2026, 4, 1};
    family.Sizes[0].Power = 650.0f;
    storeDeviceItem(*store, family);
    expectSameItem(*loadDeviceItem(*store, DeviceKind::RadiatorFamily, family.Name), family);
    EXPECT_EQ(store->records(0).size(), 1u);
}

TEST(DeviceStore, RecordsAreListedByKindInNameOrder) {
    test::TempDir dir;
    auto store = DeviceStore::create(dir.file("t.db"));
    for (const char* name : {"b", "Ă", "a", "C"})
        store->put(0, name, {2026, 1, 2}, std::string("data ") + name);
    store->put(1, "other kind", {}, "x");
    store->put(hierarchyRecordType(DeviceKind::RadiatorFamily), "Hierarchy", {1901, 1, 1}, "h");

    const std::vector<DeviceRecord> without = store->records(0);
    const std::vector<DeviceRecord> with = store->records(0, RecordData::With);
    ASSERT_EQ(without.size(), 4u);
    ASSERT_EQ(with.size(), 4u);
    const char* order[] = {"a", "Ă", "b", "C"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(without[i].Name, order[i]);
        EXPECT_EQ(without[i].Type, 0);
        EXPECT_EQ(without[i].Date, (DeviceDate{2026, 1, 2}));
        EXPECT_TRUE(without[i].Data.empty());
        EXPECT_EQ(with[i].Data, std::string("data ") + order[i]);
    }
    EXPECT_EQ(store->find(16384, "Hierarchy"),
              (DeviceRecord{16384, "Hierarchy", {1901, 1, 1}, "h"}));

    EXPECT_TRUE(store->deleteRecord(0, "b"));
    EXPECT_FALSE(store->deleteRecord(0, "b"));
    EXPECT_FALSE(store->find(0, "b"));
    EXPECT_EQ(store->records(0).size(), 3u);
    store->deleteAll();
    EXPECT_TRUE(store->records(0).empty());
    EXPECT_TRUE(store->records(1).empty());
    EXPECT_FALSE(store->find(16384, "Hierarchy"));
}

TEST(DeviceStore, BadRecordsAreRefusedAndTheTableKeepsItsRecord) {
    test::TempDir dir;
    auto store = DeviceStore::create(dir.file("t.db"));
    store->put(0, "Panou", {2026, 1, 2}, "old");
    struct Case {
        const char* what;
        std::string name;
        DeviceDate date;
    };
    const Case cases[] = {
        {"empty name", "", {}},
        {"name of 65 characters", std::string(64, 'a') + "ă", {}},
        {"impossible date", "Panou", {2026, 2, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(errorKey([&] { store->put(0, c.name, c.date, "new"); }), "IDS_RADIATORDATAERROR");
        EXPECT_EQ(store->find(0, "Panou"), (DeviceRecord{0, "Panou", {2026, 1, 2}, "old"}));
        EXPECT_EQ(store->records(0).size(), 1u);
    }
    // A name of exactly 64 characters (not bytes) is a key.
    const std::string longest = std::string(63, 'a') + "ă";
    store->put(0, longest, {}, "x");
    EXPECT_TRUE(store->find(0, longest));

    // An item that cannot be written leaves no record behind.
    RadiatorFamily broken = test::sampleFamily();
    broken.MainTypes[0].SizeCount = 99;
    EXPECT_EQ(errorKey([&] { storeDeviceItem(*store, broken); }), "IDS_RADIATORDATAERROR");
    EXPECT_FALSE(store->find(0, broken.Name));
}

// An item is returned whole or not at all: a record without data or with damaged data raises.
TEST(DeviceStore, UnreadableItemRecordsRaise) {
    test::TempDir dir;
    auto store = DeviceStore::create(dir.file("t.db"));
    const std::string packed = test::sampleFamily().packed();
    struct Case {
        const char* what;
        std::string data;
        const char* key;
    };
    const Case cases[] = {
        {"no data", "", "IDS_DATAREADERROR"},
        {"data cut short", packed.substr(0, packed.size() / 2), ""},
        {"not compressed data", "\x01\x02\x03 plain", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store->put(0, "F", {}, c.data);
        std::unique_ptr<DeviceItem> item;
        const std::string key =
            errorKey([&] { item = loadDeviceItem(*store, DeviceKind::RadiatorFamily, "F"); });
        EXPECT_FALSE(key.empty());
        if (*c.key) {
            EXPECT_EQ(key, c.key);
        }
        EXPECT_EQ(item, nullptr);
    }
}

// A file that is not a device table is refused naming it, and stays byte for byte as it was.
TEST(DeviceStore, ForeignAndDamagedFilesAreRefusedAndLeftAsTheyWere) {
    test::TempDir dir;
    struct Case {
        const char* what;
        std::function<std::string()> make;
        const char* key;
    };
    const Case cases[] = {
        {"text file",
         [&] {
             writeBytes(dir.file("text.db"), "Kalydor32 radiators\r\n");
             return dir.file("text.db");
         },
         "IDS_DEVICEDBFOREIGN"},
        {"empty file",
         [&] {
             writeBytes(dir.file("empty.db"), "");
             return dir.file("empty.db");
         },
         "IDS_DEVICEDBFOREIGN"},
        {"item table",
         [&] {
             ItemStore(dir.directory(), "material.db", TableMode::Create, TableKind::Catalogue);
             return dir.file("material.db");
         },
         "IDS_DEVICEDBFOREIGN"},
        {"same columns, no application id",
         [&] {
             SqliteDatabase db(dir.file("plain.db"), SqliteOpen::CreateFile);
             db.exec("CREATE TABLE Devices (Type INTEGER, \"Group\" TEXT, Date INTEGER, "
                     "Data BLOB)");
             return dir.file("plain.db");
         },
         "IDS_DEVICEDBFOREIGN"},
        {"device id, no device table",
         [&] {
             const std::string path = makeTable(dir, "renamed.db");
             SqliteDatabase db(path, SqliteOpen::ExistingFile);
             db.exec("ALTER TABLE Devices RENAME TO Other");
             return path;
         },
         "IDS_DEVICEDBFOREIGN"},
        {"damaged pages",
         [&] {
             const std::string path = makeTable(dir, "damaged.db");
             std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
             file.seekp(3 * 4096 + 100);
             file << std::string(2000, 'Z');
             return path;
         },
         "IDS_TABLEDAMAGED"},
        {"folder",
         [&] {
             fs::create_directory(dir.file("folder.db"));
             return dir.file("folder.db");
         },
         "IDS_DEVICEDBFOREIGN"},
    };
    const auto contents = [](const std::string& path) {
        return fs::is_directory(path) ? std::string("<folder>") : fileBytes(path);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = c.make();
        const std::string before = contents(path);
        try {
            DeviceStore::open(path);
            ADD_FAILURE() << "opened";
        } catch (const Error& error) {
            EXPECT_EQ(error.key(), c.key);
            ASSERT_FALSE(error.args().empty());
            EXPECT_EQ(std::get<std::string>(error.args()[0]), path);
        }
        EXPECT_EQ(contents(path), before);
        EXPECT_FALSE(hasSideFiles(path));
    }
    EXPECT_EQ(errorKey([&] { DeviceStore::open(dir.file("missing.db")); }), "IDS_TABLENOTFOUND");
    EXPECT_FALSE(fs::exists(dir.file("missing.db")));
}

TEST(DeviceStore, CreateReplacesAFileOnlyWhenNobodyHasItOpen) {
    test::TempDir dir;
    const std::string path = makeTable(dir);
    {
        auto open = DeviceStore::open(path);
        // Not even this program's own open table is replaced under it.
        EXPECT_EQ(errorKey([&] { DeviceStore::create(path); }), "IDS_TABLELOCKED");
        EXPECT_EQ(open->records(0).size(), 200u);
    }
    auto replaced = DeviceStore::create(path);
    EXPECT_TRUE(replaced->records(0).empty());
    replaced.reset();
    EXPECT_FALSE(hasSideFiles(path));

    // A foreign file is replaced by a table; a folder is never replaced.
    writeBytes(dir.file("notes.db"), "notes");
    EXPECT_TRUE(DeviceStore::create(dir.file("notes.db"))->records(0).empty());
    fs::create_directory(dir.file("folder.db"));
    EXPECT_EQ(errorKey([&] { DeviceStore::create(dir.file("folder.db")); }), "IDS_FILENOTREGULAR");
    EXPECT_TRUE(fs::is_directory(dir.file("folder.db")));

    // The log a crashed program left beside the old table is not read with the new one.
    const std::string crashed = makeTable(dir, "crashed.db");
    std::string leftover;
    {
        auto store = DeviceStore::open(crashed);
        store->put(0, "after the crash", {}, "x");
        leftover = fileBytes(crashed + "-wal");
    }
    ASSERT_FALSE(leftover.empty());
    writeBytes(crashed + "-wal", leftover);
    auto fresh = DeviceStore::create(crashed);
    EXPECT_TRUE(fresh->records(0).empty());
    EXPECT_FALSE(fresh->find(0, "after the crash"));
}

// When the new table cannot be written, the old one stays.
TEST(DeviceStore, CreateThatFailsLeavesTheOldTable) {
    test::TempDir dir;
    const std::string path = makeTable(dir);
    const std::string before = fileBytes(path);
    ::chmod(dir.path().c_str(), 0555);
    {
        test::ActingAsNobody nobody;
        ASSERT_TRUE(nobody.ok());
        EXPECT_EQ(errorKey([&] { DeviceStore::create(path); }), "IDS_FILEWRITEERROR");
    }
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(DeviceStore::open(path)->records(0).size(), 200u);
}

TEST(DeviceStore, ATableThatCannotBeChangedIsOpenedForReading) {
    test::TempDir dir;
    const std::string path = makeTable(dir);
    const std::string before = fileBytes(path);
    ::chmod(path.c_str(), 0444);
    {
        test::ActingAsNobody nobody;
        ASSERT_TRUE(nobody.ok());
        auto store = DeviceStore::open(path);
        EXPECT_TRUE(store->readOnly());
        EXPECT_EQ(store->records(0).size(), 200u);
        EXPECT_EQ(errorKey([&] { store->put(0, "Nou", {}, "x"); }), "IDS_TABLEREADONLY");
        EXPECT_EQ(errorKey([&] { store->deleteRecord(0, "Familie 1"); }), "IDS_TABLEREADONLY");
        EXPECT_EQ(errorKey([&] { store->deleteAll(); }), "IDS_TABLEREADONLY");
    }
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_FALSE(hasSideFiles(path));
}

TEST(DeviceTableChoice, OnlyATableThatOpensIsKeptInTheSettings) {
    test::TempDir dir;
    const std::string table = makeTable(dir, "Other.db");
    writeBytes(dir.file("notes.txt"), "notes");
    platform::MemorySettingsStore settings;
    const std::string shipped = dir.file("Kalydor32.db");
    EXPECT_EQ(deviceTablePath(settings, shipped), shipped);
    settings.writeText("DeviceDatabase", "FileName", "");
    EXPECT_EQ(deviceTablePath(settings, shipped), shipped);

    EXPECT_NE(chooseDeviceTable(settings, table), nullptr);
    EXPECT_EQ(settings.readText("DeviceDatabase", "FileName"), table);
    EXPECT_EQ(deviceTablePath(settings, shipped), table);

    for (const std::string& bad : {dir.file("notes.txt"), dir.file("missing.db")}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(errorKey([&] { chooseDeviceTable(settings, bad); }).empty());
        EXPECT_EQ(settings.readText("DeviceDatabase", "FileName"), table);
        EXPECT_EQ(fileBytes(dir.file("notes.txt")), "notes");
    }
}

TEST(RadiatorFamilyCache, ReadsAFamilyOnceAndKeepsNoMisses) {
    test::TempDir dir;
    auto store = DeviceStore::create(dir.file("t.db"));
    const RadiatorFamily family = test::sampleFamily();
    storeDeviceItem(*store, family);
    store->put(0, "Deteriorat", {}, "not a family");
    storeDeviceItem(*store, test::samplePieceList());

    RadiatorFamilyCache cache;
    const RadiatorFamily* first = cache.get(*store, family.Name);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Sizes, family.Sizes);
    EXPECT_EQ(first->Date, family.Date);
    EXPECT_EQ(cache.get(*store, family.Name), first);
    // A missing family, a damaged record and a piece list's name are no families.
    for (const std::string& name :
         {std::string("Necunoscut"), std::string("Deteriorat"), test::samplePieceList().Name}) {
        EXPECT_EQ(cache.get(*store, name), nullptr) << name;
    }
    EXPECT_EQ(cache.size(), 1u);

    // Until cleared, the cache answers with the family as it was read.
    RadiatorFamily changed = family;
    changed.Sizes[0].Power = 1.0f;
    storeDeviceItem(*store, changed);
    EXPECT_EQ(cache.get(*store, family.Name)->Sizes[0].Power, family.Sizes[0].Power);
    cache.clear();
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_EQ(cache.get(*store, family.Name)->Sizes[0].Power, 1.0f);
}

} // namespace
} // namespace kalydor
