// Card deck files: reading, checking and writing.
//
// A deck is an INI text, one [sheet] section per sheet in hopper order:
//
//   ; a comment (also "#"), on its own line or after a section header
//   [deck]                  optional; its keys ("name") are informational
//   name = practice cards
//
//   [sheet]
//   sync = 73               required: sync marks = lines, 1..199
//   background = 0          gray level of every cell no line names, 0..15 (default 0)
//   line.12 = 000F0000...   line 12 (1..sync): 48 hex digits 0..F, the gray level
//                           of channels 1..48
//   marks.30 = 4 17 40:9    line 30: these channels at level 15, or at the level
//                           after ":"; applied after line.N of the same line
//   answer = 12345678ABCD   recognised text for any format
//   answer[f 1] = ABCD      recognised text while a downloaded format command
//                           begins with "f 1" (tried in file order, before answer)
//   extra = 000001          bytes of the "G/" supplement
//   fault = 03              the status the reader answers when feeding the sheet
//                           (two digits, e.g. 03 double sheet, 16 no sheet,
//                           04 format sign error)
//   pitch = 24              curve samples per line, 8..48 (default 24)
//   repeat = 1              the section stands for this many sheets, 1..10000
//
// Names are case-insensitive; values are trimmed, and a value in double quotes
// keeps its blanks (the outer quotes are removed). Every problem is reported as
// "SOURCE:LINE: what", and nothing is guessed.
#include "vazsim/card_deck.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace vazsim {

namespace {

constexpr int kMaxRepeat = 10000;
constexpr size_t kMaxSheets = 100000;

std::string trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    const size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

class Parser {
public:
    Parser(const std::string& source) : source_(source) {}
    Deck parse(const std::string& text);

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw DeckError(source_ + ":" + std::to_string(lineNo_) + ": " + what);
    }
    long number(const std::string& key, const std::string& value, long lo, long hi) const;
    int level(const std::string& text, const std::string& key) const;
    void beginSheet();
    void endSheet();
    void sheetKey(const std::string& key, const std::string& rawKey, const std::string& value);

    std::string source_;
    int lineNo_ = 0;
    Deck deck_;
    bool inSheet_ = false;
    int sheetLine_ = 0;
    Sheet sheet_;
    int background_ = 0;
    int repeat_ = 1;
    bool haveSync_ = false;
    std::set<std::string> seen_;
    std::map<long, std::string> lines_;                        // line.N values, checked at the end
    std::map<long, std::vector<std::pair<long, int>>> marks_;  // marks.N: (channel, level)
    std::map<long, int> linesAt_, marksAt_;                    // file line of each entry, for messages
};

long Parser::number(const std::string& key, const std::string& value, long lo, long hi) const {
    if (value.empty() || value.size() > 9 ||
        !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
        fail(key + ": \"" + value + "\" is not a whole number");
    long v = std::stol(value);
    if (v < lo || v > hi)
        fail(key + ": " + value + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
    return v;
}

int Parser::level(const std::string& text, const std::string& key) const {
    return static_cast<int>(number(key + " level", text, 0, 15));
}

void Parser::beginSheet() {
    inSheet_ = true;
    sheetLine_ = lineNo_;
    sheet_ = Sheet{};
    background_ = 0;
    repeat_ = 1;
    haveSync_ = false;
    seen_.clear();
    lines_.clear();
    marks_.clear();
    linesAt_.clear();
    marksAt_.clear();
}

void Parser::endSheet() {
    if (!inSheet_) return;
    inSheet_ = false;
    const int at = lineNo_;
    lineNo_ = sheetLine_;
    if (!haveSync_) fail("sheet has no \"sync\" (its number of sync marks)");
    sheet_.gray.assign(static_cast<size_t>(sheet_.syncCount), GrayLine{});
    for (GrayLine& l : sheet_.gray) l.fill(static_cast<uint8_t>(background_));
    for (const auto& [n, hex] : lines_) {
        lineNo_ = linesAt_[n];
        if (n > sheet_.syncCount)
            fail("line." + std::to_string(n) + " beyond the sheet's " + std::to_string(sheet_.syncCount) +
                 " lines");
        if (hex.size() != kChannels)
            fail("line." + std::to_string(n) + " has " + std::to_string(hex.size()) +
                 " gray levels, 48 expected");
        for (size_t c = 0; c < hex.size(); ++c) {
            if (!std::isxdigit(static_cast<unsigned char>(hex[c])))
                fail("line." + std::to_string(n) + ": '" + hex[c] + "' is not a hex digit 0..F");
            sheet_.gray[static_cast<size_t>(n - 1)][c] =
                static_cast<uint8_t>(std::stoi(std::string(1, hex[c]), nullptr, 16));
        }
    }
    for (const auto& [n, list] : marks_) {
        lineNo_ = marksAt_[n];
        if (n > sheet_.syncCount)
            fail("marks." + std::to_string(n) + " beyond the sheet's " + std::to_string(sheet_.syncCount) +
                 " lines");
        for (auto [channel, lv] : list)
            sheet_.gray[static_cast<size_t>(n - 1)][static_cast<size_t>(channel - 1)] =
                static_cast<uint8_t>(lv);
    }
    lineNo_ = sheetLine_;
    if (static_cast<long>(sheet_.pitch) * (sheet_.syncCount + 2) + 4 > 9999)
        fail("pitch " + std::to_string(sheet_.pitch) + " makes a curve longer than 9999 bytes");
    if (deck_.sheets.size() + static_cast<size_t>(repeat_) > kMaxSheets)
        fail("more than " + std::to_string(kMaxSheets) + " sheets");
    for (int i = 0; i < repeat_; ++i) deck_.sheets.push_back(sheet_);
    lineNo_ = at;
}

void Parser::sheetKey(const std::string& key, const std::string& rawKey, const std::string& value) {
    if (!seen_.insert(key).second) fail(rawKey + " given twice in this sheet");
    if (key == "sync") {
        sheet_.syncCount = static_cast<int>(number(key, value, 1, kMaxLines));
        haveSync_ = true;
    } else if (key == "background") {
        background_ = level(value, key);
    } else if (key == "pitch") {
        sheet_.pitch = static_cast<int>(number(key, value, kMinPitch, kMaxPitch));
    } else if (key == "repeat") {
        repeat_ = static_cast<int>(number(key, value, 1, kMaxRepeat));
    } else if (key == "fault") {
        if (value.size() != 2 || !std::isdigit(static_cast<unsigned char>(value[0])) ||
            !std::isdigit(static_cast<unsigned char>(value[1])))
            fail("fault: \"" + value + "\" is not a two-digit status such as 03");
        sheet_.fault = value;
    } else if (key == "extra") {
        if (value.size() > kMaxExtraLength)
            fail("extra longer than " + std::to_string(kMaxExtraLength) + " bytes");
        sheet_.extra = value;
    } else if (key == "answer" || key.rfind("answer[", 0) == 0) {
        std::string formatKey;
        if (key != "answer") {
            // The format key keeps its case: take it from the key as written.
            if (rawKey.back() != ']' || rawKey.size() < 9)
                fail(rawKey + ": expected answer[FORMAT COMMAND START]");
            formatKey = rawKey.substr(7, rawKey.size() - 8);
        }
        if (value.size() > kMaxAnswerLength)
            fail(rawKey + " longer than " + std::to_string(kMaxAnswerLength) + " characters");
        sheet_.answers.emplace_back(formatKey, value);
    } else if (key.rfind("line.", 0) == 0) {
        long n = number(rawKey, key.substr(5), 1, kMaxLines);
        lines_[n] = value;
        linesAt_[n] = lineNo_;
    } else if (key.rfind("marks.", 0) == 0) {
        long n = number(rawKey, key.substr(6), 1, kMaxLines);
        std::istringstream in(value);
        std::string item;
        while (in >> item) {
            const size_t colon = item.find(':');
            long channel = number(rawKey + " channel", item.substr(0, colon), 1, kChannels);
            int lv = colon == std::string::npos ? 15 : level(item.substr(colon + 1), rawKey);
            marks_[n].emplace_back(channel, lv);
        }
        marksAt_[n] = lineNo_;
    } else {
        fail("unknown key \"" + rawKey + "\" in [sheet]");
    }
}

Deck Parser::parse(const std::string& text) {
    std::istringstream in(text);
    std::string raw;
    bool inDeck = false;
    while (std::getline(in, raw)) {
        ++lineNo_;
        if (raw.find('\0') != std::string::npos) fail("zero byte in the text");
        const std::string line = trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            const size_t close = line.find(']');
            if (close == std::string::npos) fail("section header without \"]\"");
            const std::string after = trim(line.substr(close + 1));
            if (!after.empty() && after[0] != ';' && after[0] != '#') fail("text after the section header");
            const std::string name = lower(trim(line.substr(1, close - 1)));
            endSheet();
            inDeck = name == "deck";
            if (name == "sheet")
                beginSheet();
            else if (!inDeck)
                fail("unknown section [" + name + "] (expected [deck] or [sheet])");
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos) fail("expected NAME = VALUE");
        const std::string rawKey = trim(line.substr(0, eq));
        std::string value = trim(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (rawKey.empty()) fail("empty name before \"=\"");
        if (inDeck) {
            if (lower(rawKey) != "name") fail("unknown key \"" + rawKey + "\" in [deck]");
            continue;
        }
        if (!inSheet_) fail("\"" + rawKey + "\" outside a [sheet] section");
        sheetKey(lower(rawKey), rawKey, value);
    }
    ++lineNo_;
    endSheet();
    return std::move(deck_);
}

}  // namespace

const std::string& Sheet::answerFor(const std::vector<std::string>& formatCommands) const {
    static const std::string kNone;
    const std::string* fallback = &kNone;
    for (const auto& [key, text] : answers) {
        if (key.empty()) {
            if (fallback == &kNone) fallback = &text;
            continue;
        }
        for (const std::string& c : formatCommands)
            if (c.compare(0, key.size(), key) == 0) return text;
    }
    return *fallback;
}

Sheet blankSheet(int lines, uint8_t level) {
    Sheet s;
    s.syncCount = std::clamp(lines, 1, kMaxLines);
    GrayLine l;
    l.fill(std::min<uint8_t>(level, 15));
    s.gray.assign(static_cast<size_t>(s.syncCount), l);
    return s;
}

Deck parseDeck(const std::string& text, const std::string& sourceName) {
    return Parser(sourceName).parse(text);
}

Deck loadDeckFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) throw DeckError(path + ": cannot open the deck file");
    std::ostringstream text;
    text << f.rdbuf();
    if (f.bad()) throw DeckError(path + ": cannot read the deck file");
    return parseDeck(text.str(), path);
}

std::string writeDeck(const Deck& deck) {
    static const char* const kHex = "0123456789ABCDEF";
    std::ostringstream out;
    for (size_t i = 0; i < deck.sheets.size(); ++i) {
        const Sheet& s = deck.sheets[i];
        out << "\n[sheet]\t; " << (i + 1) << "\n";
        out << "sync = " << s.syncCount << "\n";
        if (s.pitch != Sheet{}.pitch) out << "pitch = " << s.pitch << "\n";
        if (!s.fault.empty()) out << "fault = " << s.fault << "\n";
        if (!s.extra.empty()) out << "extra = \"" << s.extra << "\"\n";
        for (const auto& [key, text] : s.answers)
            out << (key.empty() ? "answer" : "answer[" + key + "]") << " = \"" << text << "\"\n";
        for (size_t l = 0; l < s.gray.size(); ++l) {
            const GrayLine& g = s.gray[l];
            if (std::all_of(g.begin(), g.end(), [](uint8_t v) { return v == 0; })) continue;
            out << "line." << (l + 1) << " = ";
            for (uint8_t v : g) out << kHex[v & 15];
            out << "\n";
        }
    }
    return out.str();
}

}  // namespace vazsim
