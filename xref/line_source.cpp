#include "line_source.h"

#include <cstring>

#include "import_error.h"

namespace xref {

namespace {
constexpr size_t kBlockSize = 1 << 20;
}

LineSource::LineSource(const std::string& path) : path_(path), buffer_(kBlockSize) {
    file_ = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
    if (file_ == nullptr)
        throw ImportError(path, 0, std::string("cannot open: ") + std::strerror(errno));
    owned_ = file_ != stdin;
}

LineSource::LineSource(std::FILE* file, const std::string& name)
    : path_(name), file_(file), buffer_(kBlockSize) {}

LineSource::~LineSource() {
    if (owned_) std::fclose(file_);
}

// Moves the unread rest to the front and reads more behind it; grows the buffer when a
// single line fills it.
bool LineSource::Refill() {
    if (atEnd_) return false;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
    const size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (got == 0) {
        if (std::ferror(file_)) throw ImportError(path_, lineNumber_, "read error");
        atEnd_ = true;
        return false;
    }
    end_ += got;
    return true;
}

bool LineSource::Next(std::string_view& line) {
    size_t searchFrom = begin_;
    for (;;) {
        const void* found = std::memchr(buffer_.data() + searchFrom, '\n', end_ - searchFrom);
        if (found != nullptr) {
            const size_t newline = static_cast<const char*>(found) - buffer_.data();
            size_t length = newline - begin_;
            if (length > 0 && buffer_[newline - 1] == '\r') --length;
            line = std::string_view(buffer_.data() + begin_, length);
            begin_ = newline + 1;
            ++lineNumber_;
            return true;
        }
        const size_t scanned = end_ - begin_;
        if (!Refill()) break;
        searchFrom = begin_ + scanned;
    }
    if (begin_ == end_) return false;
    // A last line without a line end.
    size_t length = end_ - begin_;
    if (buffer_[end_ - 1] == '\r') --length;
    line = std::string_view(buffer_.data() + begin_, length);
    begin_ = end_;
    ++lineNumber_;
    return true;
}

} // namespace xref
