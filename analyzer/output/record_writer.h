// Formatting of one import record into the writer's work buffer and handing it to the
// import file. Every record is at most 2047 characters; longer texts are cut.
#ifndef KVR_OUTPUT_RECORD_WRITER_H
#define KVR_OUTPUT_RECORD_WRITER_H

#include <cstdint>
#include <functional>

namespace kvr {

// printf-style formatting of one record, then KVR_PutImportRecord.
void PutRecord(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Calls visit with each parameter of an operand text in order (split as EXEC, JOB and DD
// operands are: commas in parentheses or apostrophes do not separate); answers the count.
// A null or empty text has none.
int32_t ForEachParameter(const char* iParms, int16_t iProcessingMode, int32_t debug,
                         const std::function<void(const char*)>& visit);

} // namespace kvr

#endif
