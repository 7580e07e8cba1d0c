// Internal view of the double-byte environment: the process-wide handle, the lead-byte
// ranges of each code page and the full-width forms of the printable ASCII characters.
// Shared by the locale, the DBCS operations and their tests.
#ifndef KVR_LOCALE_DBCS_H
#define KVR_LOCALE_DBCS_H

#include "kvrbase.h"

namespace kvr {

// The handle used when an operation is passed a null handle pointer.
KVRDBCSHDL& ProcessDbcsHandle();

// The handle a DBCS operation works on: pHDL, or the process-wide one when null.
inline KVRDBCSHDL& DbcsHandle(KVRDBCSHDL* pHDL) {
    return pHDL ? *pHDL : ProcessDbcsHandle();
}

// True when byte starts a double-byte character in env (never for EBCDIC or FALSE).
bool IsDbcsLeadByte(DBCSENV env, unsigned char byte);

// Column of env in the full-width table (MS932 0, MS949 1, MS936 2, MS950 3), or -1.
int FullWidthColumn(DBCSENV env);

// The full-width form of ch (0x20..0x7E) in a column, "" when the code page has none.
const char* FullWidthForm(unsigned char ch, int column);

// The second full-width form of the apostrophe, quotation mark and circumflex, tried
// when the first does not match; null for every other character.
const char* FullWidthSecondForm(unsigned char ch, int column);

// The name iconv knows a double-byte code page by, or null for every other environment.
const char* IconvNameOfDbcs(DBCSENV env);

} // namespace kvr

#endif
