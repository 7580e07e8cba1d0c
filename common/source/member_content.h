// What a member's bytes are: workstation text, EBCDIC text copied in binary from the
// mainframe, or no text at all. Decided from the bytes alone, before the member is read.
#ifndef KVR_SOURCE_MEMBER_CONTENT_H
#define KVR_SOURCE_MEMBER_CONTENT_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace kvr {

// The length of a mainframe card: the record length of EBCDIC members.
inline constexpr size_t kEbcdicRecordLength = 80;

enum class MemberKind { Text, EbcdicText, NotText };

struct MemberContent {
    MemberKind kind = MemberKind::Text;
    std::string bytes; // EbcdicText: the member, at most maxBytes + one record
    std::string what;  // NotText: what the bytes look like ("binary data", "UTF-16 text", ...)
};

// Looks at the member open on stream (at its start, nothing read yet) without moving it.
// Only a member that may be EBCDIC is read whole; others are judged by their first 4 KiB.
MemberContent ClassifyMember(FILE* stream, int64_t maxBytes);

// The rules themselves, on bytes in memory: what the first bytes of a member show (an
// archive, UTF-16, binary data) and whether a whole member is EBCDIC text.
MemberKind KindOfSample(std::string_view sample, std::string& what);
bool IsEbcdicText(std::string_view member);

} // namespace kvr

#endif
