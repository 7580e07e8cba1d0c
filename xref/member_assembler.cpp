#include "member_assembler.h"

#include <cstdlib>

#include "import_error.h"

namespace xref {

namespace {

bool IsLocator(int number) {
    return number == 1470 || number == 1471 || number == 3130 || number == 3131;
}

// The text between `before` and `after` in a message text.
std::string Between(const std::string& text, const char* before, const char* after) {
    const size_t start = text.find(before);
    if (start == std::string::npos) return {};
    const size_t from = start + std::char_traits<char>::length(before);
    const size_t end = text.find(after, from);
    if (end == std::string::npos) return {};
    return text.substr(from, end - from);
}

// A procedure call's first parameter names the procedure, bare or as PROC=name.
bool StartsCall(const std::string& parameter) {
    return parameter.find('=') == std::string::npos || parameter.rfind("PROC=", 0) == 0;
}

} // namespace

bool ParseLocator(const Message& message, std::string& member, int& line) {
    if (!IsLocator(message.number)) return false;
    member = Between(message.text, "member ", " at line ");
    const std::string number = Between(message.text, " at line ", ":");
    line = std::atoi(number.c_str());
    return true;
}

std::string MissingMemberName(const Message& message) {
    if (message.number != 1309 && message.number != 3028) return {};
    return Between(message.text, "Member ", " was not found");
}

void MemberAssembler::Begin(int importLine) {
    if (open_) throw RecordError("a member starts before the last one ended");
    member_ = ImportMember();
    member_.firstLine = importLine;
    open_ = true;
    jobOpen_ = stepOpen_ = ddOpen_ = elementOpen_ = locatorPending_ = false;
    pendingSource_ = StepSource();
    pendingLines_ = LineRange();
}

Job& MemberAssembler::CurrentJob() {
    if (!jobOpen_) throw RecordError("record outside a job");
    return member_.jobs.back();
}

void MemberAssembler::BeginJob(std::string name) {
    if (jobOpen_) throw RecordError("a job starts inside another job");
    member_.jobs.emplace_back().name = std::move(name);
    jobOpen_ = true;
}

void MemberAssembler::JobLines(const LineRange& lines) {
    CurrentJob().lines = lines;
}

void MemberAssembler::EndJob() {
    if (!jobOpen_) throw RecordError("a job ends that did not start");
    EndStep();
    jobOpen_ = false;
}

void MemberAssembler::ProcedureParameter(std::string parameter) {
    Job& job = CurrentJob();
    const bool continues = !job.calls.empty() && job.calls.back().nextStep == job.steps.size();
    if (StartsCall(parameter) || !continues) {
        ProcedureCall& call = job.calls.emplace_back();
        call.nextStep = job.steps.size();
        if (parameter.rfind("PROC=", 0) == 0) parameter.erase(0, 5);
        if (parameter.find('=') == std::string::npos)
            call.name = std::move(parameter);
        else
            call.parms.push_back(std::move(parameter));
        return;
    }
    job.calls.back().parms.push_back(std::move(parameter));
}

void MemberAssembler::StepSourceRecord(StepSource source) {
    CurrentJob();
    pendingSource_ = std::move(source);
    pendingSource_.given = true;
}

Step& MemberAssembler::BeginStep(Step step) {
    EndStep();
    Job& job = CurrentJob();
    if (pendingSource_.given) step.source = std::move(pendingSource_);
    pendingSource_ = StepSource();
    stepOpen_ = true;
    return job.steps.emplace_back(std::move(step));
}

Step& MemberAssembler::CurrentStep() {
    if (!stepOpen_) throw RecordError("record outside a step");
    return CurrentJob().steps.back();
}

void MemberAssembler::EndStep() {
    EndDd();
    stepOpen_ = false;
}

void MemberAssembler::AddRunUnit(RunUnit unit) {
    Step& step = CurrentStep();
    if (step.runUnit) throw RecordError("a second run unit for the step");
    step.runUnit = std::move(unit);
}

std::vector<DdStatement>& MemberAssembler::DdOwner() {
    return stepOpen_ ? CurrentStep().dds : CurrentJob().dds;
}

void MemberAssembler::BeginDd(std::string name) {
    EndDd();
    DdOwner().emplace_back().name = std::move(name);
    ddOpen_ = true;
}

void MemberAssembler::NameDd(std::string name) {
    if (!ddOpen_) throw RecordError("a DD name outside a DD");
    DdOwner().back().name = std::move(name);
}

void MemberAssembler::StartElement(int seq) {
    DataSetElement& element = DdOwner().back().elements.emplace_back();
    element.seq = seq;
    element.lines = pendingLines_;
    pendingLines_ = LineRange();
    elementOpen_ = true;
}

void MemberAssembler::BeginTextElement(std::string name, int seq) {
    if (elementOpen_) throw RecordError("a data set starts inside another one");
    const bool sameStatement = ddOpen_ && DdOwner().back().name == name &&
                               !DdOwner().back().elements.empty() &&
                               seq > DdOwner().back().elements.back().seq;
    if (!sameStatement) BeginDd(std::move(name));
    StartElement(seq);
}

void MemberAssembler::BeginXmlElement(int seq) {
    EndElement(); // Dravix mode leaves concat elements open
    if (!ddOpen_) throw RecordError("a concat element outside a DD");
    const DdStatement& dd = DdOwner().back();
    // Each data set row is keyed by its place in the concatenation, so one that does not
    // follow the last starts a DD statement of its own.
    if (!dd.elements.empty() && seq <= dd.elements.back().seq) {
        const std::string name = dd.name;
        BeginDd(name);
    }
    StartElement(seq);
}

void MemberAssembler::ElementLines(const LineRange& lines) {
    if (elementOpen_)
        CurrentElement().lines = lines;
    else
        pendingLines_ = lines;
}

DataSetElement& MemberAssembler::CurrentElement() {
    if (!elementOpen_) throw RecordError("record outside a DD data set");
    return DdOwner().back().elements.back();
}

void MemberAssembler::EndElement() {
    elementOpen_ = false;
}

void MemberAssembler::EndDd() {
    EndElement();
    if (ddOpen_ && DdOwner().back().elements.empty()) DdOwner().pop_back();
    ddOpen_ = false;
}

void MemberAssembler::AddMessage(Message message) {
    if (locatorPending_) {
        locatorPending_ = false;
        if (!IsLocator(message.number)) {
            ParseLocator(locator_, message.atMember, message.atLine);
            member_.messages.push_back(std::move(message));
            return;
        }
        member_.messages.push_back(std::move(locator_)); // a locator followed by none
    }
    if (IsLocator(message.number)) {
        locator_ = std::move(message);
        locatorPending_ = true;
        return;
    }
    member_.messages.push_back(std::move(message));
}

void MemberAssembler::AddSource(SourceRecord source) {
    if (jobOpen_) throw RecordError("a closing INCL record inside a job");
    member_.sources.push_back(std::move(source));
}

ImportMember MemberAssembler::Finish(int severity, char completion) {
    if (jobOpen_) throw RecordError("the member ends inside a job");
    if (locatorPending_) member_.messages.push_back(std::move(locator_));
    member_.severity = severity;
    member_.completion = completion;
    if (member_.name.member.empty())
        for (const SourceRecord& source : member_.sources)
            if (source.kind == SourceKind::Job) {
                member_.name = source.name;
                break;
            }
    open_ = false;
    return std::move(member_);
}

} // namespace xref
