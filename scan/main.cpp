// kvr-scan: analyses every member of whole libraries (folders of members) with kvr4000, in
// parallel shards whose import files and logs are joined back in file-list order.
#include "analyzer_command.h"
#include "command_line.h"
#include "errors.h"
#include "file_io.h"
#include "scan.h"
#include "signals.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

// A closed standard descriptor would be taken by the next file opened, and writes meant for
// the terminal would land in it.
void keep_standard_descriptors_open() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) open("/dev/null", O_RDWR);
}

std::filesystem::path self_executable() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : self;
}

int scan(kvrscan::ScanRequest& request, const std::vector<std::string>& arguments) {
    using namespace kvrscan;
    signals::install();
    request = parse_command_line(arguments);
    if (request.help) {
        std::fputs(help_text, stdout);
        return 0;
    }
    check_request(request);
    std::string analyzer = checked_analyzer(
        locate_analyzer(std::getenv("KVR4000"), self_executable(), std::getenv("PATH")));
    // Found before the scan: a load that could never start should not wait for it.
    std::string xref;
    if (request.database)
        xref = checked_program(locate_program("kvr-xref", std::getenv("KVR_XREF"),
                                              self_executable(), std::getenv("PATH")),
                               "kvr-xref", "KVR_XREF");
    return run_scan(request, analyzer, xref);
}

} // namespace

int main(int argc, char** argv) {
    using namespace kvrscan;
    keep_standard_descriptors_open();
    ScanRequest request;
    try {
        return scan(request, std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        say(error.what());
        if (error.show_usage) std::fputs(usage_lines, stderr);
        return 2;
    } catch (const Interrupted& stop) {
        if (stop.while_loading)
            say(std::string("stopped by ") + signals::stop_signal_name(stop.signal) +
                " while loading the database " + request.database.value_or("") + "; " +
                written_note(request) + ", the database was left as it was");
        else
            say(std::string("stopped by ") + signals::stop_signal_name(stop.signal) + "; " +
                untouched_note(request));
        return 128 + stop.signal;
    } catch (const LoadFailure& failure) {
        say(failure.what());
        return load_failure_exit_code;
    } catch (const ScanFailure& failure) {
        if (*failure.what() != '\0') say(failure.what());
        say("the scan failed; " + untouched_note(request));
        return 16;
    } catch (const std::exception& error) {
        say(std::string("the scan failed: ") + error.what() + "; " + untouched_note(request));
        return 16;
    } catch (...) {
        say("the scan failed; " + untouched_note(request));
        return 16;
    }
}
