#pragma once

#include "platform/settingsstore.h"

#include <QSettings>

#include <memory>

namespace kalydor::gui {

/// The settings store on QSettings: the user's settings of organisation "Vendara",
/// application "Kalydor-Ro S", or an INI file given by name.
class QtSettingsStore final : public platform::SettingsStore {
public:
    QtSettingsStore();
    explicit QtSettingsStore(const QString& iniFile);

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

    /// Writes pending changes to permanent storage.
    void sync();

private:
    QVariant value(const std::string& key, const std::string& name) const;
    void setValue(const std::string& key, const std::string& name, const QVariant& value);

    std::unique_ptr<QSettings> m_settings;
};

} // namespace kalydor::gui
