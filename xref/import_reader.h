// Reads an import file, text or XML (told apart by the first line), and hands each member
// to a sink as soon as it is complete. A record that cannot be read throws ImportError
// naming the file and line.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "import_model.h"

namespace xref {

using MemberSink = std::function<void(ImportMember&&)>;

// One form of the import file, fed line by line.
class FormReader {
  public:
    virtual ~FormReader() = default;
    virtual void Line(std::string_view line, int lineNumber) = 0;
    // The file ended; throws when it ends inside a member.
    virtual void End() = 0;
};

// Reads the file ("-" is standard input); returns the number of members.
size_t ReadImportFile(const std::string& path, const MemberSink& sink);

// The same from an open stream; `name` is what messages call it.
size_t ReadImportStream(std::FILE* file, const std::string& name, const MemberSink& sink);

} // namespace xref
