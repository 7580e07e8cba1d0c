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
    std::string_view rest = line;
    const std::string_view type = CutField(rest);
    if (type == "DD") return DdRecord(rest);
    if (type == "STEP") return StepRecord(rest);
    if (type == "PROC") return ProcRecord(rest);
    if (type == "RU") return assembler_.AddRunUnit(ParseRunUnit(rest));
    if (type == "JOB") return JobRecord(rest);
    if (type == "MSG") return assembler_.AddMessage(ParseMessage(rest));
    if (type == "INCL") {
        SourceRecord record = ParseInclude(rest);
        // Inside a job INCL 0 and INCL 3 name the source of the next step; after the jobs
        // the INCL records list the sources the analysis read.
        if (assembler_.InJob())
            assembler_.StepSourceRecord({std::move(record.name), record.kind, true});
        else
            assembler_.AddSource(std::move(record));
        return;
    }
    if (type == "END" && CutField(rest) == "JCL") return EndMember(rest);
    // Records that carry nothing the database holds: IF/ELSE/ENDIF, comments, scheduler
    // directives, the end of a Dravix procedure.
    if (type == "JCL_IF" || type == "JCL_ELSE" || type == "JCL_ENDIF" || type == "CMT" ||
        type == "OPC" || type == "PROCEND")
        return;
    throw RecordError("unknown record '" + std::string(line.substr(0, 40)) + "'");
}

void TextImportReader::JobRecord(std::string_view rest) {
    const std::string_view type = CutField(rest);
    if (type == "START")
        assembler_.BeginJob(std::string(rest));
    else if (type == "END")
        assembler_.EndJob();
    else if (type == "LINES")
        assembler_.JobLines(ParseLines(rest));
    else if (type != "PARM")
        throw RecordError("unknown JOB record");
}

void TextImportReader::ProcRecord(std::string_view rest) {
    std::string_view fields = rest;
    const std::string_view type = CutField(fields);
    if (type == "PARM") return assembler_.ProcedureParameter(std::string(fields));
    if (type == "LINES") return; // Dravix: the lines of the calling EXEC
    assembler_.StepSourceRecord({ParseProcSource(rest), SourceKind::Procedure, true});
}

void TextImportReader::StepRecord(std::string_view rest) {
    std::string_view fields = rest;
    const std::string_view type = CutField(fields);
    if (type == "LINES") {
        assembler_.CurrentStep().lines = ParseLines(fields);
        return;
    }
    if (type == "PARM") return; // EXEC parameters other than PGM and PARM
    assembler_.BeginStep(ParseStep(rest));
}

void TextImportReader::DdRecord(std::string_view rest) {
    const std::string_view type = CutField(rest);
    if (type == "START") {
        assembler_.EndElement();
        ddName_.assign(rest);
    } else if (type == "SEQ") {
        assembler_.BeginTextElement(ddName_, ParseNumber(rest, "DD sequence"));
    } else if (type == "LINES") {
        assembler_.ElementLines(ParseLines(rest));
    } else if (type == "PARM" || type == "PARMS") {
        NoteParameters(rest, assembler_.CurrentElement().kind);
    } else if (type == "DSN") {
        assembler_.CurrentElement().dsn.assign(SkipBlanks(rest));
    } else if (type == "STAT") {
        assembler_.CurrentElement().status.assign(rest);
    } else if (type == "DISP") {
        assembler_.CurrentElement().disposition.assign(rest);
    } else if (type == "SERVER") {
        assembler_.CurrentElement().server.assign(rest);
    } else if (type == "END") {
        assembler_.CurrentElement();
        assembler_.EndElement();
    } else if (!(type == "PRM1" || type == "PRMn" || type == "DSP3" || type == "SPC4" ||
                 type == "DATA" || type == "DATAX" || type == "DATALINES")) {
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
