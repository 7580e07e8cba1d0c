// The one failure of reading an import file: a record that cannot be read, with where it is.
#pragma once

#include <stdexcept>
#include <string>

namespace xref {

class ImportError : public std::runtime_error {
  public:
    ImportError(const std::string& file, int line, const std::string& what)
        : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " +
                             what) {}
};

// A record that does not fit where it stands; the reader adds the file and line.
class RecordError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace xref
