// The encoding of the records of an XML import file (UTF-8), used by the import file.
#ifndef KVR_SERVICES_XML_ENCODING_H
#define KVR_SERVICES_XML_ENCODING_H

#include <cstdio>

namespace kvr {

// Writes a record (without its line end) in UTF-8: the bytes of the process code page
// converted, well-formed UTF-8 passed as it is under a single-byte code page, and every
// byte XML cannot carry written as U+FFFD.
void WriteXmlRecord(FILE* file, const char* record);

// Closes the converter, so the next record opens it for the code page then in force.
void ResetXmlEncodingForTests();

} // namespace kvr

#endif
