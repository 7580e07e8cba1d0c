// Precision and scale of a PL/I numeric picture string, for analyzers of PL/I sources.
// Digit positions are counted one character at a time; a repetition factor "(n)" repeats
// the character before it. A picture that is not understood yields 0 and 0.
#include "kvrbase.h"

#include <cstdint>
#include <cstring>

namespace kvr {
namespace {

// How the walk over a picture ends.
enum class PictureEnd { Running, Stop, GiveUp };

struct PictureScan {
    const char* text;
    uint32_t length; // usLen: no character at or beyond it is read
    uint32_t pos = 0;
    int64_t precision = 0;
    int64_t scale = 0;
    bool afterV = false;
    bool signSeen = false;
};

bool HasChar(const PictureScan& scan, uint32_t pos) {
    return pos < scan.length && scan.text[pos] != '\0';
}

void CountOne(PictureScan& scan) {
    ++scan.precision;
    if (scan.afterV) ++scan.scale;
}

// Reads "(n)" at scan.pos: n must be one to nine decimal digits closed by ")" within the
// picture. Leaves pos on the ")" and adds n - 1 (the character before was counted once).
PictureEnd ReadRepetition(PictureScan& scan) {
    uint32_t pos = scan.pos + 1;
    int64_t factor = 0;
    uint32_t digits = 0;
    while (HasChar(scan, pos) && scan.text[pos] != ')') {
        const char c = scan.text[pos];
        if (c < '0' || c > '9' || digits == 9) return PictureEnd::GiveUp;
        factor = factor * 10 + (c - '0');
        ++digits;
        ++pos;
    }
    if (!HasChar(scan, pos) || digits == 0) return PictureEnd::GiveUp;
    scan.precision += factor - 1;
    if (scan.afterV) scan.scale += factor - 1;
    scan.pos = pos;
    return PictureEnd::Running;
}

// Two-character signs CR and DB: the second letter must follow, else the picture is foreign.
PictureEnd SkipPair(PictureScan& scan, char upperSecond) {
    const uint32_t next = scan.pos + 1;
    if (!HasChar(scan, next)) return PictureEnd::GiveUp;
    const char c = scan.text[next];
    if (c != upperSecond && c != upperSecond - 'A' + 'a') return PictureEnd::GiveUp;
    scan.pos = next;
    return PictureEnd::Running;
}

// An inserted text "<...>": skip through the closing ">". Without one the text runs to the
// end of the picture, which ends the walk here (stepping on from the terminator would read
// past it).
PictureEnd SkipInsertedText(PictureScan& scan) {
    uint32_t pos = scan.pos + 1;
    while (HasChar(scan, pos) && scan.text[pos] != '>')
        ++pos;
    if (!HasChar(scan, pos)) return PictureEnd::Stop;
    scan.pos = pos;
    return PictureEnd::Running;
}

bool IsOneOf(const char* set, char c) {
    return c != '\0' && std::strchr(set, c) != nullptr;
}

PictureEnd HandleChar(PictureScan& scan) {
    const char c = scan.text[scan.pos];
    if (IsOneOf("$+-Ss", c)) {
        // The first character of a drifting string is not a digit position.
        if (scan.signSeen) CountOne(scan);
        scan.signSeen = true;
        return PictureEnd::Running;
    }
    if (c == '(') return ReadRepetition(scan);
    if (IsOneOf("9Z*YTIR>zytir", c)) {
        CountOne(scan);
        return PictureEnd::Running;
    }
    if (IsOneOf(",./Bb", c)) return PictureEnd::Running; // insertion characters
    if (c == '<') return SkipInsertedText(scan);
    if (IsOneOf("Cc", c)) return SkipPair(scan, 'R');
    if (IsOneOf("Dd", c)) return SkipPair(scan, 'B');
    if (IsOneOf("EFKefk", c)) return PictureEnd::Stop; // exponent or scaling factor
    if (IsOneOf("Vv", c)) {
        scan.afterV = true;
        return PictureEnd::Running;
    }
    return PictureEnd::GiveUp;
}

// Runs the walk. Counts are kept wide (a factor can reach 999999999); a final count that
// leaves the 16-bit range cannot be reported and is treated like a foreign picture.
PictureEnd ScanPicture(PictureScan& scan) {
    PictureEnd end = PictureEnd::Stop;
    for (; HasChar(scan, scan.pos); ++scan.pos) {
        end = HandleChar(scan);
        if (end != PictureEnd::Running) break;
        end = PictureEnd::Stop;
    }
    if (end == PictureEnd::Stop && (scan.precision < 0 || scan.precision > UINT16_MAX ||
                                    scan.scale < 0 || scan.scale > UINT16_MAX)) {
        end = PictureEnd::GiveUp;
    }
    return end;
}

} // namespace
} // namespace kvr

void KVRCountPLIPIC(const char* picString, uint16_t usLen, uint16_t* pPrecision, uint16_t* pScale) {
    uint16_t precision = 0;
    uint16_t scale = 0;
    if (picString != nullptr) {
        kvr::PictureScan scan{picString, usLen};
        if (kvr::ScanPicture(scan) == kvr::PictureEnd::Stop) {
            precision = static_cast<uint16_t>(scan.precision);
            scale = static_cast<uint16_t>(scan.scale);
        }
    }
    if (pPrecision != nullptr) *pPrecision = precision;
    if (pScale != nullptr) *pScale = scale;
}
