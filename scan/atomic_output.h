// The import file and the log as the scan leaves them: either as they were before, or
// complete. A regular file (or a name not taken yet) is written under a temporary name in
// the same folder and renamed into place, which replaces it in one step. Anything else (a
// device, a pipe, standard output) cannot be replaced that way; it is opened and written
// only at the end, and only when every analyzer run succeeded.
#pragma once

#include "file_io.h"

#include <string>
#include <string_view>

namespace kvrscan {

class FinalOutput {
  public:
    // The import file written to standard output (-o -).
    struct StandardOutput {};
    explicit FinalOutput(StandardOutput);

    // NAME, described as WHAT in messages ("import file", "log"). Makes the temporary file
    // at once, which shows that the folder can be written; throws UsageError
    // "cannot write the WHAT NAME" when it cannot.
    FinalOutput(const std::string& name, std::string_view what);

    // Removes the temporary file unless it was put in place.
    ~FinalOutput();
    FinalOutput(const FinalOutput&) = delete;
    FinalOutput& operator=(const FinalOutput&) = delete;

    // Where the content goes: the temporary file, or the device or pipe opened now.
    int open();
    // All written: flushed to the disk and closed. Throws ScanFailure.
    void close();
    // The temporary file renamed to the final name. Throws ScanFailure.
    void commit();

    // "the import file NAME", for messages.
    const std::string& description() const { return description_; }
    bool is_standard_output() const { return kind_ == Kind::StandardOutput; }
    // A regular file (or a new one), which can be read again once it is in place; a device,
    // a pipe or standard output cannot.
    bool is_replaced_file() const { return kind_ == Kind::Replaced; }
    // The temporary file, empty when there is none.
    const std::string& temporary_name() const { return temporary_name_; }

  private:
    enum class Kind { Replaced, Direct, StandardOutput };

    void make_temporary(const std::string& target, mode_t mode);
    [[noreturn]] void fail(int error) const;

    Kind kind_;
    std::string name_;
    std::string description_;
    std::string target_; // the name renamed onto: NAME, or the file a link named NAME points to
    std::string temporary_name_;
    UniqueFd file_;
    bool committed_ = false;
};

} // namespace kvrscan
