// Deck files of the virtual reader: any text either is refused with a
// DeckError or gives a deck within the reader's bounds, which writeDeck
// turns into a text that reads back to the same deck.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "vazsim/card_deck.h"

namespace {

bool sameDeck(const vazsim::Deck& a, const vazsim::Deck& b) {
    if (a.sheets.size() != b.sheets.size()) return false;
    for (size_t i = 0; i < a.sheets.size(); ++i) {
        const vazsim::Sheet &x = a.sheets[i], &y = b.sheets[i];
        if (x.syncCount != y.syncCount || x.gray != y.gray || x.answers != y.answers || x.extra != y.extra ||
            x.fault != y.fault || x.pitch != y.pitch)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    vazsim::Deck deck;
    try {
        deck = vazsim::parseDeck(text, "fuzz");
    } catch (const vazsim::DeckError&) {
        return 0;
    }
    for (const vazsim::Sheet& s : deck.sheets) {
        FUZZ_CHECK(s.syncCount >= 1 && s.syncCount <= vazsim::kMaxLines);
        FUZZ_CHECK(static_cast<int>(s.gray.size()) == s.syncCount);
        FUZZ_CHECK(s.pitch >= vazsim::kMinPitch && s.pitch <= vazsim::kMaxPitch);
        FUZZ_CHECK(s.extra.size() <= vazsim::kMaxExtraLength);
        for (const auto& answer : s.answers) FUZZ_CHECK(answer.second.size() <= vazsim::kMaxAnswerLength);
        for (const vazsim::GrayLine& line : s.gray)
            for (uint8_t level : line) FUZZ_CHECK(level <= 15);
    }
    vazsim::Deck again;
    try {
        again = vazsim::parseDeck(vazsim::writeDeck(deck), "written");
    } catch (const vazsim::DeckError& e) {
        std::fprintf(stderr, "written deck refused: %s\n", e.what());
        FUZZ_CHECK(false);
    }
    FUZZ_CHECK(sameDeck(deck, again));
    return 0;
}
