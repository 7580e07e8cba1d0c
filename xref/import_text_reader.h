// The text form of the import file: one record a line, members framed by START JCL and
// END JCL (preceded by LIBR and MEMB in Dravix mode).
#pragma once

#include "import_reader.h"
#include "member_assembler.h"

namespace xref {

class TextImportReader : public FormReader {
  public:
    explicit TextImportReader(MemberSink sink) : sink_(std::move(sink)) {}
    void Line(std::string_view line, int lineNumber) override;
    void End() override;

  private:
    void OutsideMember(std::string_view line, int lineNumber);
    void MemberRecord(std::string_view line);
    void JobRecord(std::string_view rest);
    void ProcRecord(std::string_view rest);
    void StepRecord(std::string_view rest);
    void DdRecord(std::string_view rest);
    void EndMember(std::string_view rest);

    MemberSink sink_;
    MemberAssembler assembler_;
    std::string libraryName_; // Dravix LIBR and MEMB, for the next member
    std::string memberName_;
    std::string ddName_; // the last DD START
};

} // namespace xref
