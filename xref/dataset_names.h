// Data set names as people ask for them: relative generations of a generation data group
// folded to the group's base name, temporary data sets, and the patterns of ISPF's data set
// list (PROD.PAY.*, PROD.**, PROD.PAY%.X).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace xref {

// A name split into its base and relative generation: A.B(+1) is A.B and "+1", A.B(0) is
// A.B and "0". Any other name (a member reference A.B(MEM), an absolute generation
// A.B.G0001V00) is its own base with no generation. Both are views into the name.
struct FoldedName {
    std::string_view base;
    std::string_view generation;
};
FoldedName FoldGeneration(std::string_view name);

// The name as written: the base with its generation, if any.
std::string WithGeneration(std::string_view base, std::string_view generation);

// A temporary data set (&&TEMP, or &TEMP that no symbol replaced) lives only in its job.
bool IsTemporary(std::string_view name);

// A data set name pattern. Qualifiers are separated by dots; within a qualifier * stands
// for any run of characters and % for one; a qualifier ** stands for any number of
// qualifiers, none included. A pattern without * or % is a plain name.
class DatasetPattern {
  public:
    explicit DatasetPattern(std::string_view pattern);
    bool Matches(std::string_view name) const;
    bool HasWildcards() const { return wildcards_; }
    // The text every matching name starts with, for a range search in a sorted index.
    const std::string& LiteralPrefix() const { return prefix_; }

  private:
    std::vector<std::string> qualifiers_;
    std::string prefix_;
    bool wildcards_ = false;
};

// The smallest text above every text that starts with `prefix`; empty when there is none.
std::string PrefixUpperBound(std::string prefix);

} // namespace xref
