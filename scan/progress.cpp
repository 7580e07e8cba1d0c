#include "progress.h"

#include "file_io.h"

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace kvrscan {

bool is_member_end(std::string_view line, bool xml) {
    if (!xml) {
        constexpr std::string_view end_jcl = "END JCL";
        return line.starts_with(end_jcl) &&
               (line.size() == end_jcl.size() || line[end_jcl.size()] == ' ');
    }
    constexpr std::string_view blanks = " \t\n\v\f\r"; // [[:space:]] in the C locale
    std::size_t first = line.find_first_not_of(blanks);
    if (first == std::string_view::npos) return false;
    return line.substr(first, line.find_last_not_of(blanks) + 1 - first) == "</jcl>";
}

MemberEndCounter::MemberEndCounter(std::filesystem::path import_file, bool xml)
    : import_file_(std::move(import_file)), xml_(xml) {}

std::size_t MemberEndCounter::count() {
    UniqueFd file = open_file(import_file_, O_RDONLY);
    if (!file) return members_; // not written yet
    std::array<char, 1 << 16> buffer;
    for (;;) {
        ssize_t got = pread(file.get(), buffer.data(), buffer.size(), read_up_to_);
        if (got <= 0) break;
        read_up_to_ += got;
        partial_line_.append(buffer.data(), static_cast<std::size_t>(got));
        std::string_view lines = partial_line_;
        for (std::size_t end; (end = lines.find('\n')) != std::string_view::npos;) {
            members_ += is_member_end(lines.substr(0, end), xml_);
            lines.remove_prefix(end + 1);
        }
        partial_line_ = std::string(lines);
    }
    return members_;
}

std::string progress_text(std::size_t done, std::size_t members,
                          std::chrono::milliseconds elapsed) {
    double rate = elapsed.count() > 0
                      ? static_cast<double>(done) * 1000 / static_cast<double>(elapsed.count())
                      : 0;
    char text[128];
    std::snprintf(text, sizeof text, "\rkvr-scan: %zu of %zu members, %.1f members/s ", done,
                  members, rate);
    return text;
}

ProgressLine::ProgressLine(const std::vector<std::filesystem::path>& shard_imports, bool xml,
                           std::size_t members)
    : members_(members), started_(std::chrono::steady_clock::now()) {
    for (const auto& import : shard_imports)
        counters_.emplace_back(import, xml);
}

ProgressLine::~ProgressLine() {
    if (open_) {
        [[maybe_unused]] ssize_t ignored = write(STDERR_FILENO, "\n", 1);
    }
}

void ProgressLine::show() {
    std::size_t done = 0;
    for (MemberEndCounter& counter : counters_)
        done += counter.count();
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started_);
    std::string text = progress_text(done, members_, elapsed);
    [[maybe_unused]] ssize_t ignored = write(STDERR_FILENO, text.data(), text.size());
    open_ = true;
}

void ProgressLine::finish() {
    show();
    open_ = false;
    [[maybe_unused]] ssize_t ignored = write(STDERR_FILENO, "\n", 1);
}

} // namespace kvrscan
