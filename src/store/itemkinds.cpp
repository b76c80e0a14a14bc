#include "store/itemkinds.h"

#include "store/dbitem.h"

#include "base/error.h"
#include "store/itemstore.h"
#include "store/reference.h"

#include <array>

namespace kalydor {
namespace {

std::array<ItemFactory, 5>& factories() {
    static std::array<ItemFactory, 5> registry;
    return registry;
}

std::size_t indexOf(ItemKind kind) {
    return static_cast<std::size_t>(kindNumber(kind));
}

} // namespace

std::int16_t itemTypeOfKind(ItemKind kind) {
    static constexpr std::int16_t kTypes[] = {0, RecordType::Material, RecordType::Panel,
                                              RecordType::Room, RecordType::Building};
    return isItemKind(kind) ? kTypes[indexOf(kind)] : std::int16_t{-1};
}

std::int16_t groupTypeOfKind(ItemKind kind) {
    return isItemKind(kind) ? static_cast<std::int16_t>(itemTypeOfKind(kind) - 1)
                            : std::int16_t{-1};
}

void registerItemKind(ItemKind kind, ItemFactory factory) {
    if (isItemKind(kind))
        factories()[indexOf(kind)] = std::move(factory);
}

std::unique_ptr<DBItem> CreateItemOfKind(ItemKind kind) {
    if (!isItemKind(kind) || !factories()[indexOf(kind)])
        return nullptr;
    return factories()[indexOf(kind)]();
}

std::unique_ptr<DBItem> LoadReferencedItem(ItemStore& store, ItemKind kind,
                                           const Reference& reference, bool& loaded) {
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
