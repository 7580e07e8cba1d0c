// What one member of an import file says, as the readers assemble it: its jobs, steps, DD
// statements with their data sets, procedure calls, messages and the sources it read.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace xref {

// Where a step came from. The numbers of the closing INCL records: 0 the job member,
// 1 an INCLUDE member, 2 a cataloged procedure.
enum class SourceKind { Job = 0, Include = 1, Procedure = 2 };

// A LINES record: the source number (1 the job member, then the closing INCL records in
// order; 0 when the record is absent) and the first and last line.
struct LineRange {
    int source = 0;
    int first = 0;
    int last = 0;
};

struct MemberName {
    std::string container;
    std::string member;
};

// A record naming the member a step came from (INCL 0, INCL 3, PROC, or the XML sourceRef).
struct StepSource {
    MemberName name;
    SourceKind kind = SourceKind::Job;
    bool given = false;
};

// What a DD's parameters make of it when it names no data set.
struct DdKind {
    bool sysout = false;
    bool dummy = false;
    bool instream = false;
};

// One data set of a DD concatenation: one DD START .. DD END group, or one concat element.
struct DataSetElement {
    int seq = 0;
    std::string dsn;
    std::string status;
    std::string disposition;
    std::string server;
    DdKind kind; // from the DD PARM and DD PARMS records, or the parm element
    LineRange lines;
};

struct DdStatement {
    std::string name;
    std::vector<DataSetElement> elements;
};

struct RunUnit {
    std::string program;
    std::string plan;
    std::string psb;
    std::string imsRegion;
    std::string db2Subsystem;
};

struct Step {
    int number = 0;
    std::string name;
    std::string program;
    std::string parm;
    std::string procStep;
    StepSource source;
    LineRange lines;
    std::optional<RunUnit> runUnit; // the analyzer writes one for every step
    std::vector<DdStatement> dds;
};

// The PROC PARM records of one call: the procedure's name, then its parameters.
struct ProcedureCall {
    std::string name;
    std::vector<std::string> parms;
    size_t nextStep = 0; // index of the first step written after the call
};

struct Job {
    std::string name;
    LineRange lines;
    std::vector<DdStatement> dds; // JOBLIB, JOBCAT and other DDs before the first step
    std::vector<Step> steps;
    std::vector<ProcedureCall> calls;
};

// A MSG record (or message element); a locator message before it gives the member and line.
struct Message {
    std::string program;
    int severity = 0;
    int number = 0;
    std::string text;
    std::string atMember;
    int atLine = 0;
};

// A closing INCL record: a source the analysis read.
struct SourceRecord {
    SourceKind kind = SourceKind::Job;
    MemberName name;
};

struct ImportMember {
    MemberName name; // empty member name: the import file does not say
    int severity = 0;
    char completion = 'C';
    std::vector<Job> jobs;
    std::vector<Message> messages;
    std::vector<SourceRecord> sources;
    std::string importFile; // the file and line where the member starts
    int firstLine = 0;
};

} // namespace xref
