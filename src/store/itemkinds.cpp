#include "store/itemkinds.h"

#include "store/dbitem.h"

#include "base/error.h"
#include "store/itemstore.h"
#include "store/reference.h"

#include <array>

namespace kalydor {
namespace {

std::array<ItemFactory, kLastItemKind + 1>& factories() {
    static std::array<ItemFactory, kLastItemKind + 1> registry;
    return registry;
}

bool validKind(int kind) {
    return kind >= kFirstItemKind && kind <= kLastItemKind;
}

} // namespace

std::int16_t itemTypeOfKind(int kind) {
    static constexpr std::int16_t kTypes[] = {0, RecordType::Material, RecordType::Panel,
                                              RecordType::Room, RecordType::Building};
    return validKind(kind) ? kTypes[kind] : std::int16_t{-1};
}

std::int16_t groupTypeOfKind(int kind) {
    return validKind(kind) ? static_cast<std::int16_t>(itemTypeOfKind(kind) - 1) : std::int16_t{-1};
}

void registerItemKind(int kind, ItemFactory factory) {
    if (validKind(kind))
        factories()[kind] = std::move(factory);
}

std::unique_ptr<DBItem> CreateItemOfKind(int kind) {
    if (!validKind(kind) || !factories()[kind])
        return nullptr;
    return factories()[kind]();
}

std::unique_ptr<DBItem> LoadReferencedItem(ItemStore& store, int kind, const Reference& reference,
                                           bool& loaded) {
    loaded = false;
    const std::int16_t type = itemTypeOfKind(kind);
    if (type < 0 || !store.FindRecord(type, reference.RefID, reference.Name))
        return nullptr;
    std::unique_ptr<DBItem> item = CreateItemOfKind(kind);
    if (!item)
        return nullptr;
    item->Name = reference.Name;
    item->ID = store.current().ID;
    item->GroupID = reference.RefID;
    try {
        loaded = store.LoadItem(*item);
    } catch (const Error&) {
        loaded = false;
    }
    return item;
}

} // namespace kalydor
