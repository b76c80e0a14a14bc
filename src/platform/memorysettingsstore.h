#pragma once

#include "platform/settingsstore.h"

#include <map>
#include <memory>
#include <variant>

namespace kalydor::platform {

/// A settings store held in memory: used by the tests and by command-line runs that must
/// not touch the user's settings.
class MemorySettingsStore final : public SettingsStore {
public:
    bool keyExists(const std::string& key) const override;
    bool valueExists(const std::string& key, const std::string& name) const override;
    void createKey(const std::string& key) override;
    void deleteKey(const std::string& key) override;
    void deleteValue(const std::string& key, const std::string& name) override;
    std::vector<std::string> subKeys(const std::string& key) const override;
    std::vector<std::string> valueNames(const std::string& key) const override;

    std::optional<std::string> readText(const std::string& key,
                                        const std::string& name) const override;
    std::optional<std::int64_t> readInteger(const std::string& key,
                                            const std::string& name) const override;
    std::optional<bool> readBool(const std::string& key, const std::string& name) const override;

    void writeText(const std::string& key, const std::string& name,
                   const std::string& value) override;
    void writeInteger(const std::string& key, const std::string& name, std::int64_t value) override;
    void writeBool(const std::string& key, const std::string& name, bool value) override;

private:
    using Value = std::variant<std::string, std::int64_t, bool>;
    struct Key {
        std::map<std::string, Value> values;
        std::map<std::string, std::unique_ptr<Key>> children;
    };

    const Key* find(const std::string& key) const;
    Key* find(const std::string& key) {
        return const_cast<Key*>(static_cast<const MemorySettingsStore*>(this)->find(key));
    }
    Key& ensure(const std::string& key);
    const Value* findValue(const std::string& key, const std::string& name) const;

    Key m_root;
};

} // namespace kalydor::platform
