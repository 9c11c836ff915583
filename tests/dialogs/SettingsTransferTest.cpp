#include "dialogs/SettingsTransfer.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace qr {
namespace {

using namespace std::string_literals;

OwnerSettings neverSaved() {
    return {"not set", "not set", "not set", "not set", 5, 33, false};
}

// The 16 value bytes of the text field starting at the given position (0-based).
std::string textBytes(const TransferTable& table, int first) {
    std::string bytes;
    for (int i = first; i < first + 16; ++i) bytes += static_cast<char>(table[i].value);
    return bytes;
}

TEST(SettingsTransferTable, AddressesRunInTableOrder) {
    const TransferTable table = buildTransferTable(neverSaved());
    for (int i = 0; i < 64; ++i) EXPECT_EQ(table[i].address, i) << "position " << i + 1;
    EXPECT_EQ(table[64].address, 0x00CF);
    EXPECT_EQ(table[65].address, 0x00DF);
    EXPECT_EQ(table[66].address, 0x00EF);
}

TEST(SettingsTransferTable, TextFieldsArePaddedAndCut) {
    struct Case {
        const char* name;
        std::string typed;
        std::string sent;
    };
    const Case cases[] = {
        {"empty", "", std::string(16, ' ')},
        {"never saved", "not set", "not set         "},
        {"exactly 16", "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
        {"20 characters", "Hans-Peter Muster 1", "Hans-Peter Muste"},
        {"Latin-1 kept", "J\xFCrgen \xC4", "J\xFCrgen \xC4        "},
        {"control bytes kept", "a\r\n,\0b"s, "a\r\n,\0b          "s},
    };
    for (const Case& c : cases) {
        for (int field = 0; field < 4; ++field) {
            OwnerSettings s = neverSaved();
            std::string* texts[] = {&s.pilot, &s.gliderType, &s.gliderId, &s.reserve};
            *texts[field] = c.typed;
            const TransferTable table = buildTransferTable(s);
            EXPECT_EQ(textBytes(table, field * 16), c.sent) << c.name << ", field " << field;
            // the other fields are untouched
            for (int other = 0; other < 4; ++other)
                if (other != field) {
                    EXPECT_EQ(textBytes(table, other * 16), "not set         ") << c.name;
                }
        }
    }
}

TEST(SettingsTransferTable, NumbersAndSwitchAreOneByteEach) {
    struct Case {
        int interval, powerDown;
        bool lcd;
        std::uint8_t cf, df, ef;
    };
    const Case cases[] = {
        {5, 33, false, 0x05, 0x21, 0x00},  {5, 33, true, 0x05, 0x21, 0xFF},
        {1, 1, false, 0x01, 0x01, 0x00},   {60, 255, true, 0x3C, 0xFF, 0xFF},
        {13, 44, false, 0x0D, 0x2C, 0x00},  // CR and comma as values
    };
    for (const Case& c : cases) {
        OwnerSettings s = neverSaved();
        s.minInterval = c.interval;
        s.powerDown = c.powerDown;
        s.lcd = c.lcd;
        const TransferTable table = buildTransferTable(s);
        EXPECT_EQ(table[64].value, c.cf) << c.interval;
        EXPECT_EQ(table[65].value, c.df) << c.powerDown;
        EXPECT_EQ(table[66].value, c.ef) << c.lcd;
    }
}

TEST(SettingsSentence, IsEighteenBytesWithRawValueAndNoChecksum) {
    struct Case {
        TransferEntry entry;
        std::string sentence;
    };
    const Case cases[] = {
        {{0x0000, 0x20}, "$PQVD,SET,0000, \r\n"},    {{0x000F, 'P'}, "$PQVD,SET,000F,P\r\n"},
        {{0x00CF, 0x05}, "$PQVD,SET,00CF,\x05\r\n"}, {{0x00DF, 0x21}, "$PQVD,SET,00DF,!\r\n"},
        {{0x00EF, 0x00}, "$PQVD,SET,00EF,\0\r\n"s},  {{0x00EF, 0xFF}, "$PQVD,SET,00EF,\xFF\r\n"},
        {{0x003A, 0x0D}, "$PQVD,SET,003A,\r\r\n"},   {{0x002C, 0x2C}, "$PQVD,SET,002C,,\r\n"},
        {{0xABCD, 0x2A}, "$PQVD,SET,ABCD,*\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(setSentence(c.entry), c.sentence);
        EXPECT_EQ(setSentence(c.entry).size(), kSetSentenceLength);
    }
}

TEST(SettingsTransfer, SendsAllSixtySevenSentencesInOrder) {
    OwnerSettings s = neverSaved();
    s.pilot = "";
    const TransferTable table = buildTransferTable(s);
    SettingsTransfer transfer;
    EXPECT_FALSE(transfer.pending());  // nothing before the first send
    transfer.start(table);
    const std::regex shape(R"(\$PQVD,SET,[0-9A-F]{4},[\s\S]\r\n)");
    int count = 0;
    while (transfer.pending()) {
        const std::string sentence = transfer.takeNextSentence();
        ASSERT_EQ(sentence, setSentence(table[count]));
        EXPECT_TRUE(std::regex_match(sentence, shape)) << sentence;
        if (count < 16) {
            EXPECT_EQ(sentence[15], ' ');
        }
        ++count;
    }
    EXPECT_EQ(count, 67);
    EXPECT_EQ(transfer.nextPosition(), 68);
    EXPECT_THROW(transfer.takeNextSentence(), std::logic_error);
}

TEST(SettingsTransfer, RestartBeginsAgainAtPositionOne) {
    SettingsTransfer transfer;
    transfer.start(buildTransferTable(neverSaved()));
    for (int i = 0; i < 10; ++i) transfer.takeNextSentence();
    OwnerSettings changed = neverSaved();
    changed.pilot = "Zora";
    transfer.start(buildTransferTable(changed));
    EXPECT_EQ(transfer.nextPosition(), 1);
    EXPECT_EQ(transfer.takeNextSentence(), "$PQVD,SET,0000,Z\r\n");
}

TEST(SettingsTransfer, AnswerCollectsPiecesUntilTaken) {
    SettingsTransfer transfer;
    EXPECT_EQ(transfer.collect("$PQVD,"), 6u);
    EXPECT_EQ(transfer.collect("SET,OK\r"), 13u);
    EXPECT_EQ(transfer.collect("\n"s), 14u);
    EXPECT_EQ(transfer.takeAnswer(), "$PQVD,SET,OK\r\n");
    EXPECT_TRUE(transfer.answer().empty());
    EXPECT_EQ(transfer.collect("\0\xFF"s), 2u);
    EXPECT_EQ(transfer.takeAnswer(), "\0\xFF"s);
}

}  // namespace
}  // namespace qr
