// Generated decks: answer sheets whose marks and answers depend only on the seed.
//
// Layout of a generated sheet (73 lines, one sync mark per line):
//   lines 5..14   student number: 8 digit columns on channels 3..10, the mark of
//                 digit d on line 5 + d
//   lines 22..67  50 questions in 5 blocks of 10 rows (row r on line 22 + 5r);
//                 block b has options A..D on channels 4 + 9b .. 7 + 9b
// The recognised answer text is the 8 digits followed by the 50 letters.
#include <cstdio>
#include <random>

#include "vazsim/card_deck.h"

namespace vazsim {

namespace {

constexpr int kLines = 73;
constexpr int kDigits = 8;
constexpr int kQuestions = 50;

}  // namespace

Deck generateDeck(uint32_t seed, int sheetCount) {
    // mt19937's output is fixed by the standard; distributions are not, so
    // values are derived from it directly to stay the same on every library.
    std::mt19937 rng(seed);
    auto below = [&rng](uint32_t n) { return static_cast<int>(rng() % n); };
    auto markLevel = [&] { return static_cast<uint8_t>(below(20) == 0 ? 6 + below(4) : 12 + below(4)); };

    Deck deck;
    for (int s = 0; s < sheetCount; ++s) {
        Sheet sheet = blankSheet(kLines, 0);
        for (GrayLine& line : sheet.gray)
            for (uint8_t& cell : line)
                if (below(40) == 0) cell = 1;  // paper speckle
        std::string text;
        for (int d = 0; d < kDigits; ++d) {
            int digit = below(10);
            sheet.gray[static_cast<size_t>(4 + digit)][static_cast<size_t>(2 + d)] = markLevel();
            text.push_back(static_cast<char>('0' + digit));
        }
        for (int q = 0; q < kQuestions; ++q) {
            int block = q / 10, row = q % 10, option = below(4);
            sheet.gray[static_cast<size_t>(21 + 5 * row)][static_cast<size_t>(3 + 9 * block + option)] =
                markLevel();
            text.push_back(static_cast<char>('A' + option));
        }
        sheet.answers.emplace_back("", text);
        char serial[16];
        std::snprintf(serial, sizeof serial, "%06d", s + 1);
        sheet.extra = serial;
        deck.sheets.push_back(std::move(sheet));
    }
    return deck;
}

}  // namespace vazsim
