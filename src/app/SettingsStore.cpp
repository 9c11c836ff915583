#include "app/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QVariant>

#include "app/IniText.h"
#include "common/Errors.h"
#include "common/NumberConversion.h"

namespace qr {

namespace {

QString keyOf(const QString& subkey, const QString& name) {
    return subkey.isEmpty() ? name : subkey + QLatin1Char('/') + name;
}

void ensureFileExists(const QString& iniPath) {
    const QFileInfo info(iniPath);
    QDir().mkpath(info.absolutePath());
    if (!info.exists()) {
        QFile file(iniPath);
        (void)file.open(QIODevice::WriteOnly);  // an unwritable place shows on the first write
    }
}

// The file is read and written by our own INI code, never by Qt's: Qt's reader turns a value
// written as "@Variant(...)" into an object by deserialising it, and a damaged or hostile
// file makes that allocate without bound. Here a value that is not a text stays its file
// text in a QByteArray, which readString refuses and a write puts back unchanged.
bool readIni(QIODevice& device, QSettings::SettingsMap& map) {
    const QByteArray file = device.readAll();
    for (const IniEntry& entry : parseIni(std::string_view(file.constData(), file.size()))) {
        const QString path = QString::fromStdString(entry.path);
        if (entry.value.isText)
            map.insert(path, QString::fromStdString(entry.value.data));
        else
            map.insert(path, QByteArray::fromStdString(entry.value.data));
    }
    return true;
}

bool writeIni(QIODevice& device, const QSettings::SettingsMap& map) {
    std::vector<IniEntry> entries;
    entries.reserve(map.size());
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const bool isText = it.value().typeId() != QMetaType::QByteArray;
        entries.push_back({it.key().toStdString(),
                           {isText, isText ? it.value().toString().toStdString()
                                           : it.value().toByteArray().toStdString()}});
    }
    const std::string file = formatIni(entries);
    return device.write(file.data(), qint64(file.size())) == qint64(file.size());
}

QSettings::Format textIniFormat() {
    static const QSettings::Format format =
        QSettings::registerFormat("ini", readIni, writeIni, Qt::CaseSensitive);
    return format;
}

}  // namespace

QString SettingsStore::defaultPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + "/.config";
    return base + "/QuendarixReader/QuendarixReader.ini";
}

SettingsStore::SettingsStore() : SettingsStore(defaultPath()) {}

SettingsStore::SettingsStore(const QString& iniPath) {
    ensureFileExists(iniPath);
    settings_ = std::make_unique<QSettings>(iniPath, textIniFormat());
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::path() const {
    return settings_->fileName();
}

bool SettingsStore::contains(const QString& subkey, const QString& name) const {
    settings_->sync();
    return settings_->contains(keyOf(subkey, name));
}

QString SettingsStore::readString(const QString& subkey, const QString& name,
                                  const QString& defaultValue) const {
    settings_->sync();  // pick up what another writer of the file has stored
    const QVariant value = settings_->value(keyOf(subkey, name));
    if (!value.isValid()) return defaultValue;
    if (value.typeId() != QMetaType::QString)
        throw ESettingsError("Ungültiger Datentyp für '" + name.toStdString() + "'");
    return value.toString();
}

int SettingsStore::readInteger(const QString& subkey, const QString& name, int defaultValue) const {
    const QString text = readString(subkey, name, QString());
    if (text.isNull()) return defaultValue;
    return tryStrToInt(text.toLatin1().toStdString()).value_or(defaultValue);
}

void SettingsStore::writeString(const QString& subkey, const QString& name, const QString& value) {
    settings_->setValue(keyOf(subkey, name), value);
    settings_->sync();
    if (settings_->status() != QSettings::NoError)
        throw ESettingsError("Einstellungen konnten nicht gespeichert werden: " +
                             settings_->fileName().toStdString());
}

void SettingsStore::writeInteger(const QString& subkey, const QString& name, int value) {
    writeString(subkey, name, QString::number(value));
}

}  // namespace qr
