#include "platform/memorysettingsstore.h"

namespace kalydor::platform {

const MemorySettingsStore::Key* MemorySettingsStore::find(const std::string& key) const {
    const Key* node = &m_root;
    for (const std::string& level : splitKeyPath(key)) {
        const auto it = node->children.find(level);
        if (it == node->children.end())
            return nullptr;
        node = it->second.get();
    }
    return node;
}

MemorySettingsStore::Key& MemorySettingsStore::ensure(const std::string& key) {
    Key* node = &m_root;
    for (const std::string& level : splitKeyPath(key)) {
        auto& child = node->children[level];
        if (!child)
            child = std::make_unique<Key>();
        node = child.get();
    }
    return *node;
}

const MemorySettingsStore::Value* MemorySettingsStore::findValue(const std::string& key,
                                                                 const std::string& name) const {
    const Key* node = find(key);
    if (!node)
        return nullptr;
    const auto it = node->values.find(name);
    return it == node->values.end() ? nullptr : &it->second;
}

bool MemorySettingsStore::keyExists(const std::string& key) const {
    return find(key) != nullptr;
}

bool MemorySettingsStore::valueExists(const std::string& key, const std::string& name) const {
    return findValue(key, name) != nullptr;
}

void MemorySettingsStore::createKey(const std::string& key) {
    ensure(key);
}

void MemorySettingsStore::deleteKey(const std::string& key) {
    std::vector<std::string> levels = splitKeyPath(key);
    if (levels.empty()) {
        m_root = Key();
        return;
    }
    const std::string last = levels.back();
    levels.pop_back();
    Key* node = &m_root;
    for (const std::string& level : levels) {
        const auto it = node->children.find(level);
        if (it == node->children.end())
            return;
        node = it->second.get();
    }
    node->children.erase(last);
}

void MemorySettingsStore::deleteValue(const std::string& key, const std::string& name) {
    if (Key* node = find(key))
        node->values.erase(name);
}

std::vector<std::string> MemorySettingsStore::subKeys(const std::string& key) const {
    std::vector<std::string> names;
    if (const Key* node = find(key)) {
        for (const auto& [name, child] : node->children)
            names.push_back(name);
    }
    return names;
}

std::vector<std::string> MemorySettingsStore::valueNames(const std::string& key) const {
    std::vector<std::string> names;
    if (const Key* node = find(key)) {
        for (const auto& [name, value] : node->values)
            names.push_back(name);
    }
    return names;
}

std::optional<std::string> MemorySettingsStore::readText(const std::string& key,
                                                         const std::string& name) const {
    const Value* value = findValue(key, name);
    if (!value)
        return std::nullopt;
    if (const auto* text = std::get_if<std::string>(value))
        return *text;
    if (const auto* integer = std::get_if<std::int64_t>(value))
        return std::to_string(*integer);
    return std::get<bool>(*value) ? "true" : "false";
}

std::optional<std::int64_t> MemorySettingsStore::readInteger(const std::string& key,
                                                             const std::string& name) const {
    const Value* value = findValue(key, name);
    if (!value)
        return std::nullopt;
    if (const auto* integer = std::get_if<std::int64_t>(value))
        return *integer;
    if (const auto* text = std::get_if<std::string>(value))
        return integerFromText(*text);
    return std::get<bool>(*value) ? 1 : 0;
}

std::optional<bool> MemorySettingsStore::readBool(const std::string& key,
                                                  const std::string& name) const {
    const Value* value = findValue(key, name);
    if (!value)
        return std::nullopt;
    if (const auto* flag = std::get_if<bool>(value))
        return *flag;
    if (const auto* integer = std::get_if<std::int64_t>(value))
        return *integer != 0;
    return boolFromText(std::get<std::string>(*value));
}

void MemorySettingsStore::writeText(const std::string& key, const std::string& name,
                                    const std::string& value) {
    ensure(key).values[name] = value;
}

void MemorySettingsStore::writeInteger(const std::string& key, const std::string& name,
                                       std::int64_t value) {
    ensure(key).values[name] = value;
}

void MemorySettingsStore::writeBool(const std::string& key, const std::string& name, bool value) {
    ensure(key).values[name] = value;
}

} // namespace kalydor::platform
