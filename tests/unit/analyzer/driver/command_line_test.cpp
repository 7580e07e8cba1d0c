// Command-line parsing: positional names and the RM=/RMDD= arguments, the code page and the
// Velkor catalog. Option matching, help, version and the debug echo in whole runs: help_*,
// version_v, unknown_options, debug_echo.
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

} // namespace
} // namespace kvr
