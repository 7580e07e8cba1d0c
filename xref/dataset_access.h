// What a DD does with its data set: read, write, create, delete, from the status and normal
// disposition the import file gives, with the JCL defaults when they are absent; and what
// kind of DD it is when it names no data set (SYSOUT, DUMMY, in-stream data).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "import_model.h"

namespace xref {

struct Access {
    bool reads = false;
    bool writes = false;
    bool creates = false;
    bool deletes = false;
};

// SHR reads; OLD and MOD write; NEW writes and creates. Without a status the data set is
// NEW. A DELETE disposition deletes; without one a NEW data set is deleted at the end of
// the step and any other kept.
Access AccessFromDisposition(std::string_view status, std::string_view disposition);

// The FTP step's transfer DDs: FTPnnn_I is the side read, FTPnnn_O the side written.
enum class FtpSide { None, Input, Output };
FtpSide FtpTransferSide(std::string_view ddName, const DataSetElement& element);

// The access of one data set of a DD; all false when it names no data set.
Access DeriveAccess(std::string_view ddName, const DataSetElement& element);

// "read", "write,create,delete", ...: the words of the access in that order.
std::string AccessText(const Access& access);

// Notes SYSOUT=, DUMMY (or DSN=NULLFILE) and in-stream data (* or DATA) among the
// parameters of a DD PARM or DD PARMS record or a parm element. A DD PARMS record may be
// cut short, the DD PARM records are whole, so all of them are looked at.
void NoteParameters(std::string_view text, DdKind& kind);

// A DD's parameter text split at its top-level commas (not inside parentheses or
// apostrophes).
std::vector<std::string> SplitParameters(std::string_view text);

} // namespace xref
