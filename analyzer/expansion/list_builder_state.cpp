// Process-wide counters of the statement-list builder, reset for every member.
#include "expansion/list_builder_state.h"

namespace kvr {
namespace {
int32_t JobCount = 0;
int32_t StmtCount = 0;
int16_t execFound = 0;
JCLStatement* currentStepStmt = nullptr;
void* readingCursor = nullptr;
} // namespace

void InitializeStatementListBuilder() {
    JobCount = 0;
    StmtCount = 0;
    execFound = 0;
    currentStepStmt = nullptr;
    readingCursor = nullptr;
}

int32_t getJobCount() { return JobCount; }
void setJobCount(int32_t count) { JobCount = count; }
int32_t getStmtCount() { return StmtCount; }
void setStmtCount(int32_t count) { StmtCount = count; }
int16_t getExecFound() { return execFound; }
void setExecFound(int16_t found) { execFound = found; }
JCLStatement* getCurrentStepStmt() { return currentStepStmt; }
void setCurrentStepStmt(JCLStatement* stmt) { currentStepStmt = stmt; }
void* getReadingCursor() { return readingCursor; }
void setReadingCursor(void* cursor) { readingCursor = cursor; }

} // namespace kvr
