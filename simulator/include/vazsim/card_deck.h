// Card decks of the virtual reader: the sheets waiting in its hopper, with the
// gray level every head sees on every line, the recognised answers and an
// optional per-sheet fault. Decks are read from a small INI text format
// (documented at parseDeck and in simulator/README.md) or generated from a seed.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vazsim {

constexpr int kChannels = 48;
// One line per sync mark. 50 bytes per line must fit a 4-digit length field.
constexpr int kMaxLines = 199;
constexpr int kMinPitch = 8;
constexpr int kMaxPitch = 48;
// The library's block read buffer holds 5000 bytes after rounding to reports.
constexpr size_t kMaxAnswerLength = 4991;
constexpr size_t kMaxExtraLength = 255;

using GrayLine = std::array<uint8_t, kChannels>;  // levels 0..15, channel 1 first

struct Sheet {
    int syncCount = 73;          // number of sync marks = number of lines
    std::vector<GrayLine> gray;  // exactly syncCount lines
    // Recognised answer text per format: (key, text). The text of the first key
    // that begins one of the downloaded format commands wins; key "" fits any format.
    std::vector<std::pair<std::string, std::string>> answers;
    std::string extra;  // bytes of the "G/" supplement (padded with '0' or cut to the f line's count)
    std::string fault;  // "" or the two-digit status the reader answers when feeding this sheet
    int pitch = 24;     // curve samples per line

    const std::string& answerFor(const std::vector<std::string>& formatCommands) const;
};

// A sheet of `lines` lines with every cell at gray level `level`.
Sheet blankSheet(int lines = 73, uint8_t level = 0);

struct Deck {
    std::vector<Sheet> sheets;
};

// A malformed deck; what() reads "SOURCE:LINE: problem".
class DeckError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Deck parseDeck(const std::string& text, const std::string& sourceName = "deck");
Deck loadDeckFile(const std::string& path);  // throws DeckError, also when the file cannot be read
std::string writeDeck(const Deck& deck);     // the text parseDeck reads back to the same deck

// A deck of answer sheets (73 lines, a student number block, 50 questions of
// four options) that depends only on the seed.
Deck generateDeck(uint32_t seed, int sheetCount = 20);

}  // namespace vazsim
