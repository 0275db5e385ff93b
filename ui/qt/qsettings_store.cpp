#include "ui/qt/qsettings_store.h"

#include "core/text/utf8.h"

#include <QByteArray>
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
    if (!store.contains(entry))
        return fallback;
    const QVariant value = store.value(entry);
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray().toStdString();
    return value.toString().toStdString();
}

void QSettingsStore::Write(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& value) {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, Name(application),
                    Name(application));
    // Text where the value is text; bytes that are not UTF-8 (a folder named
    // in GBK) are stored as bytes, so they come back as they went in.
    if (IsValidUtf8(value))
        store.setValue(EntryKey(section, key), Name(value));
    else
        store.setValue(EntryKey(section, key), QByteArray::fromStdString(value));
    store.sync();
    if (store.status() == QSettings::AccessError)
        throw std::runtime_error(store.fileName().toStdString() +
                                 ": the settings could not be saved");
    if (store.status() == QSettings::FormatError)
        throw std::runtime_error(store.fileName().toStdString() +
                                 ": the settings file is damaged and was not changed");
}

} // namespace velnor
