#pragma once
// Picks the "$PQVD," sentences out of the bytes a program sends to the logger. A SET
// sentence is 18 bytes with one raw value byte (which may be CR, LF or a comma); every
// other sentence runs up to CR LF. Bytes outside sentences (the LF CR a program sends
// when it opens its port, line noise) are skipped.
#include <string>
#include <string_view>
#include <vector>

namespace qr::sim {

struct Sentence {
    std::string command;      // "ON", "OFF", "STA", "DEL", "IGC", "SET", or what else came
    std::string argument;     // text after the first comma ("4" for IGC,4); empty for SET
    int address = 0;          // SET: the address
    unsigned char value = 0;  // SET: the raw byte
};

class SentenceReader {
public:
    // The sentences completed by these bytes, in order.
    std::vector<Sentence> feed(std::string_view bytes);

private:
    std::string pending_;
};

}  // namespace qr::sim
