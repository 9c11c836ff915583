#include "dialogs/SettingsTransfer.h"

#include <stdexcept>

namespace qr {

namespace {

constexpr std::uint16_t kIntervalAddress = 0x00CF;
constexpr std::uint16_t kPowerDownAddress = 0x00DF;
constexpr std::uint16_t kLcdAddress = 0x00EF;

void putText(TransferTable& table, std::size_t first, const std::string& text) {
    for (std::size_t i = 0; i < kSettingsTextLength; ++i) {
        const auto address = static_cast<std::uint16_t>(first + i);
        const char c = i < text.size() ? text[i] : ' ';
        table[first + i] = {address, static_cast<std::uint8_t>(c)};
    }
}

}  // namespace

TransferTable buildTransferTable(const OwnerSettings& settings) {
    TransferTable table{};
    putText(table, 0, settings.pilot);
    putText(table, 16, settings.gliderType);
    putText(table, 32, settings.gliderId);
    putText(table, 48, settings.reserve);
    table[64] = {kIntervalAddress, static_cast<std::uint8_t>(settings.minInterval)};
    table[65] = {kPowerDownAddress, static_cast<std::uint8_t>(settings.powerDown)};
    table[66] = {kLcdAddress, static_cast<std::uint8_t>(settings.lcd ? 0xFF : 0x00)};
    return table;
}

std::string setSentence(const TransferEntry& entry) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string sentence = "$PQVD,SET,";
    for (int shift = 12; shift >= 0; shift -= 4) sentence += kHex[(entry.address >> shift) & 0xF];
    sentence += ',';
    sentence += static_cast<char>(entry.value);
    sentence += "\r\n";
    return sentence;
}

void SettingsTransfer::start(const TransferTable& table) {
    table_ = table;
    next_ = 1;
    last_ = kTransferEntries;
}

std::string SettingsTransfer::takeNextSentence() {
    if (!pending()) throw std::logic_error("no settings sentence pending");
    return setSentence(table_[static_cast<std::size_t>(next_++ - 1)]);
}

std::size_t SettingsTransfer::collect(std::string_view bytes) {
    answer_.append(bytes);
    return answer_.size();
}

std::string SettingsTransfer::takeAnswer() {
    std::string answer;
    answer.swap(answer_);
    return answer;
}

}  // namespace qr
