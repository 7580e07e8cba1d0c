// Symbol tables: names with optional string values, held as a chain with the most
// recently added symbol first, so a newer symbol hides an older one of the same name.
// The scopes of symbolic parameters are built from them; all storage is counted blocks.
#include "kvrbase.h"

#include <cstring>

struct Symbol {
    char* SymbolName;  // owned copy
    char* SymbolValue; // owned copy, null when the symbol has no value
    Symbol* NextPtr;
};

struct SymbolTable {
    Symbol* HeadPtr;
};

namespace {

// A counted copy of text, or null when no block is available.
char* CopyText(const char* text, const char* tag, int32_t debug) {
    const size_t size = std::strlen(text) + 1;
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, size, tag, debug) == 0) return nullptr;
    std::memcpy(block, text, size);
    return static_cast<char*>(block);
}

} // namespace

extern "C" {

BOOLEAN CreateSymbolTable(SymbolTable** ReturnPtr, int32_t debug) {
    if (ReturnPtr == nullptr) return FALSE;
    *ReturnPtr = nullptr;
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(SymbolTable), "CreateSymbolTable", debug) == 0)
        return FALSE;
    auto* table = static_cast<SymbolTable*>(block);
    table->HeadPtr = nullptr;
    *ReturnPtr = table;
    return TRUE;
}

BOOLEAN AddSymbol(SymbolTable* Table, const char* Name, Symbol** NewSym, int32_t debug) {
    if (NewSym != nullptr) *NewSym = nullptr;
    if (Table == nullptr || Name == nullptr) return FALSE;
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(Symbol), "AddSymbol", debug) == 0) return FALSE;
    auto* symbol = static_cast<Symbol*>(block);
    symbol->SymbolName = CopyText(Name, "AddSymbol", debug);
    if (symbol->SymbolName == nullptr) {
        FreeBlockWithDebug(symbol, "AddSymbol", debug);
        return FALSE;
    }
    symbol->SymbolValue = nullptr;
    symbol->NextPtr = Table->HeadPtr;
    Table->HeadPtr = symbol;
    if (NewSym != nullptr) *NewSym = symbol;
    return TRUE;
}

int16_t SetSymbolValue(Symbol* RefSym, const char* SymVal, int32_t debug) {
    if (RefSym == nullptr || SymVal == nullptr) return 0;
    // The old value goes first; when no block is left the symbol ends without a value.
    FreeBlockWithDebug(RefSym->SymbolValue, "SetSymbolValue", debug);
    RefSym->SymbolValue = CopyText(SymVal, "SetSymbolValue", debug);
    return RefSym->SymbolValue != nullptr ? 1 : 0;
}

int16_t FindSymbol(SymbolTable* Table, const char* Name, Symbol** FoundSym) {
    if (Table == nullptr || Name == nullptr) return 0;
    for (Symbol* symbol = Table->HeadPtr; symbol != nullptr; symbol = symbol->NextPtr) {
        if (std::strcmp(symbol->SymbolName, Name) == 0) {
            if (FoundSym != nullptr) *FoundSym = symbol;
            return 1;
        }
    }
    return 0;
}

int16_t HasValue(Symbol* RefSym) {
    return RefSym != nullptr && RefSym->SymbolValue != nullptr;
}

char* SymbolValue(Symbol* RefSym) {
    return RefSym != nullptr ? RefSym->SymbolValue : nullptr;
}

void DeleteSymbolTable(SymbolTable* Table, int32_t debug) {
    if (Table == nullptr) return;
    Symbol* symbol = Table->HeadPtr;
    while (symbol != nullptr) {
        Symbol* next = symbol->NextPtr;
        FreeBlockWithDebug(symbol->SymbolName, "DeleteSymbolTable", debug);
        FreeBlockWithDebug(symbol->SymbolValue, "DeleteSymbolTable", debug);
        FreeBlockWithDebug(symbol, "DeleteSymbolTable", debug);
        symbol = next;
    }
    FreeBlockWithDebug(Table, "DeleteSymbolTable", debug);
}

} // extern "C"
