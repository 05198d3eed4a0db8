// What the read-card test asks the reader for and writes into its log.
#pragma once

#include <QByteArray>
#include <QString>

#include "device_table.h"
#include "vaz.h"

namespace cardlog {

// The answer text of one card: the card data the reader gives for
// "r A 0001 2048/" plus the "G/" supplement of a format with an "f" line,
// and the terminator. The largest the library may deliver fits.
constexpr int kAnswerBufferSize = VAZ_REPLY_SIZE;
static_assert(kAnswerBufferSize >= VAZ_CARD_DATA_MAX + VAZ_SUPPLEMENT_MAX + 1);

inline constexpr const char* kReadCard = "R/";
inline constexpr const char* kReadStandardCard = "/";
inline constexpr const char* kSyncCount = "r A/";
inline constexpr const char* kAnswerBlock = "r A 0001 2048/";

// The sync mark count in the reader's four-digit reply ("0073"); 0 when
// the reply starts with no digit.
int syncCountFromReply(const char* reply);

// After a card was read ("R/" or "/"): its sync mark count ("r A/") and its
// answer text ("r A 0001 2048/"), fetched as one exchange that no other
// caller of the reader interleaves.
enum class CardText {
    Fetched,
    NoSyncCount,   // "r A/" refused, or a count of 0
    BlockRefused,  // "r A 0001 2048/" refused: the reader's error waits
    NoData,        // the answer text did not come
};
struct CardData {
    int syncCount = 0;
    QByteArray answer;
};
CardText fetchCardText(const DeviceFunctionTable& device, CardData& data);

// The log entry of a card read in a run (string 129) and of a standard
// answer card (string 159); `answer` is the reader's text as it came.
QString runEntry(int card, int syncCount, const QByteArray& answer);
QString standardEntry(int syncCount, const QByteArray& answer);

}  // namespace cardlog
