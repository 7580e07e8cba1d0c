// Formatting of one import record into the writer's work buffer and handing it to the
// import file. Every record is at most 2047 characters; longer texts are cut.
#ifndef KVR_OUTPUT_RECORD_WRITER_H
#define KVR_OUTPUT_RECORD_WRITER_H

namespace kvr {

// printf-style formatting of one record, then KVR_PutImportRecord.
void PutRecord(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace kvr

#endif
