#include "platform/qsettings_store.h"

#include <QSettings>
#include <QString>

#include <stdexcept>

namespace velnor {

namespace {

QString Name(const std::string& text) {
    return QString::fromStdString(text);
}

QString EntryKey(const std::string& section, const std::string& key) {
    return Name(section) + "/" + Name(key);
}

} // namespace

std::string QSettingsStore::Read(const std::string& application, const std::string& section,
                                 const std::string& key, const std::string& fallback) const {
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, Name(application),
                          Name(application));
    const QString entry = EntryKey(section, key);
    return store.contains(entry) ? store.value(entry).toString().toStdString() : fallback;
}

void QSettingsStore::Write(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& value) {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, Name(application),
                    Name(application));
    store.setValue(EntryKey(section, key), Name(value));
    store.sync();
    if (store.status() == QSettings::AccessError)
        throw std::runtime_error(store.fileName().toStdString() +
                                 ": the settings could not be saved");
    if (store.status() == QSettings::FormatError)
        throw std::runtime_error(store.fileName().toStdString() +
                                 ": the settings file is damaged and was not changed");
}

} // namespace velnor
