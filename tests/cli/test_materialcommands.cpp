#include "cli/clirun.h"
#include "support/tempdir.h"

#include "base/memorystream.h"
#include "constructions/material.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

void storeMaterial(ItemStore& table, const std::string& group, Material& material) {
    const std::string groupId = table.GroupOfPath(RecordType::MaterialGroup, group, '\\');
    table.AddRecord(RecordType::Material, groupId, material.Name);
    MemoryStream record;
    material.WriteRecord(record, VersionWord::With);
    table.setCurrentData(record.bytes());
}

TEST(MaterialCommands, ListsEveryFieldAndReportsAnUnreadableRecord) {
    test::TempDir dir;
    {
        ItemStore table(dir.path().string(), "material", TableMode::Create, TableKind::Catalogue);
        Material brick;
        brick.Name = "Cărămidă plină";
        brick.Kind = 0;
        brick.Thickness = 25;
        brick.Density = 1800;
        brick.ThermalCond = 0.8f;
        brick.Sorption[9] = 3.1f;
        storeMaterial(table, "Zidărie\\Cărămizi", brick);
        Material air;
        air.Name = "Strat de aer";
        air.Kind = 2;
        air.Diagram[0] = {1, 0.1f};
        air.Ventilled = true;
        storeMaterial(table, "", air);
    }
    const test::CliRun run = test::cli({"material", "list", dir.file("material.db")});
    ASSERT_EQ(run.status, 0);
    const std::vector<nlohmann::json> rows = test::jsonLines(run.out);
    ASSERT_EQ(rows.size(), 2u);
    const nlohmann::json& brick = rows[0]["Name"] == "Cărămidă plină" ? rows[0] : rows[1];
    const nlohmann::json& air = rows[0]["Name"] == "Cărămidă plină" ? rows[1] : rows[0];
    EXPECT_EQ(brick["KindName"], "Normal");
    EXPECT_EQ(brick["Group"], "Zidărie\\Cărămizi\\");
    EXPECT_EQ(brick["ThermalCond"], 0.8); // the float shown by its shortest decimal
    EXPECT_EQ(brick["Sorption"][9], 3.1);
    EXPECT_EQ(air["KindName"], "Air");
    EXPECT_EQ(air["Diagram"][0][1], 0.1);
    EXPECT_EQ(air["Ventilled"], true);

    // A record of an unknown version is reported; the others are still listed.
    {
        ItemStore table(dir.path().string(), "material", TableMode::Open, TableKind::Catalogue);
        ASSERT_TRUE(table.FindRecord(RecordType::Material, table.RootId(), "Strat de aer"));
        table.setCurrentData(std::string("\x63\x00\x02\x00", 4));
    }
    const test::CliRun damaged = test::cli({"material", "list", dir.file("material.db")});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_EQ(test::jsonLines(damaged.out).size(), 1u);
    EXPECT_EQ(test::cli({"material", "list"}).status, 2);
}

} // namespace
} // namespace kalydor
