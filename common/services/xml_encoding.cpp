// The character encoding of an XML import file. XML parsers read a document without an
// encoding declaration as UTF-8, so the records of an XML import file are written in UTF-8:
// bytes of the run's code page are converted with iconv, byte sequences that already are
// UTF-8 pass as they are (under a single-byte code page; members kept on a workstation are
// often UTF-8), and whatever XML cannot carry (a control character other than tab, line
// feed and carriage return, a byte the code page does not define, a double-byte character
// cut in half) becomes U+FFFD. Records of plain ASCII are written untouched.
#include "services/xml_encoding.h"

#include <iconv.h>

#include <cstring>
#include <string>

#include "locale/dbcs.h"

namespace kvr {
namespace {

constexpr char kSubstitute[] = "\xEF\xBF\xBD"; // U+FFFD REPLACEMENT CHARACTER
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

struct Converter {
    std::string codePage; // the process code page the converter was opened for
    iconv_t cd = kNoConverter;
    DBCSENV env = DBCSENV_FALSE;
    bool utf8 = false;     // the code page is UTF-8 itself
    bool passUtf8 = false; // UTF-8 sequences pass under a single-byte code page
};

Converter sConverter;

bool IsUtf8Name(const std::string& name) {
    std::string upper;
    for (char c : name)
        if (c != '-' && c != '_') upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return upper == "UTF8";
}

// Opens the converter for the process code page when it changed since the last record.
Converter& CurrentConverter() {
    const char* codePage = KVRDBCS_GetCodepage(nullptr);
    if (codePage == nullptr) codePage = "";
    if (sConverter.cd != kNoConverter && sConverter.codePage == codePage) return sConverter;
    if (sConverter.cd != kNoConverter) iconv_close(sConverter.cd);
    sConverter = Converter{};
    sConverter.codePage = codePage;
    sConverter.env = KVRDBCS_GetEnvironment(nullptr);
    sConverter.utf8 = IsUtf8Name(sConverter.codePage);
    const char* name = IconvNameOfDbcs(sConverter.env);
    if (name == nullptr && !sConverter.utf8 && !sConverter.codePage.empty())
        name = sConverter.codePage.c_str();
    sConverter.cd = iconv_open("UTF-8", name != nullptr ? name : "CP1252");
    // A code page the converter does not know is read as the workstation's usual one.
    if (sConverter.cd == kNoConverter) sConverter.cd = iconv_open("UTF-8", "CP1252");
    sConverter.passUtf8 = !sConverter.utf8 && IconvNameOfDbcs(sConverter.env) == nullptr;
    return sConverter;
}

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length of a well-formed UTF-8 sequence of two to four bytes at p that stands for a
// character XML allows, or 0.
size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
    const size_t available = static_cast<size_t>(end - p);
    uint32_t code = 0;
    size_t length = 0;
    if (p[0] >= 0xC2 && p[0] <= 0xDF) {
        length = 2;
        code = p[0] & 0x1Fu;
    } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
        length = 3;
        code = p[0] & 0x0Fu;
    } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
        length = 4;
        code = p[0] & 0x07u;
    } else {
        return 0;
    }
    if (available < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        if (!IsContinuation(p[i])) return 0;
        code = (code << 6) | (p[i] & 0x3Fu);
    }
    const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF) return 0; // overlong or too large
    if (code >= 0xD800 && code <= 0xDFFF) return 0;           // surrogates
    if (code == 0xFFFE || code == 0xFFFF) return 0;           // not characters
    return length;
}

// Converts one character of the code page (one byte, or a lead byte and its partner);
// answers the bytes it used, 0 when it could not be converted.
size_t ConvertCharacter(Converter& converter, const unsigned char* p, const unsigned char* end,
                        FILE* file) {
    if (converter.cd == kNoConverter) return 0;
    size_t length = 1;
    if (IsDbcsLeadByte(converter.env, p[0])) length = end - p >= 2 ? 2 : 0;
    if (length == 0) return 0; // a lead byte without its partner
    char in[2] = {static_cast<char>(p[0]), length == 2 ? static_cast<char>(p[1]) : '\0'};
    char out[16];
    char* inPointer = in;
    char* outPointer = out;
    size_t inLeft = length;
    size_t outLeft = sizeof out;
    iconv(converter.cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter.cd, &inPointer, &inLeft, &outPointer, &outLeft) ==
            static_cast<size_t>(-1) ||
        inLeft != 0)
        return 0;
    const size_t produced = sizeof out - outLeft;
    for (size_t i = 0; i < produced; ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return 0; // no XML character
    }
    std::fwrite(out, 1, produced, file);
    return length;
}

bool IsPlainText(const char* record) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(record); *p != '\0'; ++p)
        if (*p >= 0x80 || (*p < 0x20 && *p != '\t')) return false;
    return true;
}

} // namespace

void WriteXmlRecord(FILE* file, const char* record) {
    if (IsPlainText(record)) {
        std::fputs(record, file);
        return;
    }
    Converter& converter = CurrentConverter();
    const auto* p = reinterpret_cast<const unsigned char*>(record);
    const unsigned char* end = p + std::strlen(record);
    while (p < end) {
        if (*p < 0x80) {
            const bool allowed = *p >= 0x20 || *p == '\t' || *p == '\n' || *p == '\r';
            if (allowed)
                std::fputc(*p, file);
            else
                std::fputs(kSubstitute, file);
            ++p;
            continue;
        }
        if (converter.utf8 || converter.passUtf8) {
            if (const size_t length = Utf8SequenceLength(p, end)) {
                std::fwrite(p, 1, length, file);
                p += length;
                continue;
            }
        }
        const size_t used = converter.utf8 ? 0 : ConvertCharacter(converter, p, end, file);
        if (used == 0) {
            std::fputs(kSubstitute, file);
            ++p;
        } else {
            p += used;
        }
    }
}

void ResetXmlEncodingForTests() {
    if (sConverter.cd != kNoConverter) iconv_close(sConverter.cd);
    sConverter = Converter{};
}

} // namespace kvr
