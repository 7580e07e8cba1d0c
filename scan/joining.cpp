#include "joining.h"

#include "errors.h"
#include "file_io.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <string_view>

namespace kvrscan {
namespace {

constexpr std::string_view xml_prologue_start = "<?xml ";

// Passes a file's content through, leaving out its first line when that is an XML prologue.
class PrologueFilter {
  public:
    explicit PrologueFilter(bool active) : deciding_(active) {}

    // The part of CHUNK to write; it may point into the filter's own buffer.
    std::string_view pass(std::string_view chunk) {
        if (deciding_) {
            // Enough is known once the line is as long as the prologue's start, or has ended.
            head_.append(chunk);
            if (head_.size() < xml_prologue_start.size() && head_.find('\n') == std::string::npos)
                return {};
            deciding_ = false;
            skipping_ = head_.starts_with(xml_prologue_start);
            chunk = head_;
        }
        if (skipping_) {
            std::size_t line_end = chunk.find('\n');
            if (line_end == std::string_view::npos) return {};
            skipping_ = false;
            chunk.remove_prefix(line_end + 1);
        }
        return chunk;
    }

    // What is still held back at the end of the file: a first line too short to decide on.
    std::string_view rest() const {
        return deciding_ ? std::string_view(head_) : std::string_view();
    }

  private:
    bool deciding_;
    bool skipping_ = false;
    std::string head_;
};

} // namespace

void append_file(const std::filesystem::path& from, int out, const std::string& out_name,
                 bool drop_xml_prologue) {
    UniqueFd in = open_file(from, O_RDONLY);
    if (!in) {
        if (errno == ENOENT) return;
        throw ScanFailure("cannot read " + from.string() + ": " + error_text(errno));
    }
    PrologueFilter filter(drop_xml_prologue);
    std::array<char, 1 << 16> buffer;
    while (std::size_t got = read_some(in.get(), buffer, from.string()))
        write_all(out, filter.pass(std::string_view(buffer.data(), got)), out_name);
    write_all(out, filter.rest(), out_name);
}

void join_imports(const std::vector<std::filesystem::path>& shard_imports, bool xml, int out,
                  const std::string& out_name) {
    for (std::size_t i = 0; i < shard_imports.size(); ++i)
        append_file(shard_imports[i], out, out_name, xml && i > 0);
}

void join_files(const std::vector<std::filesystem::path>& files, int out,
                const std::string& out_name) {
    for (const auto& file : files)
        append_file(file, out, out_name);
}

} // namespace kvrscan
