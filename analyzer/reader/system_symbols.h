// System symbols: the table of DD:SYSSYMS (SYSUID, SYSNAME, site symbols), read once per
// run. It is the outermost symbol scope: a name that no SET, EXEC or PROC value of the
// member defines takes its value from there. Without DD:SYSSYMS there is no table and
// nothing changes.
#ifndef KVR_READER_SYSTEM_SYMBOLS_H
#define KVR_READER_SYSTEM_SYMBOLS_H

#include "base/contexts.h"

namespace kvr {

// Reads the file DD:SYSSYMS names into run.systemSymbols; a malformed line is reported
// (1483, naming the file and the line) and skipped. False when the file cannot be opened,
// reported with 1680 (3101 in Velkor mode).
bool LoadSystemSymbols(RunContext& run);

// True and the value (outValue holds kSymbolValueSize characters) when the table defines
// the name; false, the value empty, otherwise or without a table.
bool FindSystemSymbol(const RunContext& run, const char* name, char* outValue);

} // namespace kvr

#endif
