// The shipped message catalogs against the message registry: every catalog carries
// exactly the numbers of its list, with well-formed identifiers and inserts; and every
// message number the sources raise is registered.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "message_ids.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

struct CatalogLine {
    int lineNumber;
    std::string text;
};

// number -> text of a catalog file, with every duplicate or malformed line reported.
std::map<uint32_t, CatalogLine> ReadCatalog(const std::string& name) {
    std::map<uint32_t, CatalogLine> entries;
    const std::string path = std::string(KVR_CATALOG_DIR) + "/" + name + ".msg";
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << path;
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        if (line.empty() || line.front() == '#') continue;
        const bool shaped = line.size() >= 5 && line[4] == '\t' &&
                            std::all_of(line.begin(), line.begin() + 4, IsDigit);
        if (!shaped) {
            ADD_FAILURE() << name << ":" << lineNumber << " is not \"number<TAB>text\": " << line;
            continue;
        }
        const auto number = static_cast<uint32_t>(std::stoul(line.substr(0, 4)));
        if (!entries.emplace(number, CatalogLine{lineNumber, line.substr(5)}).second) {
            ADD_FAILURE() << name << ":" << lineNumber << " repeats " << number;
        }
    }
    return entries;
}

template <size_t N> std::map<uint32_t, char> Registry(const kvr::MessageId (&ids)[N]) {
    std::map<uint32_t, char> registry;
    for (const kvr::MessageId& id : ids)
        registry.emplace(id.number, id.letter);
    return registry;
}

void CheckCatalog(const std::string& name, const std::string& prefix,
                  const std::map<uint32_t, char>& registry) {
    const std::map<uint32_t, CatalogLine> entries = ReadCatalog(name);
    for (const auto& [number, letter] : registry) {
        EXPECT_TRUE(entries.count(number)) << name << " lacks " << number;
    }
    for (const auto& [number, entry] : entries) {
        const std::string where = name + ":" + std::to_string(entry.lineNumber);
        auto registered = registry.find(number);
        if (registered == registry.end()) {
            ADD_FAILURE() << where << " holds unregistered number " << number;
            continue;
        }
        char identifier[16];
        std::snprintf(identifier, sizeof identifier, "%s%04u%c", prefix.c_str(), number,
                      registered->second);
        const std::string& text = entry.text;
        EXPECT_EQ(text.substr(0, 8), identifier) << where;
        // The identifier alone, or the identifier, two blanks and a message.
        EXPECT_TRUE(text.size() == 8 ||
                    (text.size() > 10 && text.compare(8, 2, "  ") == 0 && text[10] != ' '))
            << where << ": " << text;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '%') continue;
            const char next = i + 1 < text.size() ? text[i + 1] : '\0';
            EXPECT_TRUE((next >= '1' && next <= '4') || next == '%')
                << where << ": stray percent sign in " << text;
            ++i;
        }
        for (char c : text) {
            EXPECT_TRUE(c >= 0x20 && c < 0x7F) << where << ": unexpected byte";
        }
    }
}

TEST(MessageCatalogs, EachCatalogCarriesExactlyItsRegisteredMessages) {
    const auto standard = Registry(kvr::kStandardMessages);
    const auto velkor = Registry(kvr::kVelkorMessages);
    EXPECT_EQ(standard.size(), std::size(kvr::kStandardMessages)) << "number listed twice";
    EXPECT_EQ(velkor.size(), std::size(kvr::kVelkorMessages)) << "number listed twice";
    CheckCatalog("kvrenus", "KVR", standard);
    CheckCatalog("kvrkokr", "KVR", standard);
    CheckCatalog("kvrjajp", "KVR", standard);
    CheckCatalog("pjwenus", "VAD", velkor);
}

// Numbers raised with a literal: KVRWriteMessage...(NNNN, KVRGetMessageText...(x, NNNN
// and MessageFor(mode, NNNN, NNNN).
void CollectRaised(const std::string& source, std::set<uint32_t>& numbers) {
    static const std::regex shapes[] = {
        std::regex(R"((?:^|\W)KVRWriteMessage\w*\s*\(\s*(\d{4})(?!\d))"),
        std::regex(R"((?:^|\W)KVRGetMessageText\w*\s*\(\s*\w+\s*,\s*(\d{4})(?!\d))"),
        std::regex(R"((?:^|\W)MessageFor\s*\(\s*\w+\s*,\s*(\d{4})(?!\d)(?:\s*,\s*(\d{4})(?!\d))?)"),
    };
    for (const std::regex& shape : shapes)
        for (std::sregex_iterator m(source.begin(), source.end(), shape), end; m != end; ++m)
            for (size_t group = 1; group < m->size(); ++group)
                if ((*m)[group].matched) numbers.insert(std::stoul((*m)[group].str()));
}

std::set<uint32_t> RaisedNumbers() {
    std::set<uint32_t> numbers;
    for (const char* folder : {"analyzer", "common"}) {
        const std::filesystem::path root = std::filesystem::path(KVR_SOURCE_DIR) / folder;
        for (const auto& file : std::filesystem::recursive_directory_iterator(root)) {
            const std::string extension = file.path().extension().string();
            if (!file.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
            std::ifstream in(file.path());
            std::stringstream content;
            content << in.rdbuf();
            CollectRaised(content.str(), numbers);
        }
    }
    return numbers;
}

TEST(MessageCatalogs, SourceScanRecognisesTheCallShapes) {
    std::set<uint32_t> numbers;
    CollectRaised("KVRWriteMessage(1309); KVRWriteMessageWithStrings( 1201, a, b, 0, 0);\n"
                  "KVRGetMessageTextWithoutMsgNo(text, 1410, 0, 0, 0, 0);\n"
                  "KVRWriteMessage(MessageFor(iProcessingMode, 1356,\n 3059));\n"
                  "KVRWriteMessage(number); MyKVRWriteMessage(1111); KVRWriteMessage(12345);",
                  numbers);
    EXPECT_EQ(numbers, (std::set<uint32_t>{1201, 1309, 1356, 1410, 3059}));
}

TEST(MessageCatalogs, EveryRaisedNumberIsRegistered) {
    std::set<uint32_t> registered;
    for (const kvr::MessageId& id : kvr::kStandardMessages)
        registered.insert(id.number);
    for (const kvr::MessageId& id : kvr::kVelkorMessages)
        registered.insert(id.number);
    const std::set<uint32_t> raised = RaisedNumbers();
    EXPECT_FALSE(raised.empty()) << "the scan found no message calls at all";
    for (uint32_t number : raised) {
        EXPECT_TRUE(registered.count(number))
            << "message " << number << " is raised but not in message_ids.h";
    }
    // The copyright block is raised with literals, so the scan must see it.
    EXPECT_TRUE(raised.count(1006) && raised.count(3120));
}

} // namespace
