// The run unit found in SYSTSIN (the first DSN RUN command) and in the first DDITV02
// record, with the fallbacks for plan and subsystem and the messages when none is found.
#include <optional>

#include "analyzer/rununits/rununits_fixture.h"

namespace kvr {
namespace {

using test::RunUnitsTest;
using Numbers = std::vector<int>;

struct Found {
    int16_t result;
    std::optional<std::string> runUnit, plan, subsystem;
    bool operator==(const Found&) const = default;
};

// Runs ProcessSYSTSIN or ProcessDDITV02 and takes over the names it hands out.
using Process = int16_t (*)(MemberContext&, RD_JobStep*, char**, char**, char**);
Found Names(MemberContext& ctx, Process process, RD_JobStep* step) {
    char* names[3] = {};
    Found found{process(ctx, step, &names[0], &names[1], &names[2]), {}, {}, {}};
    std::optional<std::string>* outs[3] = {&found.runUnit, &found.plan, &found.subsystem};
    for (int i = 0; i < 3; ++i) {
        if (names[i] != nullptr) *outs[i] = names[i];
        FreeString(names[i], 0);
    }
    return found;
}

TEST_F(RunUnitsTest, SystsinCommands) {
    struct Case {
        std::vector<std::string> cards;
        Found expected;
    };
    const Case cases[] = {
        {{"DSN SYSTEM(DB2P)", "RUN PROGRAM(PGMA) PLAN(PLANA) LIB('X.Y')", "END"},
         {3, "PGMA", "PLANA", "DB2P"}},
        {{"RUN PROG(PGMB)"}, {9, {}, {}, {}}}, // RUN counts only after DSN
        {{"DSN RUN PROGRAM(PGMC)"}, {3, "PGMC", "PGMC", "DSN"}},
        {{"DSN S(DB2Q)", "* RUN PROG(NOTME) PLAN(NO)", "RUN PROG(PGMD) PLAN(P2)"},
         {3, "PGMD", "P2", "DB2Q"}},
        {{"DSN RUN PROG(PGM1) PLAN(PLAN1)", "DSN RUN PROG(PGM2) PLAN(PLAN2)"},
         {3, "PGM1", "PLAN1", "DSN"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cards.front());
        const size_t seen = LoggedNumbers().size();
        RD_JobStep* step = StepRunning("IKJEFT01");
        InstreamDD("SYSTSIN", c.cards, 20);
        EXPECT_EQ(Names(Ctx(), ProcessSYSTSIN, step), c.expected);
        EXPECT_EQ(NumbersSince(seen), c.expected.result == 9 ? (Numbers{1470, 1443}) : Numbers{});
    }

    // From a file the line end belongs to the last token: a DSN alone on its line is no DSN.
    RD_JobStep* step = StepRunning("IKJEFT01");
    DatasetDD("SYSTSIN", DataSetWith("t1", "DSN SYSTEM(DB2T)\nRUN PROGRAM(PGMF)\n"), "DSN=X", 30);
    EXPECT_EQ(Names(Ctx(), ProcessSYSTSIN, step), (Found{5, "PGMF", "PGMF", "DB2T"}));
    step = StepRunning("IKJEFT01");
    DatasetDD("SYSTSIN", DataSetWith("t2", "DSN\nRUN PROGRAM(PGMF)\n"), "DSN=X", 31);
    EXPECT_EQ(Names(Ctx(), ProcessSYSTSIN, step).result, kStepDDNoRunUnit);

    // A missing SYSTSIN is reported twice, but not at all in Velkor mode.
    step = StepRunning("IKJEFT01");
    size_t seen = LoggedNumbers().size();
    EXPECT_EQ(Names(Ctx(), ProcessSYSTSIN, step).result, kStepDDNotFound);
    EXPECT_EQ(NumbersSince(seen), (Numbers{1470, 1444, 1470, 1443}));
    seen = LoggedNumbers().size();
    Ctx().run.mode = 2;
    EXPECT_EQ(Names(Ctx(), ProcessSYSTSIN, step).result, kStepDDNotFound);
    EXPECT_EQ(NumbersSince(seen), Numbers{});
}

TEST_F(RunUnitsTest, Dditv02FirstRecord) {
    const std::string padded = "DB2P,SYS1,,,R,,CONN1,PLANX,APPLX" + std::string(48, ' ');
    struct Case {
        std::vector<std::string> cards;
        Found expected;
        Numbers logged;
    };
    const Case cases[] = {
        {{"DB2P,SYS1,,,R,,CONN1,PLANX,APPLX", "IGNORED,,,,,,,,OTHER"},
         {3, "APPLX", "PLANX", "DB2P"},
         {}},
        {{padded}, {3, "APPLX" + std::string(48, ' '), "PLANX", "DB2P"}, {}}, // blanks stay
        {{",SYS1,,,R,,CONN1,,APPLX"}, {3, "APPLX", "APPLX", "DSN"}, {}},
        {{"DB2P,SYS1,,,R,,CONN1,PLANX"}, {9, {}, {}, {}}, {1470, 1449}},
        {{"DB2P,SYS1,,,R,,CONN1,PLANX,,EXTRA"}, {9, {}, {}, {}}, {1470, 1449}}, // empty 9th
        {{}, {kStepDDDummy, {}, {}, {}}, {1470, 1448, 1470, 1449}},             // empty data
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cards.empty() ? "(empty)" : c.cards.front());
        const size_t seen = LoggedNumbers().size();
        RD_JobStep* step = StepRunning("DFSRRC00");
        InstreamDD("DDITV02", c.cards, 40);
        EXPECT_EQ(Names(Ctx(), ProcessDDITV02, step), c.expected);
        EXPECT_EQ(NumbersSince(seen), c.logged);
    }
    EXPECT_TRUE(ImportLines().empty()); // no MSG records outside Velkor mode

    // Velkor mode: no run unit is 3105, also as MSG records.
    setMessageDll("pjwenus.dll");
    Ctx().run.mode = 2;
    RD_JobStep* step = StepRunning("DFSRRC00");
    InstreamDD("DDITV02", {"DB2P"}, 60);
    const size_t seen = LoggedNumbers().size();
    EXPECT_EQ(Names(Ctx(), ProcessDDITV02, step).result, kStepDDNoRunUnit);
    setMessageDll("kvrmsg.dll");
    EXPECT_EQ(NumbersSince(seen), (Numbers{3130, 3105}));
    EXPECT_EQ(ImportLines().size(), 2u);
}

} // namespace
} // namespace kvr
