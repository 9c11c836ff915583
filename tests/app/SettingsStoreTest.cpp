#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/SettingsStore.h"
#include "common/Errors.h"
#include "support/TempConfig.h"

namespace qr {
namespace {

[[nodiscard]] ::testing::AssertionResult writeIni(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return ::testing::AssertionFailure() << "cannot write " << path.toStdString();
    return ::testing::AssertionSuccess();
}

TEST(SettingsStore, LivesUnderXdgConfigHomeAndIsCreated) {
    test::TempConfig config;
    EXPECT_EQ(SettingsStore::defaultPath(), config.iniPath());
    SettingsStore store;
    EXPECT_TRUE(QFileInfo::exists(config.iniPath()));
    store.writeString("Zelmor", "COM Port", "3");
    // Nothing but the one file in the temporary folder.
    QStringList all;
    QDir dir(config.path());
    for (const QFileInfo& info : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot))
        all << info.fileName();
    EXPECT_EQ(all, QStringList{"QuendarixReader"});
}

TEST(SettingsStore, RoundTripAndDefaults) {
    test::TempConfig config;
    {
        SettingsStore store;
        store.writeString("IGC", "PILOT", "Jörg Müller, Jr.");
        store.writeString("IGC", "PFAD", "/home/pilot/Flüge/");
        store.writeInteger("Zelmor", "COM Speed", 4);
        store.writeString("Zelmor", "setPLT", "");
    }
    SettingsStore store;
    EXPECT_EQ(store.readString("IGC", "PILOT", "x"), "Jörg Müller, Jr.");
    EXPECT_EQ(store.readString("IGC", "PFAD", "x"), "/home/pilot/Flüge/");
    EXPECT_EQ(store.readInteger("Zelmor", "COM Speed", 0), 4);
    EXPECT_EQ(store.readString("Zelmor", "setPLT", "not set"), "");  // empty is a value
    EXPECT_EQ(store.readString("IGC", "SITE", "default"), "default");
    EXPECT_EQ(store.readString("Nowhere", "SITE", "default"), "default");
    EXPECT_EQ(store.readInteger("Zelmor", "Test", 0), 0);
    // Numbers are kept as decimal text.
    QFile file(config.iniPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("COM%20Speed=4"));
}

TEST(SettingsStore, UnreadableNumbersGiveTheDefault) {
    test::TempConfig config;
    ASSERT_TRUE(writeIni(config.iniPath(),
                         "[Zelmor]\nCOM%20Speed=fast\nCOM%20Port=\nTest=1\nsetINT=\" 12\"\n"));
    SettingsStore store;
    EXPECT_EQ(store.readInteger("Zelmor", "COM Speed", 7), 7);
    EXPECT_EQ(store.readInteger("Zelmor", "COM Port", 1), 1);
    EXPECT_EQ(store.readInteger("Zelmor", "Test", 0), 1);
    EXPECT_EQ(store.readInteger("Zelmor", "setINT", 5), 12);
}

TEST(SettingsStore, ValueOfAnotherTypeIsRefused) {
    test::TempConfig config;
    ASSERT_TRUE(writeIni(config.iniPath(),
                         "[Zelmor]\nCOM%20Port=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x3)\n"
                         "COM%20Speed=1, 2\n[IGC]\nPILOT=@ByteArray(abc)\n"));
    SettingsStore store;
    for (const char* name : {"COM Port", "COM Speed"}) {
        try {
            store.readInteger("Zelmor", name, 1);
            ADD_FAILURE() << name;
        } catch (const ESettingsError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Ungültiger Datentyp für '") + name + "'");
        }
    }
    EXPECT_THROW(store.readString("IGC", "PILOT", ""), ESettingsError);
}

TEST(SettingsStore, SeesWhatAnotherWriterStored) {
    test::TempConfig config;
    SettingsStore reader;
    SettingsStore writer;
    EXPECT_EQ(reader.readString("Ports", "COM1", ""), "");
    writer.writeString("Ports", "COM1", "/dev/pts/7");
    EXPECT_EQ(reader.readString("Ports", "COM1", ""), "/dev/pts/7");
}

TEST(SettingsStore, UnwritableFileIsReported) {
    test::TempConfig config;
    // A folder that is a plain file cannot hold the store, not even for root.
    ASSERT_TRUE(writeIni(config.path() + "/blocker", "x"));
    SettingsStore store(config.path() + "/blocker/QuendarixReader.ini");
    EXPECT_THROW(store.writeString("Zelmor", "COM Port", "2"), ESettingsError);
}

}  // namespace
}  // namespace qr
