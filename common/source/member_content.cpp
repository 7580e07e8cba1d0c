// Recognising a member's content by its bytes. Members kept on a workstation are text with
// line ends; a member copied in binary from the mainframe keeps its EBCDIC records; and a
// file list may also name an archive, a program or a document saved as UTF-16. Only what
// no workstation text can look like counts as EBCDIC or as no text, so every text member
// is read exactly as before.
#include "source/member_content.h"

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace kvr {
namespace {

constexpr size_t kSampleBytes = 4096;

constexpr unsigned char kEbcdicBlank = 0x40;
constexpr unsigned char kEbcdicSlash = 0x61;
constexpr unsigned char kEbcdicAsterisk = 0x5C;

unsigned char At(std::string_view bytes, size_t index) {
    return static_cast<unsigned char>(bytes[index]);
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

// Reads up to count bytes at offset without moving the stream's position.
std::string ReadAt(int fd, int64_t offset, size_t count) {
    std::string bytes(count, '\0');
    size_t done = 0;
    while (done < count) {
        const ssize_t got = pread(fd, bytes.data() + done, count - done, offset + done);
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

// Well-formed UTF-8 (plain ASCII included): the sequences of two to four bytes that
// decode to a character, no overlong forms, no surrogates.
bool IsUtf8(std::string_view bytes) {
    size_t index = 0;
    while (index < bytes.size()) {
        const unsigned char lead = At(bytes, index);
        size_t length = 1;
        unsigned char low = 0x80, high = 0xBF; // the range of the second byte
        if (lead < 0x80) {
            ++index;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (index + length > bytes.size()) return false;
        if (At(bytes, index + 1) < low || At(bytes, index + 1) > high) return false;
        for (size_t next = 2; next < length; ++next)
            if ((At(bytes, index + next) & 0xC0) != 0x80) return false;
        index += length;
    }
    return true;
}

// UTF-16 without a byte order mark: the text of JCL is ASCII, so one byte of nearly every
// pair is zero and the other nearly never.
bool LooksLikeUtf16(std::string_view sample) {
    const size_t pairs = sample.size() / 2;
    if (pairs < 2) return false;
    size_t evenZeros = 0, oddZeros = 0;
    for (size_t pair = 0; pair < pairs; ++pair) {
        evenZeros += At(sample, 2 * pair) == 0;
        oddZeros += At(sample, 2 * pair + 1) == 0;
    }
    const auto most = [pairs](size_t zeros) { return zeros * 10 >= pairs * 8; };
    const auto few = [pairs](size_t zeros) { return zeros * 20 <= pairs; };
    return (most(evenZeros) && few(oddZeros)) || (most(oddZeros) && few(evenZeros));
}

// Control bytes that text does not hold: all below the blank but tab, line feed, form feed,
// carriage return and the end-of-file mark 0x1A that old editors leave.
bool IsForeignControl(unsigned char byte) {
    return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\f' && byte != '\r' &&
           byte != 0x1A;
}

// More than one byte in twenty a control byte: a text with a stray control byte in its
// in-stream data is still text, a program or compressed data is not.
bool LooksLikeBinary(std::string_view sample) {
    size_t controls = 0;
    for (char byte : sample)
        controls += IsForeignControl(static_cast<unsigned char>(byte));
    return controls * 20 > sample.size();
}

} // namespace

bool IsEbcdicText(std::string_view member) {
    // The first record is a JCL card: "//" or "/*" in EBCDIC.
    if (member.size() < 2 || At(member, 0) != kEbcdicSlash ||
        (At(member, 1) != kEbcdicSlash && At(member, 1) != kEbcdicAsterisk))
        return false;
    // No byte below the EBCDIC blank: no line end, no ASCII blank, no control byte.
    size_t blanks = 0;
    for (char byte : member) {
        const unsigned char value = static_cast<unsigned char>(byte);
        if (value < kEbcdicBlank) return false;
        blanks += value == kEbcdicBlank;
    }
    // Cards are mostly blank; and a member that is UTF-8 (or ASCII) is workstation text.
    return blanks * 5 >= member.size() && !IsUtf8(member);
}

MemberKind KindOfSample(std::string_view sample, std::string& what) {
    struct Signature {
        std::string_view bytes;
        const char* what;
    };
    // Longer signatures first: the UTF-32 marks begin with those of UTF-16.
    static constexpr Signature kSignatures[] = {
        {std::string_view("PK\x03\x04", 4), "a zip archive"},
        {std::string_view("PK\x05\x06", 4), "a zip archive"},
        {std::string_view("\x1F\x8B", 2), "a gzip archive"},
        {std::string_view("\xFF\xFE\x00\x00", 4), "UTF-32 text"},
        {std::string_view("\x00\x00\xFE\xFF", 4), "UTF-32 text"},
        {std::string_view("\xFF\xFE", 2), "UTF-16 text"},
        {std::string_view("\xFE\xFF", 2), "UTF-16 text"},
    };
    for (const Signature& signature : kSignatures) {
        if (StartsWith(sample, signature.bytes)) {
            what = signature.what;
            return MemberKind::NotText;
        }
    }
    if (LooksLikeUtf16(sample)) {
        what = "UTF-16 text";
        return MemberKind::NotText;
    }
    if (LooksLikeBinary(sample)) {
        what = "binary data";
        return MemberKind::NotText;
    }
    return MemberKind::Text;
}

MemberContent ClassifyMember(FILE* stream, int64_t maxBytes) {
    MemberContent content;
    const int fd = fileno(stream);
    const std::string sample = ReadAt(fd, 0, kSampleBytes);
    // The first 4 KiB of an EBCDIC member pass the test too (a UTF-8 sequence cut at their
    // end makes no difference: the whole member decides).
    if (IsEbcdicText(sample)) {
        struct stat status {};
        const int64_t size = fstat(fd, &status) == 0 ? status.st_size : 0;
        const int64_t wanted = std::min(size, maxBytes + int64_t{kEbcdicRecordLength});
        std::string whole =
            sample.size() < kSampleBytes ? sample : ReadAt(fd, 0, static_cast<size_t>(wanted));
        if (IsEbcdicText(whole)) {
            content.kind = MemberKind::EbcdicText;
            content.bytes = std::move(whole);
            return content;
        }
    }
    content.kind = KindOfSample(sample, content.what);
    return content;
}

} // namespace kvr
