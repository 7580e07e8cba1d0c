// The XML form of the import file: one prologue, then a container element per member with
// no root element around them, and a few records left as text lines between the elements.
// Every element and text line stands on a line of its own, but a line is read as any
// sequence of tags and text, so the layout of blanks does not matter.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "import_reader.h"
#include "member_assembler.h"

namespace xref {

// Replaces the five named entities and numeric character references.
std::string DecodeXmlText(std::string_view text);

class XmlImportReader : public FormReader {
  public:
    explicit XmlImportReader(MemberSink sink) : sink_(std::move(sink)) {}
    void Line(std::string_view line, int lineNumber) override;
    void End() override;

  private:
    struct Attribute {
        std::string name, value;
    };
    void TextRecord(std::string_view line);
    void Tags(std::string_view line);
    size_t OpenTag(std::string_view line, size_t at);
    void Open(const std::string& name, const std::vector<Attribute>& attributes);
    void Close(const std::string& name);
    void Leaf(const std::string& parent, const std::string& name, std::string text);
    std::string Parent(size_t up) const;

    MemberSink sink_;
    MemberAssembler assembler_;
    std::vector<std::string> open_; // the elements open, outermost first
    std::string text_;              // the text of the innermost element
    int lineNumber_ = 0;
    Message message_;
    int severity_ = 0;
    char completion_ = 'C';
};

} // namespace xref
