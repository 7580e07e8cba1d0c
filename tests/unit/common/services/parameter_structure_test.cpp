// Parameter structures: no text, positions into the copy, the limits on parameter count and
// nesting depth with their messages, allocation failures, and that every structure, built or
// refused, returns all of its blocks. Splitting at outer-level commas and keyword lookup
// serve every golden case (text_dd_parms, text_overrides).
#include "services/parameter_structure.h"

#include "common/services/message_log_capture.h"
#include "services/memory_blocks.h"

#include "kvrbase.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using kvr::test::CapturedLog;
using kvr::test::MessageLine;
using kvr::test::Outstanding;
using Parms = std::vector<std::string>;

// The parameters of a text by position, or nothing when no structure was handed out.
std::optional<Parms> Split(const char* text, bool useAsterisk = false, int16_t mode = 0) {
    void* parms = nullptr;
    CreateParmStructure(&parms, text, useAsterisk ? TRUE : FALSE, mode, 0);
    if (parms == nullptr) return std::nullopt;
    Parms result;
    char* parm = nullptr;
    for (int32_t i = 1; QueryPositionalParm(i, parms, &parm) != FALSE; ++i)
        result.emplace_back(parm);
    EXPECT_EQ(static_cast<int32_t>(result.size()), QueryParmCount(parms));
    DeleteParmStructure(parms, FALSE);
    return result;
}

// count parameters P1,P2,...
std::string NumberedParms(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += (i > 1 ? ",P" : "P") + std::to_string(i);
    return text;
}

TEST(ParameterStructure, NoTextGivesNoParameters) {
    for (const char* text : {static_cast<const char*>(nullptr), ""}) {
        const int32_t before = Outstanding();
        void* parms = nullptr;
        CreateParmStructure(&parms, text, FALSE, 0, 0);
        ASSERT_NE(nullptr, parms);
        EXPECT_EQ(0, QueryParmCount(parms));
        char* parm = nullptr;
        EXPECT_EQ(FALSE, QueryPositionalParm(1, parms, &parm));
        EXPECT_EQ(FALSE, QueryKeywordParm("A", parms, &parm));
        uint32_t length = 99;
        const char* data = kvr::ParmDataOf(parms, &length);
        EXPECT_EQ(text == nullptr ? 0u : 1u, length);
        EXPECT_EQ(text == nullptr, data == nullptr);
        EXPECT_EQ(text == nullptr ? 1 : 2, Outstanding() - before);
        DeleteParmStructure(parms, FALSE);
        EXPECT_EQ(before, Outstanding());
    }
    DeleteParmStructure(nullptr, FALSE);
    // Nowhere to hand the structure to: it is released at once.
    const int32_t before = Outstanding();
    CreateParmStructure(nullptr, "A,B", FALSE, 0, 0);
    EXPECT_EQ(before, Outstanding());
}

TEST(ParameterStructure, PositionsAndTextsPointIntoTheCopy) {
    const int32_t before = Outstanding();
    const std::string text = "DSN=A.B,,SHR";
    void* parms = nullptr;
    CreateParmStructure(&parms, text.c_str(), FALSE, 0, 0);
    ASSERT_NE(nullptr, parms);
    EXPECT_EQ("DSN=A.B,,SHR", text); // the caller's text is not cut
    uint32_t length = 0;
    const char* data = kvr::ParmDataOf(parms, &length);
    EXPECT_EQ(text.size() + 1, length);
    char* parm = nullptr;
    ASSERT_EQ(TRUE, QueryPositionalParm(3, parms, &parm));
    EXPECT_STREQ("SHR", parm);
    EXPECT_EQ(data + 9, parm);
    ASSERT_EQ(TRUE, QueryPositionalParm(2, parms, &parm));
    EXPECT_EQ(data + 8, parm);
    parm = nullptr;
    EXPECT_EQ(FALSE, QueryPositionalParm(4, parms, &parm));
    EXPECT_EQ(FALSE, QueryPositionalParm(0, parms, &parm));
    EXPECT_EQ(nullptr, parm);
    DeleteParmStructure(parms, FALSE);
    EXPECT_EQ(before, Outstanding());
}

// Runs make in the mode (2: Velkor) and checks that it logged just that mode's message and
// returned every block. These write messages, so they need the message service.
template <class Make>
void ExpectRefusal(int16_t mode, uint32_t kvrNumber, uint32_t velkorNumber, Make make) {
    const int32_t before = Outstanding();
    std::optional<kvr::test::VelkorCatalog> velkor;
    if (mode == 2) velkor.emplace();
    const uint32_t expected = mode == 2 ? velkorNumber : kvrNumber;
    ASSERT_NE("", MessageLine(expected));
    CapturedLog log;
    make();
    EXPECT_EQ(std::vector<std::string>{MessageLine(expected)}, log.Lines()) << mode;
    EXPECT_EQ(before, Outstanding()) << mode;
}

TEST(ParameterStructureMessages, AtMost2096Parameters) {
    EXPECT_EQ(2096u, Split(NumberedParms(2096).c_str())->size());
    EXPECT_EQ("P2096", Split((NumberedParms(2096) + ",").c_str())->back());
    const std::string tooMany = NumberedParms(2097);
    for (int16_t mode : {0, 1, 2}) {
        ExpectRefusal(mode, 1359, 3062, [&] {
            void* parms = &mode; // any value: a refused structure leaves it alone
            CreateParmStructure(&parms, tooMany.c_str(), FALSE, mode, 0);
            EXPECT_EQ(static_cast<void*>(&mode), parms);
        });
    }
}

TEST(ParameterStructureMessages, NestingDepthIsBoundByTheDelimiterStack) {
    // The base comma takes one of the 20 entries, so 19 groups may be open at once.
    const auto open = [](int n) { return std::string(n, '('); };
    const auto close = [](int n) { return std::string(n, ')'); };
    EXPECT_EQ((Parms{"A=" + open(19) + close(19), "B"}),
              Split(("A=" + open(19) + close(19) + ",B").c_str()));
    EXPECT_EQ(1u, Split((open(18) + "'X'").c_str())->size());
    // Closing a group frees its entry again.
    const std::string group = open(19) + close(19);
    EXPECT_EQ(1u, Split((group + group + group).c_str())->size());
    for (int16_t mode : {0, 2}) {
        for (const std::string& text : {"A=" + open(20) + close(20), open(19) + "'X'"})
            ExpectRefusal(mode, 1360, 3063,
                          [&] { EXPECT_EQ(std::nullopt, Split(text.c_str(), false, mode)); });
    }
}

TEST(ParameterStructureMessages, AllocationFailureLeavesNoStructure) {
    // The first block is the structure, the second the copy of the text.
    for (int32_t failing : {1, 2}) {
        for (int16_t mode : {0, 2}) {
            ExpectRefusal(mode, 1450, 3050, [&] {
                kvr::FailNthBlockCreation(failing);
                void* parms = nullptr;
                CreateParmStructure(&parms, "A,B", FALSE, mode, 0);
                kvr::FailNthBlockCreation(0);
                EXPECT_EQ(nullptr, parms) << failing;
            });
        }
    }
}

} // namespace
