// The room and building lists: rooms show their building's name, and a pasted room or
// building is linked by the names it carries, within one project and into another.

#include "shell/itemlist.h"

#include "platform/memoryclipboard.h"
#include "platform/memorysettingsstore.h"
#include "platform/scriptedprompter.h"
#include "rooms/building.h"
#include "rooms/buildingstable.h"
#include "rooms/room.h"
#include "rooms/roomcontext.h"
#include "rooms/roomeditor.h"
#include "store/itemkinds.h"
#include "store/itemstore.h"
#include "store/itemstream.h"
#include "store/storehooks.h"

#include "support/shippedlanguages.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace kalydor {
namespace {

const auto noDialog = [](const std::string&, const std::string&) -> std::optional<std::string> {
    ADD_FAILURE() << "no name dialog expected";
    return std::nullopt;
};

class RoomLists : public ::testing::Test {
protected:
    void SetUp() override {
        registerRoomItems({});
        first = open("first");
        second = open("second");
    }
    // The hooks the room kinds installed go with the test.
    void TearDown() override {
        storeHooks().mayDeleteItem = {};
        storeHooks().convertProject = {};
    }

    std::unique_ptr<ItemStore> open(const std::string& name) {
        return std::make_unique<ItemStore>(dir.path().string(), name, TableMode::Create,
                                           TableKind::Project);
    }

    static std::string addBuilding(ItemStore& project, const std::string& group,
                                   const std::string& name, const std::string& parent = {},
                                   const std::string& settlement = {}) {
        Building building;
        building.Name = name;
        building.ParentID = parent;
        building.SettlementName = settlement;
        return project.AddRecord(RecordType::Building, group, name, building.recordBytes());
    }

    static void addRoom(ItemStore& project, const std::string& group, const std::string& name,
                        const std::string& building) {
        Room room;
        room.Name = name;
        room.BuildingRef = building;
        room.FiltMode = 3;
        room.FiltPower = 100;
        room.AcCalculated = 0;
        room.HeatingPower = 9999; // a stale result from elsewhere
        project.AddRecord(RecordType::Room, group, name, room.recordBytes());
    }

    template <class Item>
    static Item load(ItemStore& project, std::int16_t type, const std::string& group,
                     const std::string& name) {
        Item item;
        EXPECT_TRUE(project.FindRecord(type, group, name));
        MemoryStream in(project.currentData());
        const std::int16_t version = readInt16(in);
        EXPECT_TRUE(item.ReadRecord(in, version));
        return item;
    }

    test::TempDir dir;
    platform::MemorySettingsStore settings;
    platform::ScriptedPrompter prompter;
    platform::ScopedPrompter scoped{prompter};
    platform::MemoryClipboard clipboard;
    std::unique_ptr<ItemStore> first, second;
};

TEST_F(RoomLists, RoomsCarryTheirBuildingIntoAnotherProject) {
    Languages& languages = test::shippedLanguages();
    const std::string bloc = addBuilding(*first, first->RootId(), "Bloc A", {}, "Cluj-Napoca");
    const std::string rooms = first->GroupOfPath(RecordType::RoomGroup, "Etaj", '\\');
    addRoom(*first, rooms, "Birou", bloc);
    ItemListLogic list(ItemKind::Room, *first, languages, settings);
    list.selectGroup({"Rooms", "Etaj"}, rooms);
    ASSERT_EQ(list.rows().size(), 1u);
    ASSERT_TRUE(list.copyToClipboard("Birou", clipboard, ClipboardCopy::RecordOnly, false));

    // Into a project without that building: it is made from the room's copy of its data.
    const std::string target = second->GroupOfPath(RecordType::RoomGroup, "Parter", '\\');
    ItemListLogic other(ItemKind::Room, *second, languages, settings);
    other.roomSettings = [] { return std::optional<RoomSettings>(RoomSettings{-15, {}}); };
    other.selectGroup({"Rooms", "Parter"}, target);
    EXPECT_EQ(other.paste(clipboard, noDialog), "Birou");
    const BuildingsTable table = BuildingsTable::load(*second);
    ASSERT_EQ(table.rows().size(), 1u);
    EXPECT_EQ(table.rows()[0].Name, "Bloc A");
    const Room pasted = load<Room>(*second, RecordType::Room, target, "Birou");
    EXPECT_EQ(pasted.BuildingRef, table.rows()[0].ID);
    EXPECT_EQ(pasted.HeatingPower, 100.0f); // recalculated here, not the stale 9999
    const Building made = load<Building>(*second, RecordType::Building, second->RootId(), "Bloc A");
    EXPECT_EQ(made.HeatingLoss, 100.0f); // the buildings were totalled again
}

TEST_F(RoomLists, DeletingOrCuttingKeepsTheTotalsAndRefusesABuildingWithRooms) {
    Languages& languages = test::shippedLanguages();
    const std::string bloc = addBuilding(*first, first->RootId(), "Bloc A");
    const std::string rooms = first->GroupOfPath(RecordType::RoomGroup, "Etaj", '\\');
    addRoom(*first, rooms, "Birou", bloc);
    addRoom(*first, rooms, "Hol", bloc);
    ItemListLogic roomList(ItemKind::Room, *first, languages, settings);
    roomList.selectGroup({"Rooms", "Etaj"}, rooms);
    // The stored rooms carry a stale 9999 W each; a delete totals the building anew.
    prompter.scriptYesNo(true);
    ASSERT_TRUE(roomList.deleteItem("Hol"));
    EXPECT_EQ(load<Building>(*first, RecordType::Building, first->RootId(), "Bloc A").HeatingLoss,
              9999.0f);

    // A building that still has a room is not cut: the copy is made and the user told why.
    ItemListLogic buildingList(ItemKind::Building, *first, languages, settings);
    buildingList.selectGroup({"Buildings"}, first->RootId());
    ASSERT_TRUE(buildingList.copyToClipboard("Bloc A", clipboard, ClipboardCopy::RecordOnly, true));
    EXPECT_TRUE(first->FindRecord(RecordType::Building, first->RootId(), "Bloc A"));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0], languages.GetText("IDS_BUILDINGHASROOMREF"));

    // Cutting the last room leaves the building with nothing to total.
    ASSERT_TRUE(roomList.copyToClipboard("Birou", clipboard, ClipboardCopy::RecordOnly, true));
    EXPECT_EQ(load<Building>(*first, RecordType::Building, first->RootId(), "Bloc A").HeatingLoss,
              0.0f);
}

// A room edited from its list: the room dialog works on a copy through the context's dialogs,
// a new function is remembered, the room is stored and its building totalled with it.
TEST_F(RoomLists, EditedRoomsAreStoredWithTheirBuildingsTotals) {
    class ScriptedDialogs final : public RoomDialogs {
    public:
        std::vector<std::string> roomFunctions() const override { return {"Atelier"}; }
        void rememberRoomFunction(const std::string& function) override {
            remembered.push_back(function);
        }
        bool checksNeighbourTemperatures() const override { return true; }
        bool editRoom(RoomEditor& editor, ItemStore&, platform::Window*) override {
            functions = editor.functions();
            editor.setFunction("Sauna");
            editor.type(RoomField::FiltPower, "250");
            return !editor.accept().has_value() && confirm;
        }
        std::vector<std::string> remembered;
        std::vector<std::string> functions;
        bool confirm = true;
    } dialogs;
    Languages& languages = test::shippedLanguages();
    const std::string bloc = addBuilding(*first, first->RootId(), "Bloc A");
    const std::string rooms = first->GroupOfPath(RecordType::RoomGroup, "Etaj", '\\');
    addRoom(*first, rooms, "Birou", bloc);
    RoomContext context;
    context.roomDialogs = &dialogs;
    context.project = [this] { return first.get(); };
    context.settings = [] { return std::optional<RoomSettings>(RoomSettings{-15, {}}); };
    ItemListLogic list(ItemKind::Room, *first, languages, settings);
    list.setItemContext(context);
    list.selectGroup({"Rooms", "Etaj"}, rooms);

    dialogs.confirm = false;
    EXPECT_FALSE(list.editItem("Birou", nullptr));
    EXPECT_EQ(load<Room>(*first, RecordType::Room, rooms, "Birou").HeatingPower, 9999.0f);
    dialogs.confirm = true;
    ASSERT_TRUE(list.editItem("Birou", nullptr));
    EXPECT_NE(std::find(dialogs.functions.begin(), dialogs.functions.end(), "Atelier"),
              dialogs.functions.end());
    EXPECT_EQ(dialogs.remembered, std::vector<std::string>{"Sauna"});
    const Room stored = load<Room>(*first, RecordType::Room, rooms, "Birou");
    EXPECT_EQ(stored.Function, "Sauna");
    EXPECT_EQ(stored.HeatingPower, 250.0f); // known ventilation heat, no boundaries
    EXPECT_EQ(load<Building>(*first, RecordType::Building, first->RootId(), "Bloc A").HeatingLoss,
              250.0f);
}

TEST_F(RoomLists, WithinOneProjectTheLinkStaysOnTheSameNamedBuilding) {
    Languages& languages = test::shippedLanguages();
    const std::string north = first->GroupOfPath(RecordType::BuildingGroup, "Nord", '\\');
    const std::string south = first->GroupOfPath(RecordType::BuildingGroup, "Sud", '\\');
    addBuilding(*first, north, "Bloc");
    const std::string southBloc = addBuilding(*first, south, "Bloc");
    const std::string rooms = first->GroupOfPath(RecordType::RoomGroup, "Etaj", '\\');
    addRoom(*first, rooms, "Birou", southBloc);
    ItemListLogic list(ItemKind::Room, *first, languages, settings);
    list.selectGroup({"Rooms", "Etaj"}, rooms);
    ASSERT_TRUE(list.copyToClipboard("Birou", clipboard, ClipboardCopy::RecordOnly, false));
    const std::string other = first->GroupOfPath(RecordType::RoomGroup, "Etaj 2", '\\');
    list.selectGroup({"Rooms", "Etaj 2"}, other);
    EXPECT_EQ(list.paste(clipboard, noDialog), "Birou");
    EXPECT_EQ(load<Room>(*first, RecordType::Room, other, "Birou").BuildingRef, southBloc);
    EXPECT_EQ(BuildingsTable::load(*first).rows().size(), 2u);
}

TEST_F(RoomLists, PastedBuildingsFindTheirParentByName) {
    Languages& languages = test::shippedLanguages();
    const std::string parent = addBuilding(*first, first->RootId(), "Ansamblu");
    addBuilding(*first, first->RootId(), "Bloc", parent);
    ItemListLogic list(ItemKind::Building, *first, languages, settings);
    list.selectGroup({"Buildings"}, first->RootId());
    ASSERT_TRUE(list.copyToClipboard("Bloc", clipboard, ClipboardCopy::RecordOnly, false));

    ItemListLogic bare(ItemKind::Building, *second, languages, settings);
    bare.selectGroup({"Buildings"}, second->RootId());
    EXPECT_EQ(bare.paste(clipboard, noDialog), "Bloc");
    EXPECT_TRUE(
        load<Building>(*second, RecordType::Building, second->RootId(), "Bloc").ParentID.empty());

    ASSERT_TRUE(second->DeleteItem(RecordType::Building, second->RootId(), "Bloc"));
    const std::string there = addBuilding(*second, second->RootId(), "Ansamblu");
    EXPECT_EQ(bare.paste(clipboard, noDialog), "Bloc");
    EXPECT_EQ(load<Building>(*second, RecordType::Building, second->RootId(), "Bloc").ParentID,
              there);
}

TEST_F(RoomLists, RoomRowsShowTheirBuildingsName) {
    Languages& languages = test::shippedLanguages();
    languages.SelectInterfaceLanguage("English");
    const std::string bloc = addBuilding(*first, first->RootId(), "Bloc A");
    const std::string rooms = first->GroupOfPath(RecordType::RoomGroup, "Etaj", '\\');
    addRoom(*first, rooms, "Birou", bloc);
    addRoom(*first, rooms, "Hol", "19000101000000999");
    ItemListLogic list(ItemKind::Room, *first, languages, settings);
    for (ColumnFormat& format : list.columns().Columns)
        if (format.ID == 15)
            format.Visible = true; // the user shows the building column
    list.selectGroup({"Rooms", "Etaj"}, rooms);
    const std::vector<int> ids = list.columns().visibleColumnIds();
    const auto column = std::find(ids.begin(), ids.end(), 15);
    ASSERT_NE(column, ids.end()) << "the building column is shown";
    const auto at = static_cast<std::size_t>(column - ids.begin());
    const auto text = [&](std::size_t row) {
        const ListRow& r = list.rows()[row].texts;
        return at == 0 ? r.caption : r.subItems.at(at - 1);
    };
    EXPECT_EQ(text(0), "Bloc A");
    EXPECT_EQ(text(1), ""); // a building that is gone shows no name
}

} // namespace
} // namespace kalydor
