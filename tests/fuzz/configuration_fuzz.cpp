// Reads arbitrary bytes as both configuration files and compares lookups of section/key
// pairs taken from the input with a small string-based reading of the same bytes; every
// lookup variant must agree with the plain value, and freeing returns every block.
#include <cstring>
#include <utility>

#include "fuzz_support.h"

namespace {

using kvr::fuzz::Require;

std::string Trim(const std::string& text) {
    const char* white = " \t\r\n";
    const size_t first = text.find_first_not_of(white);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(white) - first + 1);
}

using Section = std::pair<std::string, std::vector<std::pair<std::string, std::string>>>;

// The file as lines of at most 511 characters (each ending at its first NUL byte),
// read into sections the way the configuration format describes.
std::vector<Section> Model(const std::string& bytes) {
    std::vector<Section> sections;
    size_t current = 0;
    for (size_t at = 0; at < bytes.size();) {
        size_t end = at;
        while (end < bytes.size() && end - at < 511 && bytes[end] != '\n')
            ++end;
        if (end < bytes.size() && end - at < 511) ++end; // the line feed belongs to it
        std::string line = Trim(std::string(bytes.data() + at, end - at).c_str());
        at = end;
        if (sections.empty()) sections.push_back({"", {}});
        if (!line.empty() && line[0] == '#') continue;
        if (!line.empty() && line[0] == '[') {
            const size_t close = line.find(']');
            if (close == std::string::npos) continue;
            const std::string name = Trim(line.substr(1, close - 1)).substr(0, 255);
            current = sections.size();
            for (size_t i = 0; i < sections.size(); ++i)
                if (sections[i].first == name) current = std::min(current, i);
            if (current == sections.size()) sections.push_back({name, {}});
        } else if (const size_t equals = line.find('='); equals != std::string::npos) {
            sections[current].second.emplace_back(Trim(line.substr(0, equals)),
                                                  Trim(line.substr(equals + 1)));
        }
    }
    return sections;
}

std::string ModelValue(const std::vector<Section>& sections, const std::string& section,
                       const std::string& key) {
    for (const Section& s : sections)
        if (s.first == section) {
            for (const auto& pair : s.second)
                if (pair.first == key) return pair.second;
            return {};
        }
    return {};
}

void CheckCommon(const std::string& section, const std::string& key, const std::string& want) {
    char value[512];
    KVRU921_GetCommonCfgValue(section.c_str(), key.c_str(), value);
    Require(want == value);
    char cut[8];
    const int32_t full = KVRU921_GetCommonCfgValueN(section.c_str(), key.c_str(), cut, 4);
    Require(full == static_cast<int32_t>(want.size()));
    Require(want.substr(0, 4) == cut);
    Require(KVRU921_GetCommonCfgValueN(section.c_str(), key.c_str(), nullptr, 0) == full);

    const int32_t number = KVRU921_getCommonCfgNumericValue(section.c_str(), key.c_str(), -7);
    const long long parsed = std::strtoll(want.c_str(), nullptr, 10);
    if (want.empty() || want.size() > 15 || parsed < 1)
        Require(number == -7);
    else
        Require(number == (parsed > INT32_MAX ? INT32_MAX : parsed));

    const BOOLEAN flag = KVRU921_getCommonCfgBooleanValue(section.c_str(), key.c_str(), 7);
    if (want.empty())
        Require(flag == 7);
    else
        Require(flag == (std::strchr("yYTt1", want[0]) != nullptr ? TRUE : FALSE));
}

void CheckAnalyzers(const std::string& section, const std::string& key, const std::string& want) {
    char value[512];
    KVRU921_GetAnalyzersCfgValue(section.c_str(), key.c_str(), value);
    Require(want == value);
    char cut[4];
    const int32_t full = KVRU921_GetAnalyzersCfgValueN(section.c_str(), key.c_str(), cut, 2);
    Require(full == static_cast<int32_t>(want.size()) && want.substr(0, 2) == cut);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = (kvr::fuzz::Folder() / "cfg").string();
    kvr::fuzz::WriteBytes(path, bytes);
    ::setenv("DD:KVRCFG", path.c_str(), 1);
    ::setenv("DD:KVRANLZ", path.c_str(), 1);

    const int32_t before = kvr::fuzz::Outstanding();
    KVRU921_InitializeCommonCfgList(0);
    KVRU921_InitializeAnalyzersCfgList(0);
    KVRU921_ReadCommonCfg(0);
    KVRU921_ReadAnalyzersCfg(0);

    // Every section with its first and last key, and a few names that may not exist.
    const std::vector<Section> model = Model(bytes);
    std::vector<std::pair<std::string, std::string>> probes = {{"", "K"}, {"S", "K"}, {"", ""}};
    for (const Section& section : model) {
        probes.emplace_back(section.first, "K");
        if (!section.second.empty()) {
            probes.emplace_back(section.first, section.second.front().first);
            probes.emplace_back(section.first, section.second.back().first);
        }
    }
    for (const auto& [section, key] : probes) {
        const std::string want = ModelValue(model, section, key);
        CheckCommon(section, key, want);
        CheckAnalyzers(section, key, want);
    }

    KVRU921_FreeCommonCfgList(0);
    KVRU921_FreeAnalyzersCfgList(0);
    Require(before == kvr::fuzz::Outstanding());
    return 0;
}
