// The settings file against QSettings::IniFormat as the independent reader and writer, and
// values of other types that must never be deserialised nor lost.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <stdexcept>

#include "app/SettingsStore.h"
#include "common/Errors.h"

namespace qr {
namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Qt shares what it has read of a file among all settings objects of the same path, so
// every reader gets a copy under a path of its own and really parses the file.
class SettingsIni : public ::testing::Test {
protected:
    // A file that cannot be written throws, which ends the test.
    QString fresh(const QByteArray& content) {
        const QString path = dir_.path() + QString("/%1.ini").arg(++count_);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            throw std::runtime_error("cannot write " + path.toStdString());
        return path;
    }
    QString path(const char* name) const { return dir_.path() + "/" + name; }

private:
    QTemporaryDir dir_;
    int count_ = 0;
};

struct Case {
    QString subkey;
    QString name;
    QString text;
};

std::vector<Case> trickyTexts() {
    const QString nul(QChar(0));
    return {
        {"Zelmor", "COM Port", "3"},
        {"Zelmor", "setPLT", ""},
        {"Zelmor", "SETplt", "other case, other key"},
        {"IGC", "PILOT", "  Jörg Müller, Jr.  "},
        {"IGC", "PFAD", "/home/pilot/Flüge/"},
        {"IGC", "semicolon", "a;b ; c"},
        {"IGC", "equals", "=x=y"},
        {"IGC", "quotes", "\"quoted\" and \"half"},
        {"IGC", "backslash", "C:\\Flüge\\"},
        {"IGC", "section", "[Zelmor]"},
        {"IGC", "at", "@home"},
        {"IGC", "at at", "@@twice"},
        {"IGC", "at variant", "@Variant(\\0\\0\\0\\x2)"},
        {"IGC", "at string", "@String(x)"},
        {"IGC", "at invalid", "@Invalid()"},
        {"IGC", "non-latin", QString::fromUtf8("Ελλάδα € 😀 日本")},
        {"IGC", "controls",
         "tab\there\r\nnext\x01"
         "1\x7f"
         "end"},
        {"IGC", "edge tabs", "\tboth\t"},
        {"IGC", "nul", "a" + nul + "1b"},
        {"IGC", "one blank", " "},
        {"IGC", "list-like", "1, 2"},
        {"Ports", "Zähler € 50%", "key with escapes"},
        {"Ports", "a.b-c_1", "plain key"},
        {"", "root", "in the general section"},
    };
}

QString keyOf(const Case& c) {
    return c.subkey.isEmpty() ? c.name : c.subkey + "/" + c.name;
}

TEST_F(SettingsIni, TextsWrittenByQtReadTheSame) {
    {
        QSettings qt(path("qt.ini"), QSettings::IniFormat);
        for (const Case& c : trickyTexts()) qt.setValue(keyOf(c), c.text);
        qt.sync();
        ASSERT_EQ(qt.status(), QSettings::NoError);
    }
    SettingsStore store(fresh(readAll(path("qt.ini"))));
    for (const Case& c : trickyTexts()) {
        SCOPED_TRACE(keyOf(c).toStdString());
        EXPECT_EQ(store.readString(c.subkey, c.name, "missing"), c.text);
    }
}

TEST_F(SettingsIni, TextsWrittenByTheStoreReadTheSame) {
    {
        SettingsStore store(path("store.ini"));
        for (const Case& c : trickyTexts()) store.writeString(c.subkey, c.name, c.text);
    }
    const QByteArray written = readAll(path("store.ini"));
    QSettings qt(fresh(written), QSettings::IniFormat);
    SettingsStore store(fresh(written));
    for (const Case& c : trickyTexts()) {
        SCOPED_TRACE(keyOf(c).toStdString());
        const QVariant value = qt.value(keyOf(c));
        EXPECT_EQ(value.typeId(), QMetaType::QString);
        EXPECT_EQ(value.toString(), c.text);
        EXPECT_EQ(store.readString(c.subkey, c.name, "missing"), c.text);
    }
    EXPECT_EQ(qt.status(), QSettings::NoError);
}

void expectOtherType(const SettingsStore& store, const QString& subkey, const QString& name) {
    try {
        (void)store.readInteger(subkey, name, 1);
        ADD_FAILURE() << name.toStdString() << " was read";
    } catch (const ESettingsError& e) {
        EXPECT_EQ(std::string(e.what()), "Ungültiger Datentyp für '" + name.toStdString() + "'");
    }
}

// Qt's reader would deserialise these: the first into the text "hi", the second into a list
// whose count made it reserve gigabytes.
TEST_F(SettingsIni, SerialisedValuesAreRefusedWithoutDeserialising) {
    SettingsStore store(
        fresh("[Zelmor]\nsetPLT=@Variant(\\0\\0\\0\\n\\0\\0\\0\\x4\\0h\\0i)\n"
              "COM%20Port=@Variant(\\0\\0\\0\\xByteArray()"));
    expectOtherType(store, "Zelmor", "setPLT");
    expectOtherType(store, "Zelmor", "COM Port");
    EXPECT_TRUE(store.contains("Zelmor", "COM Port"));
}

TEST_F(SettingsIni, AWriteKeepsValuesOfOtherTypesByteForByte) {
    const std::vector<std::pair<QString, QByteArray>> others = {
        {"COM Port", "COM%20Port=@Variant(\\0\\0\\0\\xByteArray()"},
        {"COM Speed", "COM%20Speed=1, 2"},
        {"Dump", "Dump=@ByteArray(\\0\\x1\\xff\xc3\xa4)"},
        {"Quoted", "Quoted=\"@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x1)\""},
        {"Spaced", "Spaced= @Rect(1 2 3 4)"},
        {"When", "When=@DateTime(\\0\\0\\0\\x10\\0\\0\\0\\0)"},
        {"Void", "Void=@Invalid()"},
    };
    QByteArray file = "[Zelmor]\n";
    for (const auto& [name, line] : others) file += line + "\n";
    const QString iniPath = fresh(file);
    SettingsStore(iniPath).writeString("Zelmor", "Test", "1");

    const QByteArray written = readAll(iniPath);
    for (const auto& [name, line] : others)
        EXPECT_TRUE(written.contains("\n" + line + "\n")) << line.toStdString();
    SettingsStore store(fresh(written));
    for (const auto& [name, line] : others) expectOtherType(store, "Zelmor", name);
    EXPECT_EQ(store.readInteger("Zelmor", "Test", 0), 1);
}

// A value that runs to the end of the file unclosed must not take the next line into it
// once the file is written again.
TEST_F(SettingsIni, AnUnclosedValueAtTheEndStaysInItsLine) {
    for (const QByteArray& file : {QByteArray("[IGC]\nPILOT=\"@Variant(\\0\\0\\0\\x2)"),
                                   QByteArray("[IGC]\nPILOT=a, b\\")}) {
        SCOPED_TRACE(file.toStdString());
        const QString iniPath = fresh(file);
        SettingsStore(iniPath).writeString("IGC", "SITE", "Wasserkuppe");
        const QByteArray written = readAll(iniPath);
        SettingsStore store(fresh(written));
        expectOtherType(store, "IGC", "PILOT");
        EXPECT_EQ(store.readString("IGC", "SITE", ""), "Wasserkuppe");
        EXPECT_EQ(QSettings(fresh(written), QSettings::IniFormat).value("IGC/SITE").toString(),
                  "Wasserkuppe");
    }
}

}  // namespace
}  // namespace qr
