// The system symbol table read from DD:SYSSYMS.
#include "reader/system_symbols.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/diagnostics.h"
#include "reader/symbols.h"
#include "reader/system_symbol_line.h"

namespace kvr {
namespace {

constexpr uint32_t kMalformedLine = 1483;
constexpr size_t kVariableValueSize = 1025; // the value area CheckWorkstationEnvironmentVariable fills
constexpr int32_t kPathMax = 230;

void ReleaseSystemSymbols(SymbolTable* table) { DeleteSymbolTable(table, BlockTraceLevel()); }

// One line without its line end (a carriage return before the newline is dropped too);
// false at the end of the file.
bool ReadLine(FILE* file, std::string& line) {
    line.clear();
    int c = 0;
    while ((c = std::fgetc(file)) != EOF && c != '\n')
        line += static_cast<char>(c);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return c != EOF || !line.empty();
}

// A later definition of a name replaces an earlier one, as a later SET does.
void Define(RunContext& run, const SystemSymbolLine& definition) {
    Symbol* symbol = nullptr;
    SymbolTable* table = run.systemSymbols.get();
    if (!FindSymbol(table, definition.name.c_str(), &symbol) &&
        !AddSymbol(table, definition.name.c_str(), &symbol, run.debug))
        return;
    SetSymbolValue(symbol, definition.value.c_str(), run.debug);
}

void ReadDefinitions(RunContext& run, FILE* file, const char* path) {
    std::string line;
    int32_t number = 0;
    while (ReadLine(file, line)) {
        ++number;
        const SystemSymbolLine parsed = ParseSystemSymbolLine(line);
        if (parsed.kind == SystemSymbolLineKind::kDefinition) {
            Define(run, parsed);
        } else if (parsed.kind == SystemSymbolLineKind::kMalformed) {
            const std::string lineNumber = std::to_string(number);
            KVRWriteMessageWithStrings(kMalformedLine, path, lineNumber.c_str(), nullptr, nullptr);
        }
    }
}

} // namespace

bool LoadSystemSymbols(RunContext& run) {
    run.systemSymbols.reset();
    char value[kVariableValueSize] = {};
    // Looked up without the debug trace: a -d run without the file lists what it always did.
    if (!CheckWorkstationEnvironmentVariable("DD:SYSSYMS", value, 0)) return true;
    char path[kVariableValueSize] = {};
    NormalizeName(value, path, kPathMax, 0, 1, run.debug);
    FILE* file = KVRIOAPI_OpenRegularFile(path); // a device would be read without end
    if (file == nullptr) {
        KVRWriteMessageWithStrings(MessageFor(run.mode, 1680, 3101), "DD:SYSSYMS", nullptr,
                                   nullptr, nullptr);
        return false;
    }
    SymbolTable* table = nullptr;
    if (!CreateSymbolTable(&table, run.debug)) {
        std::fclose(file);
        reportMemoryAllocationError(run);
        return false;
    }
    run.systemSymbols.reset(table, ReleaseSystemSymbols);
    ReadDefinitions(run, file, path);
    std::fclose(file);
    return true;
}

bool FindSystemSymbol(const RunContext& run, const char* name, char* outValue) {
    if (outValue != nullptr) outValue[0] = '\0';
    SymbolTable* table = run.systemSymbols.get();
    Symbol* symbol = nullptr;
    if (table == nullptr || name == nullptr || !FindSymbol(table, name, &symbol)) return false;
    if (outValue != nullptr && HasValue(symbol)) {
        std::strncpy(outValue, SymbolValue(symbol), kSymbolValueSize - 1);
        outValue[kSymbolValueSize - 1] = '\0';
    }
    return true;
}

} // namespace kvr
