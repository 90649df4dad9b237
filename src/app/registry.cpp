#include "app/registry.h"

#include <QSettings>
#include <QString>

#include <memory>

namespace parcelo {

namespace {

std::unique_ptr<QSettings> openStore(const RegistryRoot& root)
{
    if (!root.settingsFile().empty())
        return std::make_unique<QSettings>(QString::fromStdString(root.settingsFile()),
                                           QSettings::IniFormat);
#ifdef _WIN32
    return std::make_unique<QSettings>(QStringLiteral("HKEY_LOCAL_MACHINE"),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Norvane"), QStringLiteral("Parcelo"));
#endif
}

// The settings key of a value: the key path's parts and the value name joined by "/".
QString settingsKey(const std::string& keyPath, const std::string& valueName)
{
    QString key = QString::fromStdString(keyPath);
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!key.isEmpty() && !key.endsWith(QLatin1Char('/')))
        key += QLatin1Char('/');
    return key + QString::fromStdString(valueName);
}

} // namespace

void CreateRegistryKey(const RegistryRoot& root, const std::string&)
{
    const auto store = openStore(root);
    if (store->isWritable())
        store->sync();
}

void SetRegistryString(const RegistryRoot& root, const std::string& keyPath,
                       const std::string& valueName, const std::string& valueText)
{
    const auto store = openStore(root);
    if (store->status() != QSettings::NoError || !store->isWritable())
        return;
    store->setValue(settingsKey(keyPath, valueName), QString::fromStdString(valueText));
    store->sync();
}

std::string GetRegistryString(const RegistryRoot& root, const std::string& keyPath,
                              const std::string& valueName, const std::string& defaultValue)
{
    const auto store = openStore(root);
    const QString key = settingsKey(keyPath, valueName);
    if (store->status() != QSettings::NoError || !store->contains(key))
        return defaultValue;
    QString text = store->value(key).toString();
    if (text.size() > kRegistryValueBuffer)
        return defaultValue;
    const auto end = text.indexOf(QChar(0));
    if (end >= 0)
        text.truncate(end);
    return text.toStdString();
}

} // namespace parcelo
