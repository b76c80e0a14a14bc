#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace kalydor {

class DBItem;
class ItemStore;
struct Reference;

/// Record type codes of the item tables.
namespace RecordType {
inline constexpr std::int16_t Header = 0;
inline constexpr std::int16_t ProjectOptions = 1; ///< in a project table
inline constexpr std::int16_t MaterialGroup = 1;  ///< in the material table
inline constexpr std::int16_t Material = 2;
inline constexpr std::int16_t PanelGroup = 32;
inline constexpr std::int16_t Panel = 33;
inline constexpr std::int16_t RoomGroup = 34;
inline constexpr std::int16_t Room = 35;
inline constexpr std::int16_t BuildingGroup = 36;
inline constexpr std::int16_t Building = 37;
} // namespace RecordType

/// The kinds of items the program lists, edits and exchanges. The numbers are those of the
/// clipboard formats and of the string-table entries numbered by kind.
enum class ItemKind : std::int8_t { Material = 1, Construction = 2, Room = 3, Building = 4 };

/// Every kind, in number order.
inline constexpr ItemKind kItemKinds[] = {ItemKind::Material, ItemKind::Construction,
                                          ItemKind::Room, ItemKind::Building};

/// The number of a kind (1 to 4).
constexpr int kindNumber(ItemKind kind) {
    return static_cast<int>(kind);
}

/// Whether a kind is one of the four (a value cast from a number may not be).
constexpr bool isItemKind(ItemKind kind) {
    return kindNumber(kind) >= 1 && kindNumber(kind) <= 4;
}

/// The item record type of a kind (2, 33, 35, 37), or -1 for another kind; the group type is
/// one less.
std::int16_t itemTypeOfKind(ItemKind kind);
std::int16_t groupTypeOfKind(ItemKind kind);

using ItemFactory = std::function<std::unique_ptr<DBItem>()>;

/// The item subsystems register the class of their kind at start-up; the store creates
/// items through this registry without knowing their classes.
void registerItemKind(ItemKind kind, ItemFactory factory);

/// A new, default-constructed item of the kind's class, owned by the caller; nothing for a
/// kind whose class is not registered.
std::unique_ptr<DBItem> CreateItemOfKind(ItemKind kind);

/// The item a reference names, made of the kind's class and loaded from its record (which
/// becomes the store's current record): nothing when the record is gone or the kind has no
/// class. `loaded` tells whether its data could be read; an item that could not be read
/// must not be used for anything but its name.
std::unique_ptr<DBItem> LoadReferencedItem(ItemStore& store, ItemKind kind,
                                           const Reference& reference, bool& loaded);

} // namespace kalydor
