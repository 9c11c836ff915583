#pragma once
// The settings store: the program's key "Software\QuendarixReader" of the current user,
// kept as one INI file ($XDG_CONFIG_HOME/QuendarixReader/QuendarixReader.ini). Subkeys are
// INI groups ("Zelmor", "IGC", "Ports"); every value is stored as text. The file has the form
// of QSettings::IniFormat but is parsed by IniText, which never deserialises a value.
#include <QString>
#include <memory>

class QSettings;

namespace qr {

class SettingsStore {
public:
    // The current user's store; the folder and the file are created when missing.
    SettingsStore();
    // A store in a given INI file (tests, the logger simulator).
    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Where the current user's store lives.
    static QString defaultPath();

    QString path() const;

    bool contains(const QString& subkey, const QString& name) const;

    // The value as text, or the default when it is missing. A value that is not a single
    // text throws ESettingsError "Ungültiger Datentyp für '<name>'".
    QString readString(const QString& subkey, const QString& name,
                       const QString& defaultValue) const;

    // A number kept as decimal text; the default when missing or not a number. Throws like
    // readString for a value that is not a text.
    int readInteger(const QString& subkey, const QString& name, int defaultValue) const;

    // Writes at once, so that another reader of the file sees the value. A file that cannot
    // be written throws ESettingsError.
    void writeString(const QString& subkey, const QString& name, const QString& value);
    void writeInteger(const QString& subkey, const QString& name, int value);

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace qr
