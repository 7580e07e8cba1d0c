// The import records that frame a member: the XML prologue, the container and member
// records, and the JCL start and end records with the member's return code.
#ifndef KVR_OUTPUT_MEMBER_RECORDS_H
#define KVR_OUTPUT_MEMBER_RECORDS_H

#include "kvrbase.h"

namespace kvr {

void KVR_PutXML_start(BOOLEAN iFormatXML);
void KVR_PutLIBR(const char* iContainerName, BOOLEAN iFormatXML);
void KVR_PutMEMB(const char* iFileName, BOOLEAN iFormatXML);
void KVR_PutSTART_JCL(BOOLEAN iFormatXML);
// Carries the maximum severity and the completion letter at the moment of the call.
void KVR_PutEND_JCL(BOOLEAN iFormatXML);
void KVR_PutEND_MEMB();
// Whether START JCL was written and END JCL not yet.
bool MemberRecordsOpen();
void KVR_PutEND_LIBR();

} // namespace kvr

#endif
