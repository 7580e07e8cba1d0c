// Option and argument parsing. Options start with "-" or "/", are upper-cased byte by byte
// and compared in a fixed order, the first match winning; anything unmatched is ignored.
// Other arguments are positional and keep their case.
#include "driver/command_line.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/informational.h"
#include "reader/card_reader.h"

namespace kvr {
namespace {

constexpr size_t kContainerNameMax = 230;
constexpr size_t kFileNameMax = 254;
constexpr size_t kRmTypeMax = 4;
constexpr size_t kRmDDNameMax = 8;

std::string UpperCased(const char* text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool IsOneOf(const std::string& option, std::initializer_list<const char*> spellings) {
    for (const char* spelling : spellings)
        if (option == spelling) return true;
    return false;
}

// "D" alone is level 1; "D<n>" is the decimal value of n (0 when n is no number).
int32_t DebugLevel(const std::string& option) {
    if (option == "D") return 1;
    return static_cast<int32_t>(std::atol(option.c_str() + 1));
}

enum class OptionOutcome { kContinue, kEndProgram };

OptionOutcome ApplyOption(const char* argument, RunSettings& settings) {
    const std::string option = UpperCased(argument + 1);
    if (option.compare(0, 2, "CP") == 0) {
        KVRDBCS_SetEnvironment(nullptr, option.c_str() + 2);
    } else if (option == "C") {
        settings.writeCopyright = TRUE;
    } else if (option[0] == 'D') {
        settings.debug = DebugLevel(option);
    } else if (option.compare(0, 2, "EB") == 0 && option.size() > 2) {
        KVR_SetEbcdicCodePage(argument + 3); // the EBCDIC code page of binary copies
    } else if (option.compare(0, 2, "EX") == 0 && option.size() > 2) {
        std::string extensions(argument + 3); // as typed, not upper-cased
        KVR_CreateFileExtensionList(extensions.data(), settings.debug);
    } else if (option == "F") {
        settings.iProcessingMode = kModeDravix;
    } else if (option == "G") {
        settings.normalizeGDG = 1;
    } else if (IsOneOf(option, {"H", "HE", "HEL", "HELP", "?"})) {
        ShowCopyrightStatement(settings.argv0.c_str(), settings.iProcessingMode);
        ShowVersionInformation(settings.iProcessingMode);
        ShowUsageInformation(settings.iProcessingMode);
        return OptionOutcome::kEndProgram;
    } else if (option == "I") {
        settings.ignoreJCLLIB = TRUE;
    } else if (option == "JES2" || option == "JES3") {
        settings.jesVersion = option;
    } else if (option == "OPC") {
        settings.captureOPC = TRUE;
    } else if (option == "T") {
        settings.iProcessingMode = kModeVelkor;
        setMessageDll("pjwenus.dll");
        setLogFileErrorMsg(3113);
    } else if (IsOneOf(option, {"V", "VE", "VER", "VERS", "VERSI", "VERSIO", "VERSION"})) {
        ShowCopyrightStatement(settings.argv0.c_str(), settings.iProcessingMode);
        ShowVersionInformation(settings.iProcessingMode);
        return OptionOutcome::kEndProgram;
    } else if (IsOneOf(option, {"X", "XM", "XML"})) {
        settings.formatXML = TRUE;
    }
    return OptionOutcome::kContinue;
}

void ApplyPositional(const char* argument, RunSettings& settings) {
    if (std::strncmp(argument, "RM=", 3) == 0) {
        settings.rmType = std::string(argument + 3).substr(0, kRmTypeMax);
    } else if (std::strncmp(argument, "RMDD=", 5) == 0) {
        settings.rmDDName = std::string(argument + 5).substr(0, kRmDDNameMax);
    } else if (settings.containerName.empty()) {
        settings.containerName = std::string(argument).substr(0, kContainerNameMax);
    } else if (settings.fileName.empty()) {
        settings.fileName = std::string(argument).substr(0, kFileNameMax);
    } else if (settings.localFile.empty()) {
        settings.localFile = std::string(argument).substr(0, kFileNameMax);
    }
}

} // namespace

bool ParseCommandLine(int argc, char** argv, RunSettings& settings) {
    KVRDBCS_SetEnvironment(nullptr, KVR_GetLocaleCodepage());
    for (int index = 1; index < argc; ++index) {
        const char* argument = argv[index];
        if (settings.debug) std::printf("currParm: %s\n", argument);
        if (argument[0] == '-' || argument[0] == '/') {
            if (ApplyOption(argument, settings) == OptionOutcome::kEndProgram) return true;
        } else {
            ApplyPositional(argument, settings);
        }
    }
    return false;
}

} // namespace kvr
