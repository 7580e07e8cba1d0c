// The progress line shown on a terminal while the analyzers run.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kvrscan {

// Whether a line of an import file ends a member: "END JCL" (then a blank or nothing) in
// text, "</jcl>" alone between blanks in XML.
bool is_member_end(std::string_view line, bool xml);

// Counts the members finished in an import file that is still being written. The file only
// grows, so each look reads only what was added since the last one, and only whole lines.
class MemberEndCounter {
  public:
    MemberEndCounter(std::filesystem::path import_file, bool xml);
    std::size_t count();

  private:
    std::filesystem::path import_file_;
    bool xml_;
    long long read_up_to_ = 0;
    std::string partial_line_;
    std::size_t members_ = 0;
};

// "\rkvr-scan: D of M members, R members/s " (the rate to one decimal).
std::string progress_text(std::size_t done, std::size_t members, std::chrono::milliseconds elapsed);

// The line itself: rewritten in place on standard error, ended when the analyzers are done.
class ProgressLine {
  public:
    ProgressLine(const std::vector<std::filesystem::path>& shard_imports, bool xml,
                 std::size_t members);
    // Ends the line if it is still open, so that the next message starts on a line of its own.
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show();
    // The last count, and the line ended.
    void finish();

  private:
    std::vector<MemberEndCounter> counters_;
    std::size_t members_;
    std::chrono::steady_clock::time_point started_;
    bool open_ = false;
};

} // namespace kvrscan
