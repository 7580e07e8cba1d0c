#include "import_text_reader.h"

#include "dataset_access.h"
#include "import_error.h"
#include "text_records.h"

namespace xref {

namespace {

// True when `line` starts with `prefix`; `rest` is then what follows it.
bool Starts(std::string_view line, std::string_view prefix, std::string_view& rest) {
    if (line.substr(0, prefix.size()) != prefix) return false;
    rest = line.substr(prefix.size());
    return true;
}

bool Is(std::string_view line, std::string_view word) {
    return line == word || (line.size() > word.size() && line.substr(0, word.size()) == word &&
                            line[word.size()] == ' ');
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return text;
}

} // namespace

void TextImportReader::Line(std::string_view line, int lineNumber) {
    if (assembler_.Open())
        MemberRecord(line);
    else
        OutsideMember(line, lineNumber);
}

void TextImportReader::End() {
    if (assembler_.Open()) throw RecordError("the file ends inside a member (no END JCL)");
}

void TextImportReader::OutsideMember(std::string_view line, int lineNumber) {
    std::string_view rest;
    if (SkipBlanks(line).empty()) return;
    if (Starts(line, "LIBR ", rest)) {
        libraryName_ = ParseLibraryName(rest);
    } else if (Starts(line, "MEMB ", rest)) {
        Words words(rest);
        if (!words.Next(memberName_)) throw RecordError("MEMB without a member name");
    } else if (line == "START JCL") {
        assembler_.Begin(lineNumber);
        assembler_.SetContainer(std::move(libraryName_));
        assembler_.SetMember(std::move(memberName_));
        libraryName_.clear();
        memberName_.clear();
    } else {
        throw RecordError("expected START JCL, found '" + std::string(line.substr(0, 40)) + "'");
    }
}

void TextImportReader::MemberRecord(std::string_view line) {
    std::string_view rest;
    if (Starts(line, "DD ", rest)) return DdRecord(rest);
    if (Starts(line, "STEP ", rest)) return StepRecord(rest);
    if (Starts(line, "PROC ", rest)) return ProcRecord(rest);
    if (Starts(line, "RU ", rest) || line == "RU") return assembler_.AddRunUnit(ParseRunUnit(rest));
    if (Starts(line, "JOB ", rest)) return JobRecord(rest);
    if (Starts(line, "MSG ", rest)) return assembler_.AddMessage(ParseMessage(rest));
    if (Starts(line, "INCL ", rest)) {
        SourceRecord record = ParseInclude(rest);
        // Inside a job INCL 0 and INCL 3 name the source of the next step; after the jobs
        // the INCL records list the sources the analysis read.
        if (assembler_.InJob())
            assembler_.StepSourceRecord({std::move(record.name), record.kind, true});
        else
            assembler_.AddSource(std::move(record));
        return;
    }
    if (Starts(line, "END JCL", rest)) return EndMember(rest);
    // Records that carry nothing the database holds: IF/ELSE/ENDIF, comments, scheduler
    // directives, the end of a Dravix procedure.
    if (Is(line, "JCL_IF") || Is(line, "JCL_ELSE") || Is(line, "JCL_ENDIF") || Is(line, "CMT") ||
        Is(line, "OPC") || line == "PROCEND")
        return;
    throw RecordError("unknown record '" + std::string(line.substr(0, 40)) + "'");
}

void TextImportReader::JobRecord(std::string_view rest) {
    std::string_view fields;
    if (Starts(rest, "START ", fields))
        assembler_.BeginJob(std::string(fields));
    else if (rest == "END")
        assembler_.EndJob();
    else if (Starts(rest, "LINES ", fields))
        assembler_.JobLines(ParseLines(fields));
    else if (!Starts(rest, "PARM ", fields))
        throw RecordError("unknown JOB record");
}

void TextImportReader::ProcRecord(std::string_view rest) {
    std::string_view fields;
    if (Starts(rest, "PARM ", fields)) return assembler_.ProcedureParameter(std::string(fields));
    if (Starts(rest, "LINES ", fields)) return; // Dravix: the lines of the calling EXEC
    assembler_.StepSourceRecord({ParseProcSource(rest), SourceKind::Procedure, true});
}

void TextImportReader::StepRecord(std::string_view rest) {
    std::string_view fields;
    if (Starts(rest, "LINES ", fields)) {
        assembler_.CurrentStep().lines = ParseLines(fields);
        return;
    }
    if (Starts(rest, "PARM ", fields)) return; // EXEC parameters other than PGM and PARM
    assembler_.BeginStep(ParseStep(rest));
}

void TextImportReader::DdRecord(std::string_view rest) {
    std::string_view fields;
    if (Starts(rest, "START ", fields)) {
        assembler_.EndElement();
        ddName_.assign(fields);
    } else if (Starts(rest, "SEQ ", fields)) {
        assembler_.BeginTextElement(ddName_, ParseNumber(fields, "DD sequence"));
    } else if (Starts(rest, "LINES ", fields)) {
        assembler_.ElementLines(ParseLines(fields));
    } else if (Starts(rest, "DSN ", fields)) {
        assembler_.CurrentElement().dsn.assign(SkipBlanks(fields));
    } else if (Starts(rest, "STAT ", fields)) {
        assembler_.CurrentElement().status.assign(fields);
    } else if (Starts(rest, "DISP ", fields)) {
        assembler_.CurrentElement().disposition.assign(fields);
    } else if (Starts(rest, "SERVER ", fields)) {
        assembler_.CurrentElement().server.assign(fields);
    } else if (Starts(rest, "PARMS ", fields)) {
        NoteParameters(fields, assembler_.CurrentElement().kind);
    } else if (Starts(rest, "PARM ", fields)) {
        NoteParameters(fields, assembler_.CurrentElement().kind);
    } else if (rest == "END") {
        assembler_.CurrentElement();
        assembler_.EndElement();
    } else if (!(Is(rest, "PRM1") || Is(rest, "PRMn") || Is(rest, "DSP3") || Is(rest, "SPC4") ||
                 Is(rest, "DATA") || Is(rest, "DATAX") || Is(rest, "DATALINES"))) {
        // Velkor's parameter details and captured data say nothing the database holds.
        throw RecordError("unknown DD record");
    }
}

void TextImportReader::EndMember(std::string_view rest) {
    Words words(rest);
    std::string severity, completion;
    if (!words.Next(severity) || !words.Next(completion) || completion.size() != 1)
        throw RecordError("END JCL needs a severity and C or E");
    sink_(assembler_.Finish(ParseNumber(severity, "severity"), completion[0]));
}

} // namespace xref
