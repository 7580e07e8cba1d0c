// Lines of an import file, read in large blocks so a file of hundreds of megabytes costs no
// allocation per line. Works on pipes too: the file is read once, front to back.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace xref {

class LineSource {
  public:
    // Opens the file; throws ImportError when it cannot be opened.
    explicit LineSource(const std::string& path);
    // Reads an open stream, which stays the caller's; `name` is what messages call it.
    LineSource(std::FILE* file, const std::string& name);
    ~LineSource();
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // The next line without its line end (LF or CR LF); false at the end of the file.
    // The view stays valid until the next call.
    bool Next(std::string_view& line);
    int LineNumber() const { return lineNumber_; }
    const std::string& Path() const { return path_; }

  private:
    bool Refill();

    std::string path_;
    std::FILE* file_ = nullptr;
    bool owned_ = false;
    std::vector<char> buffer_;
    size_t begin_ = 0; // first unread byte
    size_t end_ = 0;   // one past the last byte read
    bool atEnd_ = false;
    int lineNumber_ = 0;
};

} // namespace xref
