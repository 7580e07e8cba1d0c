// Reading EBCDIC members: the code page they are converted from and the conversion of a
// member's fixed 80-byte records into the lines of workstation text.
#ifndef KVR_SOURCE_EBCDIC_MEMBERS_H
#define KVR_SOURCE_EBCDIC_MEMBERS_H

#include <cstdio>
#include <string>
#include <string_view>

namespace kvr {

// The member's records as workstation text, each a line ending in a line feed with its
// trailing blanks dropped, in a stream of its own (closed with fclose). Null when iconv
// cannot convert from the EBCDIC code page; failure then says why.
FILE* OpenEbcdicAsText(std::string_view records, std::string& failure);

// The same text in a string, for the stream above and for tests.
bool ConvertEbcdicRecords(std::string_view records, std::string& text, std::string& failure);

} // namespace kvr

#endif
