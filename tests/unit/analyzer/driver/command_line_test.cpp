// Command-line parsing: option matching order, case handling, positional names and the
// RM=/RMDD= arguments, the debug level, the code page and the early end on help and version.
#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvr {
namespace {

struct Parsed {
    RunSettings settings;
    bool endProgram = false;
};

Parsed Parse(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "kvr4000");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    Parsed parsed;
    parsed.endProgram =
        ParseCommandLine(static_cast<int>(argv.size()), argv.data(), parsed.settings);
    return parsed;
}

TEST(CommandLine, PositionalNamesAndRemoteArguments) {
    Parsed p = Parse({"LIB", "MEM", "LOCAL", "FOURTH"});
    EXPECT_EQ(p.settings.containerName, "LIB");
    EXPECT_EQ(p.settings.fileName, "MEM");
    EXPECT_EQ(p.settings.localFile, "LOCAL");
    // The RM= prefix is case-sensitive: rm=PDS is the container name.
    p = Parse({"rm=PDS", "LIB"});
    EXPECT_EQ(p.settings.containerName, "rm=PDS");
    EXPECT_EQ(p.settings.rmType, "");
    p = Parse({"RM=PDSEXTRA", "RMDD=SYSUT1LONG", "LIB"});
    EXPECT_EQ(p.settings.rmType, "PDSE");
    EXPECT_EQ(p.settings.rmDDName, "SYSUT1LO");
    EXPECT_EQ(p.settings.containerName, "LIB");
    p = Parse({std::string(300, 'C'), std::string(300, 'M')});
    EXPECT_EQ(p.settings.containerName.size(), 230u);
    EXPECT_EQ(p.settings.fileName.size(), 254u);
}

TEST(CommandLine, OptionMatching) {
    EXPECT_TRUE(Parse({"/XML", "LIB"}).settings.formatXML);
    EXPECT_TRUE(Parse({"-Xm"}).settings.formatXML);
    EXPECT_FALSE(Parse({"-xmlx"}).settings.formatXML);
    EXPECT_FALSE(Parse({"-cx"}).settings.writeCopyright);
    EXPECT_TRUE(Parse({"/i"}).settings.ignoreJCLLIB);
    EXPECT_EQ(Parse({"-g"}).settings.normalizeGDG, 1);
    EXPECT_EQ(Parse({"-f"}).settings.iProcessingMode, kModeDravix);
    EXPECT_TRUE(Parse({"-OpC"}).settings.captureOPC);
    const std::pair<const char*, int> debug[] = {
        {"-d", 1}, {"-d3", 3}, {"-dx", 0}, {"-DEBUG", 0}, {"-d12", 12}};
    for (const auto& [option, level] : debug)
        EXPECT_EQ(Parse({option}).settings.debug, level) << option;
    EXPECT_EQ(Parse({}).settings.jesVersion, "JES3");
    EXPECT_EQ(Parse({"-jes2"}).settings.jesVersion, "JES2");
    EXPECT_EQ(Parse({"-jes2", "/JES3"}).settings.jesVersion, "JES3");
    // Help and version end the run before later arguments; longer words match nothing.
    Parsed p = Parse({"-h", "-x", "LIB", "MEM"});
    EXPECT_TRUE(p.endProgram);
    EXPECT_FALSE(p.settings.formatXML);
    for (const char* spelling : {"-hel", "-He", "/versi"})
        EXPECT_TRUE(Parse({spelling}).endProgram) << spelling;
    for (const char* spelling : {"-helpme", "-versions"})
        EXPECT_FALSE(Parse({spelling}).endProgram) << spelling;
}

TEST(CommandLine, CodePageAndVelkorCatalog) {
    Parse({"-cpms932"});
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_MS932);
    // -c alone is the copyright option and leaves the environment alone.
    EXPECT_TRUE(Parse({"-cpms932", "-c"}).settings.writeCopyright);
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_MS932);
    // 943 matches no alias once upper-cased and normalised: no double-byte environment.
    Parse({"-cp943"});
    EXPECT_EQ(KVRDBCS_GetEnvironment(nullptr), DBCSENV_FALSE);
    KVRDBCS_SetEnvironment(nullptr, KVR_GetLocaleCodepage());

    EXPECT_EQ(Parse({"-t"}).settings.iProcessingMode, kModeVelkor);
    char text[512];
    KVRGetMessageText(text, 3010, "x", nullptr, nullptr, nullptr);
    EXPECT_EQ(std::string(text).substr(0, 8), "VAD3010I");
    setMessageDll("kvrmsg.dll");
    setLogFileErrorMsg(1638);
}

TEST(CommandLine, DebugEchoesOnlyTheArgumentsReadAfterIt) {
    testing::internal::CaptureStdout();
    Parse({"first", "-d", "/x", "last"});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "currParm: /x\ncurrParm: last\n");
}

} // namespace
} // namespace kvr
