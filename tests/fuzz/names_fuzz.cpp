// Drives the name routines with arbitrary text: every output must stay inside the buffer
// its caller provides, tokens must be terminated within their size, and the GDG test and
// root name must agree with a plain restatement of their rules. Input: two control bytes
// (flags and sizes), then the name.
#include <cstring>

#include "fuzz_support.h"

namespace {

using kvr::fuzz::Require;

bool ReferenceIsGDG(const std::string& name) {
    const size_t open = name.find('(');
    if (open == std::string::npos) return false;
    for (size_t i = open + 1; i < name.size(); ++i) {
        if (name[i] == ')') return true;
        if (std::strchr("0123456789+-", name[i]) == nullptr) return false;
    }
    return false;
}

void FuzzNormalizeName(const std::string& name, uint8_t flags, uint8_t size) {
    static const int32_t kLimits[] = {0, 8, 230, 255, 1024, 1025};
    std::vector<char> out(1025);
    const int16_t result =
        NormalizeName(name.c_str(), out.data(), kLimits[size % 6], flags & 1, (flags >> 1) & 1, 0);
    const size_t length = strnlen(out.data(), out.size());
    Require(length < out.size());
    Require(result == 0 || (result == 1 && std::strchr(out.data(), ' ') != nullptr));
}

void FuzzGetAToken(const std::string& text, uint8_t flags, uint8_t size) {
    const int32_t tokenSize = (flags & 0x80) ? 1 + size * 8 : 1 + size % 16;
    std::vector<char> token(static_cast<size_t>(tokenSize));
    const char* begin = text.c_str();
    const char* next =
        GetAToken(begin, tokenSize, token.data(), flags & 1, (flags >> 1) & 1, (flags >> 2) & 1);
    Require(std::memchr(token.data(), '\0', token.size()) != nullptr);
    Require(next >= begin && next <= begin + text.size());
    Require(std::strlen(token.data()) <= static_cast<size_t>(next - begin));
    // Walking the whole text token by token ends at its end or at a line feed.
    const char* walk = begin;
    for (size_t steps = 0; steps <= text.size() && *walk != '\0' && *walk != '\n'; ++steps)
        walk = GetAToken(walk, tokenSize, token.data(), 0, 1, 1);
    Require(*walk == '\0' || *walk == '\n');
}

void FuzzNameChecks(const std::string& name) {
    std::vector<char> quoted(name.size() + 3);
    CheckForSpaceInName(name.c_str(), quoted.data());
    Require(std::strlen(quoted.data()) <= name.size() + 2);
    if (KVRU996(name.c_str()) == 1) Require(!name.empty() && name.size() <= 254);
    if (KVRU997(name.c_str())) Require(!name.empty() && name.size() <= 254 && name[0] != ' ');
    if (name.size() <= 512) {
        Require((IsGDG(name.c_str(), 0) == TRUE) == ReferenceIsGDG(name));
        std::vector<char> copy(name.c_str(), name.c_str() + name.size() + 1);
        RootNameOfGDG(copy.data());
        Require(std::string(copy.data()) == name.substr(0, name.find('(')));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t flags = data[0];
    const uint8_t sizeByte = data[1];
    // Names are C strings: the text ends at the first NUL byte.
    std::string name(reinterpret_cast<const char*>(data + 2), size - 2);
    name.resize(std::strlen(name.c_str()));
    FuzzNormalizeName(name, flags, sizeByte);
    FuzzGetAToken(name, flags, sizeByte);
    FuzzNameChecks(name);
    return 0;
}
