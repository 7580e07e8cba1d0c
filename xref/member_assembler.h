// Builds one ImportMember from the records of an import file as a reader meets them. The
// text and XML readers differ in syntax only; what a record means, and which job, step or
// DD it belongs to, is decided here.
#pragma once

#include <string>

#include "import_model.h"

namespace xref {

class MemberAssembler {
  public:
    void Begin(int importLine);
    bool Open() const { return open_; }
    bool InJob() const { return jobOpen_; }
    void SetContainer(std::string name) { member_.name.container = std::move(name); }
    void SetMember(std::string name) { member_.name.member = std::move(name); }

    void BeginJob(std::string name);
    void JobLines(const LineRange& lines);
    void EndJob();

    void ProcedureParameter(std::string parameter);
    void StepSourceRecord(StepSource source);
    Step& BeginStep(Step step);
    Step& CurrentStep();
    void EndStep();
    void AddRunUnit(RunUnit unit);

    // XML: a dd or joblibDDcard element starts a DD statement.
    void BeginDd(std::string name);
    void NameDd(std::string name); // XML: the name element follows the dd element
    // Text form: DD START names the DD; DD SEQ then starts the data set, and a sequence of 1
    // (or one not above the last) or another name starts a new DD statement.
    void BeginTextElement(std::string name, int seq);
    // XML: a concat element of the open DD statement.
    void BeginXmlElement(int seq);
    void ElementLines(const LineRange& lines); // DD LINES comes before the element starts
    DataSetElement& CurrentElement();
    void EndElement();
    void EndDd();

    void AddMessage(Message message);
    void AddSource(SourceRecord source);
    // Ends the member; its name, when no record gave it, is that of the job-member source.
    ImportMember Finish(int severity, char completion);

  private:
    Job& CurrentJob();
    std::vector<DdStatement>& DdOwner();
    void StartElement(int seq);

    ImportMember member_;
    bool open_ = false;
    bool jobOpen_ = false;
    bool stepOpen_ = false;
    bool ddOpen_ = false;
    bool elementOpen_ = false;
    StepSource pendingSource_;
    LineRange pendingLines_;
    bool locatorPending_ = false;
    Message locator_;
};

// The member and line a locator message (1470, 1471, 3130, 3131) names, when it is one.
bool ParseLocator(const Message& message, std::string& member, int& line);

// The member a "not found" message (1309, Velkor 3028) names; empty for any other message.
std::string MissingMemberName(const Message& message);

} // namespace xref
