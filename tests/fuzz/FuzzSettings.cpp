// The settings store over arbitrary INI files: reading any value either gives a text, the
// default, or the store's own error, and writing one rewrites the whole file; it never crashes.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

#include "app/SettingsStore.h"
#include "common/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.path() + "/QuendarixReader.ini";
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    qr::SettingsStore store(path);
    const char* names[][2] = {{"Zelmor", "COM Port"}, {"Zelmor", "COM Speed"}, {"Zelmor", "Test"},
                              {"Zelmor", "setPLT"},   {"Zelmor", "setINT"},    {"IGC", "PILOT"},
                              {"IGC", "PFAD"},        {"Ports", "COM1"}};
    for (const auto& n : names) {
        try {
            (void)store.readString(n[0], n[1], "default");
            (void)store.readInteger(n[0], n[1], 1);
        } catch (const qr::ESettingsError&) {
        }
    }
    try {
        store.writeString("Zelmor", "Test", "1");
    } catch (const qr::ESettingsError&) {
    }
    return 0;
}
