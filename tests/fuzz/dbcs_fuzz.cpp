// Fuzzes the double-byte environment: an arbitrary code-page name, target text and
// character list through KVRDBCS_SetEnvironment, KVRDBCS_IsDBCS and KVRDBCS_Validate.
// Validate must never grow a text, and with repairs on must leave no control byte
// outside a double-byte character except the shift bytes it was told to keep.
#include <cstring>

#include "fuzz_support.h"
#include "locale/dbcs.h"

namespace {

using kvr::fuzz::Require;

void CheckValidate(KVRDBCSHDL* handle, const std::string& text, uint16_t modify) {
    std::string buffer = text;
    char* start = buffer.data();
    const size_t before = std::strlen(start);
    char* result = KVRDBCS_Validate(handle, start, modify);
    const size_t after = std::strlen(start);
    Require(after <= before);
    Require(result == nullptr || (result >= start && result < start + before));
    if (modify == 0) {
        Require(after == before && buffer == text);
        return;
    }
    const DBCSENV env = KVRDBCS_GetEnvironment(handle);
    for (size_t i = 0; i < after; ++i) {
        const auto byte = static_cast<unsigned char>(start[i]);
        if (kvr::IsDbcsLeadByte(env, byte) && i + 1 < after) {
            ++i; // the trail byte belongs to the character
            continue;
        }
        if (byte >= 0x20) continue;
        const bool shift = byte == 0x1E || byte == 0x1F;
        if (env != DBCSENV_FALSE && shift) {
            Require(!(modify & 2)); // removed when asked
            continue;
        }
        Require(!(modify & 1)); // any other control byte is replaced by a blank
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Three texts split at 0xFF bytes (each ending early at a NUL).
    const auto parts = kvr::fuzz::SplitInput(data, size, "\xFF", 3);
    const std::string codePage = kvr::fuzz::CText(parts[0]);
    const std::string target = kvr::fuzz::CText(parts[1]);
    const std::string list = kvr::fuzz::CText(parts[2]);

    // The low bits of the first byte pick the handle and, mostly, a known code page so
    // that the double-byte paths are reached; otherwise the first text names it.
    static const char* const kKnown[] = {"ms-932", "KSC", "windows_936", "cp950"};
    const uint8_t selector = size > 0 ? data[0] : 0;
    KVRDBCSHDL own{};
    KVRDBCSHDL* handle = (selector & 1) ? nullptr : &own;
    const int pick = (selector >> 1) & 7;
    KVRDBCS_SetEnvironment(handle, pick < 4 ? kKnown[pick] : codePage.c_str());
    Require(std::strlen(KVRDBCS_GetCodepage(handle)) < sizeof own.chcodepage);
    Require(KVRDBCS_GetEnvironment(handle) <= DBCSENV_FALSE);

    const int32_t found = KVRDBCS_IsDBCS(handle, target.c_str(), list.c_str());
    if (list.empty()) {
        Require(found == 0 || found == 1);
    } else if (found != 0) {
        Require(found >= 0x20 && found <= 0x7E &&
                list.find(static_cast<char>(found)) != std::string::npos);
    }
    KVRDBCS_IsDBCS(handle, target.c_str(), nullptr);

    for (uint16_t modify = 0; modify <= 4; ++modify)
        CheckValidate(handle, target, modify);
    KVRDBCS_SetEnvironment(nullptr, nullptr);
    return 0;
}
