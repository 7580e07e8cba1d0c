// EBCDIC members. A member copied in binary keeps the mainframe's fixed 80-byte records; it
// is read as the same member transferred as text would be: each record converted by iconv
// from the EBCDIC code page (IBM-1047 unless -eb names another) to the workstation code
// page, its trailing blanks dropped, and ended by a line feed. The lines then go through the
// reading of text members, so both copies give the same analysis byte for byte.
#include "source/ebcdic_members.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "kvrbase.h"
#include "locale/dbcs.h"
#include "source/member_content.h"

namespace kvr {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
constexpr char kDefaultEbcdicCodePage[] = "IBM1047";
constexpr char kDefaultWorkstationCodePage[] = "CP1252";
// What a character stands as that the workstation code page does not have.
constexpr char kSubstitute = '?';

std::string sEbcdicCodePage = kDefaultEbcdicCodePage;

// One converter, kept while the code pages it was opened for stay the same. When iconv
// turns every byte into one byte (single-byte code pages both), its mapping is kept as a
// table, which converts a record many times faster than a call of iconv does.
struct Converter {
    std::string from;
    std::string to;
    iconv_t cd = kNoConverter;
    bool byTable = false;
    std::array<char, 256> table{};
};
Converter sConverter;

// iconv's mapping byte by byte; false when some byte becomes more or less than one byte.
bool FillTable(Converter& converter) {
    for (int byte = 0; byte < 256; ++byte) {
        char in = static_cast<char>(byte);
        char out[8];
        char* inPointer = &in;
        char* outPointer = out;
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(converter.cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(converter.cd, &inPointer, &inLeft, &outPointer, &outLeft) ==
            static_cast<size_t>(-1)) {
            if (errno != EILSEQ) return false; // a byte that starts a longer sequence
            converter.table[static_cast<size_t>(byte)] = kSubstitute;
            continue;
        }
        if (outPointer - out != 1) return false;
        converter.table[static_cast<size_t>(byte)] = out[0];
    }
    return true;
}

// The workstation code page under iconv's name: that of the run (LANG, -cp).
std::string WorkstationCodePage() {
    if (const char* dbcs = IconvNameOfDbcs(KVRDBCS_GetEnvironment(nullptr))) return dbcs;
    const char* codePage = KVRDBCS_GetCodepage(nullptr);
    return codePage != nullptr && *codePage != '\0' ? codePage : kDefaultWorkstationCodePage;
}

iconv_t CurrentConverter() {
    const std::string to = WorkstationCodePage();
    if (sConverter.cd != kNoConverter && sConverter.from == sEbcdicCodePage && sConverter.to == to)
        return sConverter.cd;
    if (sConverter.cd != kNoConverter) iconv_close(sConverter.cd);
    sConverter = Converter{sEbcdicCodePage, to, iconv_open(to.c_str(), sEbcdicCodePage.c_str())};
    // A workstation code page iconv does not know is taken for the usual one, as the XML
    // import file takes it.
    if (sConverter.cd == kNoConverter)
        sConverter.cd = iconv_open(kDefaultWorkstationCodePage, sEbcdicCodePage.c_str());
    if (sConverter.cd != kNoConverter) sConverter.byTable = FillTable(sConverter);
    return sConverter.cd;
}

void AppendConverted(const Converter& converter, std::string_view record, char* converted,
                     size_t& length) {
    if (converter.byTable) {
        for (char byte : record)
            converted[length++] = converter.table[static_cast<unsigned char>(byte)];
        return;
    }
    char* in = const_cast<char*>(record.data());
    size_t inLeft = record.size();
    char* out = converted;
    size_t outLeft = kEbcdicRecordLength * 4 + 16;
    iconv(converter.cd, nullptr, nullptr, nullptr, nullptr); // each record starts afresh
    while (inLeft > 0) {
        if (iconv(converter.cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1)) break;
        if (errno == E2BIG || outLeft == 0) break; // cannot happen: 4 bytes a character
        *out++ = kSubstitute;                      // a character without a workstation form
        --outLeft;
        ++in;
        --inLeft;
    }
    length = static_cast<size_t>(out - converted);
}

// One record converted and appended to text as a line without its trailing blanks.
void AppendRecord(const Converter& converter, std::string_view record, std::string& text) {
    char converted[kEbcdicRecordLength * 4 + 16];
    size_t length = 0;
    AppendConverted(converter, record, converted, length);
    while (length > 0 && converted[length - 1] == ' ')
        --length;
    text.append(converted, length);
    text.push_back('\n');
}

} // namespace

bool ConvertEbcdicRecords(std::string_view records, std::string& text, std::string& failure) {
    if (CurrentConverter() == kNoConverter) {
        failure = "EBCDIC text, but iconv cannot convert from the code page " + sEbcdicCodePage;
        return false;
    }
    text.clear();
    text.reserve(records.size() + records.size() / kEbcdicRecordLength + 1);
    // A short last record (a copy cut short) is read as far as it goes.
    for (size_t start = 0; start < records.size(); start += kEbcdicRecordLength)
        AppendRecord(sConverter, records.substr(start, kEbcdicRecordLength), text);
    return true;
}

FILE* OpenEbcdicAsText(std::string_view records, std::string& failure) {
    std::string text;
    if (!ConvertEbcdicRecords(records, text, failure)) return nullptr;
    // A stream that owns its buffer and frees it when closed; it ends where the text ends.
    FILE* stream = fmemopen(nullptr, text.size(), "w+");
    if (stream == nullptr) {
        failure = "EBCDIC text, but no memory to convert it";
        return nullptr;
    }
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size()) {
        std::fclose(stream);
        failure = "EBCDIC text, but no memory to convert it";
        return nullptr;
    }
    std::rewind(stream);
    return stream;
}

} // namespace kvr

using namespace kvr;

extern "C" {

KVR_API void KVR_SetEbcdicCodePage(const char* pCodePage) {
    sEbcdicCodePage =
        pCodePage != nullptr && *pCodePage != '\0' ? pCodePage : kDefaultEbcdicCodePage;
}

KVR_API const char* KVR_GetEbcdicCodePage(void) {
    return sEbcdicCodePage.c_str();
}

} // extern "C"
