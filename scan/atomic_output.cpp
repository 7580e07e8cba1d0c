#include "atomic_output.h"

#include "errors.h"
#include "signals.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvrscan {
namespace {

// Room for ".NAME.kvr-scan.XXXXXX" within a file name's 255 bytes.
constexpr std::size_t longest_name_kept = 200;

mode_t mode_for_new_files() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

std::string real_path(const std::string& name) {
    char resolved[PATH_MAX];
    return realpath(name.c_str(), resolved) != nullptr ? std::string(resolved) : name;
}

} // namespace

FinalOutput::FinalOutput(StandardOutput)
    : kind_(Kind::StandardOutput), name_("-"), description_("standard output") {}

FinalOutput::FinalOutput(const std::string& name, std::string_view what)
    : kind_(Kind::Replaced), name_(name), description_("the " + std::string(what) + " " + name) {
    auto cannot_write = [&] {
        return UsageError("cannot write the " + std::string(what) + " " + name);
    };
    if (name.empty() || name.ends_with('/')) throw cannot_write();
    struct stat status;
    if (stat(name.c_str(), &status) != 0) {
        if (errno != ENOENT) throw cannot_write();
        make_temporary(name, mode_for_new_files());
    } else if (S_ISDIR(status.st_mode) || access(name.c_str(), W_OK) != 0) {
        throw cannot_write();
    } else if (!S_ISREG(status.st_mode)) {
        kind_ = Kind::Direct; // opening it now could block on a pipe, or reach a tape
    } else {
        // Through a link the file it names is replaced, as a plain write would have done.
        make_temporary(real_path(name), status.st_mode & 07777);
    }
    if (kind_ == Kind::Replaced && !file_) throw cannot_write();
}

FinalOutput::~FinalOutput() {
    file_.close();
    if (!temporary_name_.empty() && !committed_) unlink(temporary_name_.c_str());
}

void FinalOutput::make_temporary(const std::string& target, mode_t mode) {
    target_ = target;
    std::size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = folder + "." + base.substr(0, longest_name_kept) + ".kvr-scan.XXXXXX";
    int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return;
    file_ = UniqueFd(fd);
    temporary_name_ = pattern;
    fchmod(fd, mode); // mkostemp's 0600 would otherwise stay on the final file
}

void FinalOutput::fail(int error) const {
    throw ScanFailure("cannot write " + description_ + ": " + error_text(error));
}

int FinalOutput::open() {
    switch (kind_) {
    case Kind::StandardOutput:
        return STDOUT_FILENO;
    case Kind::Direct:
        // Without blocking: a pipe without a reader yet is waited for here, where a stop
        // signal ends the wait.
        while (!(file_ = open_file(name_, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK))) {
            if (errno != ENXIO) fail(errno);
            signals::wait_for_signal(std::chrono::milliseconds(100));
        }
        return file_.get();
    case Kind::Replaced:
        break;
    }
    return file_.get();
}

void FinalOutput::close() {
    if (kind_ == Kind::StandardOutput) return;
    // A full disk may show only here: delayed allocation, or a network file system.
    if (kind_ == Kind::Replaced && fsync(file_.get()) != 0 && errno != EINVAL) fail(errno);
    if (int error = file_.close()) fail(error);
}

void FinalOutput::commit() {
    if (kind_ != Kind::Replaced) return;
    if (rename(temporary_name_.c_str(), target_.c_str()) != 0) fail(errno);
    committed_ = true;
}

} // namespace kvrscan
