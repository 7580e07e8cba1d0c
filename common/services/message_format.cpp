// Placing insert texts into a catalog message: %1..%4 take the inserts and %% gives a
// percent sign, always bounded by the caller's buffer. This stands in for the platform
// message formatter, with the same view of an insert array that ends early.
#include "services/messages.h"

namespace kvr {

size_t InsertCount(const char* const* table, size_t size) {
    if (table == nullptr) return 0;
    size_t count = size;
    while (count > 0 && table[count - 1] == nullptr)
        --count;
    return count;
}

size_t FormatMessageInserts(const char* text, const char* const* inserts, size_t insertCount,
                            char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return 0;
    const size_t limit = outSize - 1;
    size_t length = 0;
    auto append = [&](const char* piece, size_t count) {
        for (size_t i = 0; i < count && piece[i] != '\0' && length < limit; ++i) {
            out[length++] = piece[i];
        }
    };

    for (const char* p = text ? text : ""; *p != '\0' && length < limit;) {
        if (p[0] == '%' && p[1] == '%') {
            append("%", 1);
            p += 2;
            continue;
        }
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '4') {
            const size_t index = static_cast<size_t>(p[1] - '1');
            if (index < insertCount && inserts != nullptr) {
                const char* insert = inserts[index];
                append(insert ? insert : "", static_cast<size_t>(-1));
                p += 2;
                continue;
            }
        }
        append(p, 1);
        ++p;
    }
    out[length] = '\0';
    return length;
}

} // namespace kvr
