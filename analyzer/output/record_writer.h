// Formatting of one import record and handing it to the import file. No record is longer
// than kMaxRecordLength characters: a record that would be is shortened inside its longest
// value, which then ends with "...", so its quotes, attributes and end tags stay whole; the
// member gets one warning about it.
#ifndef KVR_OUTPUT_RECORD_WRITER_H
#define KVR_OUTPUT_RECORD_WRITER_H

#include <cstddef>
#include <cstdint>
#include <functional>

#include "base/contexts.h"

namespace kvr {

// The longest record the import file holds (loaders read records into 2048-byte buffers).
inline constexpr size_t kMaxRecordLength = 2047;

// One record from a format and its values, then KVR_PutImportRecord. The format knows %s
// (a text value), %.*s (a length and a text value), %d and %i (numbers), %c and %%. XML
// element lines: the caller escapes the values it puts into them.
void PutRecord(MemberContext& ctx, const char* format, ...) __attribute__((format(printf, 2, 3)));
// A record of the text form. In an XML import file such records stand as text between the
// elements, so "&" and "<" are escaped there to keep the file well-formed.
void PutTextRecord(MemberContext& ctx, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Closes, innermost first, the XML elements that are still open inside the <jcl> element
// of the member, as happens when its analysis was cut short (out of memory) in the middle
// of a job, step or DD. Nothing is written when every element was closed. Takes no memory.
void CloseOpenElements(MemberContext& ctx);

// Calls visit with each parameter of an operand text in order (split as EXEC, JOB and DD
// operands are: commas in parentheses or apostrophes do not separate); answers the count.
// A null or empty text has none.
int32_t ForEachParameter(MemberContext& ctx, const char* iParms,
                         const std::function<void(const char*)>& visit);

} // namespace kvr

#endif
