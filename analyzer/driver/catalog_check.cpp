// The catalog check: every message number the program raises (the table of message_ids.h)
// must have a text whose identifier carries the expected severity letter.
#include "driver/catalog_check.h"

#include <cstdio>
#include <span>

#include "driver/run_settings.h"
#include "kvrbase.h"
#include "message_ids.h"

namespace kvr {
namespace {

constexpr size_t kTextSize = 512;
constexpr size_t kLetterPosition = 7;

// The first message of the table without its text and letter, or null.
const MessageId* FirstMissing(std::span<const MessageId> messages) {
    for (const MessageId& message : messages) {
        char text[kTextSize] = {};
        KVRGetMessageText(text, message.number, nullptr, nullptr, nullptr, nullptr);
        if (text[kLetterPosition] != message.letter) return &message;
    }
    return nullptr;
}

} // namespace

bool MessageCatalogIsUsable(int16_t iProcessingMode) {
    const std::span<const MessageId> messages = iProcessingMode == kModeVelkor
                                                    ? std::span<const MessageId>(kVelkorMessages)
                                                    : std::span<const MessageId>(kStandardMessages);
    const MessageId* missing = FirstMissing(messages);
    if (missing == nullptr) return true;
    char where[kTextSize] = {};
    KVRDescribeMessageCatalog(where, sizeof where);
    std::fprintf(stderr,
                 "kvr4000: the message catalog %s is missing, empty, unreadable or incomplete "
                 "(no message %u with severity %c); set KVRMSGPATH to the folder of the "
                 "catalogs.\n",
                 where, static_cast<unsigned>(missing->number), missing->letter);
    return false;
}

} // namespace kvr
