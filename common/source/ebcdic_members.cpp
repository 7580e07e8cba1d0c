// EBCDIC members. A member copied in binary keeps the mainframe's fixed 80-byte records; it
// is read as the same member transferred as text would be: each record converted by iconv
// from the EBCDIC code page (IBM-1047 unless -eb names another) to the workstation code
// page, its trailing blanks dropped, and ended by a line feed. The lines then go through the
// reading of text members, so both copies give the same analysis byte for byte.
#include "source/ebcdic_members.h"

#include <iconv.h>

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

// One converter, kept while the code pages it was opened for stay the same.
struct Converter {
    std::string from;
    std::string to;
    iconv_t cd = kNoConverter;
};
Converter sConverter;

// The workstation code page under iconv's name: that of the run (LANG, -cp).
std::string WorkstationCodePage() {
    if (const char* dbcs = IconvNameOfDbcs(KVRDBCS_GetEnvironment(nullptr))) return dbcs;
    const char* codePage = KVRDBCS_GetCodepage(nullptr);
    return codePage != nullptr && *codePage != '\0' ? codePage : kDefaultWorkstationCodePage;
}

iconv_t CurrentConverter() {
    const std::string to = WorkstationCodePage();
    if (sConverter.cd != kNoConverter && sConverter.from == sEbcdicCodePage &&
        sConverter.to == to)
        return sConverter.cd;
    if (sConverter.cd != kNoConverter) iconv_close(sConverter.cd);
    sConverter = Converter{sEbcdicCodePage, to, iconv_open(to.c_str(), sEbcdicCodePage.c_str())};
    // A workstation code page iconv does not know is taken for the usual one, as the XML
    // import file takes it.
    if (sConverter.cd == kNoConverter)
        sConverter.cd = iconv_open(kDefaultWorkstationCodePage, sEbcdicCodePage.c_str());
    return sConverter.cd;
}

// One record converted and appended to text as a line without its trailing blanks.
void AppendRecord(iconv_t cd, std::string_view record, std::string& text) {
    char converted[kEbcdicRecordLength * 4 + 16];
    char* in = const_cast<char*>(record.data());
    size_t inLeft = record.size();
    char* out = converted;
    size_t outLeft = sizeof converted;
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // every record starts in the initial state
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1)) break;
        if (errno == E2BIG || outLeft == 0) break; // cannot happen: 4 bytes a character
        *out++ = kSubstitute;                       // a character without a workstation form
        --outLeft;
        ++in;
        --inLeft;
    }
    size_t length = static_cast<size_t>(out - converted);
    while (length > 0 && converted[length - 1] == ' ')
        --length;
    text.append(converted, length);
    text.push_back('\n');
}

} // namespace

bool ConvertEbcdicRecords(std::string_view records, std::string& text, std::string& failure) {
    const iconv_t cd = CurrentConverter();
    if (cd == kNoConverter) {
        failure = "EBCDIC text, but iconv cannot convert from the code page " + sEbcdicCodePage;
        return false;
    }
    text.clear();
    text.reserve(records.size() + records.size() / kEbcdicRecordLength + 1);
    // A short last record (a copy cut short) is read as far as it goes.
    for (size_t start = 0; start < records.size(); start += kEbcdicRecordLength)
        AppendRecord(cd, records.substr(start, kEbcdicRecordLength), text);
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
    sEbcdicCodePage = pCodePage != nullptr && *pCodePage != '\0' ? pCodePage
                                                                  : kDefaultEbcdicCodePage;
}

KVR_API const char* KVR_GetEbcdicCodePage(void) {
    return sEbcdicCodePage.c_str();
}

} // extern "C"
