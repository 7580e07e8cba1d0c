// The import records that frame a member: the XML prologue, the container and member
// records, and the JCL start and end records with the member's return code.
#ifndef KVR_OUTPUT_MEMBER_RECORDS_H
#define KVR_OUTPUT_MEMBER_RECORDS_H

#include "kvrbase.h"
#include "base/contexts.h"

namespace kvr {

void KVR_PutXML_start(const RunContext& run);
void KVR_PutLIBR(MemberContext& ctx, const char* iContainerName);
void KVR_PutMEMB(MemberContext& ctx, const char* iFileName);
void KVR_PutSTART_JCL(MemberContext& ctx);
// Carries the maximum severity and the completion letter at the moment of the call.
void KVR_PutEND_JCL(MemberContext& ctx);
void KVR_PutEND_MEMB(MemberContext& ctx);
void KVR_PutEND_LIBR(MemberContext& ctx);

} // namespace kvr

#endif
