// The fields of single text records of the import file. Both readers use these: the text
// form is all records, and the XML form keeps some records as text lines between elements.
#pragma once

#include <string>
#include <string_view>

#include "import_model.h"

namespace xref {

// Blank-separated words; a word starting with a double quote runs to the next double quote
// (names holding a blank are written that way) and is returned without the quotes.
class Words {
  public:
    explicit Words(std::string_view text) : rest_(text) {}
    bool Next(std::string& word);
    std::string_view Rest() const { return rest_; }

  private:
    std::string_view rest_;
};

int ParseNumber(std::string_view text, const char* what);

// The text up to the next single blank; `text` becomes what follows that blank.
std::string_view CutField(std::string_view& text);

// "src first last" of a LINES record.
LineRange ParseLines(std::string_view fields);

// "n name program "parm" procstep" of a STEP record. The name is empty in Velkor mode; the
// parm runs from the first double quote after the program to the last one on the line.
Step ParseStep(std::string_view fields);

// "program [PLAN=p] [PSB=p] [IMSR=r] [DSN=s]" of an RU record.
RunUnit ParseRunUnit(std::string_view fields);

// "k member container [RM=..] [SITE=..]" after INCL: with k 0 or 3 the source of the next
// step; with k 0, 1 or 2 after the jobs, a source the analysis read.
SourceRecord ParseInclude(std::string_view fields);

// "container member [RM=..] [SITE=..]" after PROC: the source of the next step.
MemberName ParseProcSource(std::string_view fields);

// "type program rc number "text"" of a MSG record.
Message ParseMessage(std::string_view fields);

// A Dravix LIBR record's container: "LIB", or "\"My Lib\":" for a name holding a blank.
std::string ParseLibraryName(std::string_view fields);

} // namespace xref
