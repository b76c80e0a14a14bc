#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kalydor::platform {

/// The per-user settings store (in place of the registry). It is rooted at the
/// application's own key (Software → Vendara → Kalydor-Ro S); keys below it are paths whose
/// levels are separated by "/" ("ProgramOptions", "Headers/2"). Values are typed text,
/// integer or boolean. Writing a value creates every missing level of its key.
///
/// A value read with another type than it was written is converted where that is exact
/// ("12" reads as the integer 12, 1 reads as true); otherwise the read finds nothing.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual bool keyExists(const std::string& key) const = 0;
    virtual bool valueExists(const std::string& key, const std::string& name) const = 0;
    /// Creates the key and its missing parents.
    virtual void createKey(const std::string& key) = 0;
    /// Deletes a key with its values and sub-keys.
    virtual void deleteKey(const std::string& key) = 0;
    virtual void deleteValue(const std::string& key, const std::string& name) = 0;
    /// Names of the direct sub-keys, and of the values, of a key.
    virtual std::vector<std::string> subKeys(const std::string& key) const = 0;
    virtual std::vector<std::string> valueNames(const std::string& key) const = 0;

    virtual std::optional<std::string> readText(const std::string& key,
                                                const std::string& name) const = 0;
    virtual std::optional<std::int64_t> readInteger(const std::string& key,
                                                    const std::string& name) const = 0;
    virtual std::optional<bool> readBool(const std::string& key, const std::string& name) const = 0;

    virtual void writeText(const std::string& key, const std::string& name,
                           const std::string& value) = 0;
    virtual void writeInteger(const std::string& key, const std::string& name,
                              std::int64_t value) = 0;
    virtual void writeBool(const std::string& key, const std::string& name, bool value) = 0;

    std::string textOr(const std::string& key, const std::string& name,
                       const std::string& fallback) const {
        return readText(key, name).value_or(fallback);
    }
    std::int64_t integerOr(const std::string& key, const std::string& name,
                           std::int64_t fallback) const {
        return readInteger(key, name).value_or(fallback);
    }
    bool boolOr(const std::string& key, const std::string& name, bool fallback) const {
        return readBool(key, name).value_or(fallback);
    }
};

/// Splits a key path at "/" and drops empty levels ("a//b/" is "a", "b").
std::vector<std::string> splitKeyPath(const std::string& key);

/// Conversions shared by the stores: exact text forms of integers and booleans.
std::optional<std::int64_t> integerFromText(const std::string& text);
std::optional<bool> boolFromText(const std::string& text);

} // namespace kalydor::platform
