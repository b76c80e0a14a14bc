#include "gui/qtsettingsstore.h"

namespace kalydor::gui {
namespace {

// QSettings keeps no empty groups, but a registry key may exist without values: a created
// key holds this marker value, which is never listed.
const QString kKeyMarker = QStringLiteral(".key");

QString groupOf(const std::string& key) {
    QStringList levels;
    for (const std::string& level : platform::splitKeyPath(key))
        levels << QString::fromStdString(level);
    return levels.join(QLatin1Char('/'));
}

QString fullName(const std::string& key, const std::string& name) {
    const QString group = groupOf(key);
    const QString value = QString::fromStdString(name);
    return group.isEmpty() ? value : group + QLatin1Char('/') + value;
}

} // namespace

QtSettingsStore::QtSettingsStore()
    : m_settings(
          std::make_unique<QSettings>(QStringLiteral("Vendara"), QStringLiteral("Kalydor-Ro S"))) {}

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

QVariant QtSettingsStore::value(const std::string& key, const std::string& name) const {
    return m_settings->value(fullName(key, name));
}

void QtSettingsStore::setValue(const std::string& key, const std::string& name,
                               const QVariant& value) {
    m_settings->setValue(fullName(key, name), value);
}

bool QtSettingsStore::keyExists(const std::string& key) const {
    const QString group = groupOf(key);
    if (group.isEmpty())
        return true;
    m_settings->beginGroup(group);
    const bool exists = !m_settings->childKeys().isEmpty() || !m_settings->childGroups().isEmpty();
    m_settings->endGroup();
    return exists;
}

bool QtSettingsStore::valueExists(const std::string& key, const std::string& name) const {
    return m_settings->contains(fullName(key, name));
}

void QtSettingsStore::createKey(const std::string& key) {
    std::string path;
    for (const std::string& level : platform::splitKeyPath(key)) {
        path += path.empty() ? level : "/" + level;
        if (!keyExists(path))
            m_settings->setValue(groupOf(path) + QLatin1Char('/') + kKeyMarker, true);
    }
}

void QtSettingsStore::deleteKey(const std::string& key) {
    m_settings->remove(groupOf(key));
}

void QtSettingsStore::deleteValue(const std::string& key, const std::string& name) {
    m_settings->remove(fullName(key, name));
}

std::vector<std::string> QtSettingsStore::subKeys(const std::string& key) const {
    m_settings->beginGroup(groupOf(key));
    const QStringList groups = m_settings->childGroups();
    m_settings->endGroup();
    std::vector<std::string> names;
    for (const QString& group : groups)
        names.push_back(group.toStdString());
    return names;
}

std::vector<std::string> QtSettingsStore::valueNames(const std::string& key) const {
    m_settings->beginGroup(groupOf(key));
    const QStringList keys = m_settings->childKeys();
    m_settings->endGroup();
    std::vector<std::string> names;
    for (const QString& name : keys) {
        if (name != kKeyMarker)
            names.push_back(name.toStdString());
    }
    return names;
}

std::optional<std::string> QtSettingsStore::readText(const std::string& key,
                                                     const std::string& name) const {
    const QVariant v = value(key, name);
    if (!v.isValid())
        return std::nullopt;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? "true" : "false";
    return v.toString().toStdString();
}

std::optional<std::int64_t> QtSettingsStore::readInteger(const std::string& key,
                                                         const std::string& name) const {
    const QVariant v = value(key, name);
    if (!v.isValid())
        return std::nullopt;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1 : 0;
    return platform::integerFromText(v.toString().toStdString());
}

std::optional<bool> QtSettingsStore::readBool(const std::string& key,
                                              const std::string& name) const {
    const QVariant v = value(key, name);
    if (!v.isValid())
        return std::nullopt;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    const std::string text = v.toString().toStdString();
    if (const auto flag = platform::boolFromText(text))
        return flag;
    if (const auto number = platform::integerFromText(text))
        return *number != 0;
    return std::nullopt;
}

void QtSettingsStore::writeText(const std::string& key, const std::string& name,
                                const std::string& value) {
    setValue(key, name, QString::fromStdString(value));
}

void QtSettingsStore::writeInteger(const std::string& key, const std::string& name,
                                   std::int64_t value) {
    setValue(key, name, QVariant::fromValue<qlonglong>(value));
}

void QtSettingsStore::writeBool(const std::string& key, const std::string& name, bool value) {
    setValue(key, name, value);
}

void QtSettingsStore::sync() {
    m_settings->sync();
}

} // namespace kalydor::gui
