#include "dataset_access.h"

#include <cctype>

namespace xref {

Access AccessFromDisposition(std::string_view status, std::string_view disposition) {
    if (status.empty()) status = "NEW";
    if (disposition.empty()) disposition = status == "NEW" ? "DELETE" : "KEEP";
    Access access;
    access.reads = status == "SHR";
    access.writes = status == "OLD" || status == "MOD" || status == "NEW";
    access.creates = status == "NEW";
    access.deletes = disposition == "DELETE";
    return access;
}

FtpSide FtpTransferSide(std::string_view ddName, const DataSetElement& element) {
    // FTP001_I: FTP, three digits, an underscore and the side; the analyzer gives such a
    // DD no status, which tells it from a DD that merely has a name like it.
    if (ddName.size() != 8 || ddName.substr(0, 3) != "FTP" || ddName[6] != '_' ||
        !element.status.empty())
        return FtpSide::None;
    for (size_t i = 3; i < 6; ++i)
        if (!std::isdigit(static_cast<unsigned char>(ddName[i]))) return FtpSide::None;
    if (ddName[7] == 'I') return FtpSide::Input;
    if (ddName[7] == 'O') return FtpSide::Output;
    return FtpSide::None;
}

Access DeriveAccess(std::string_view ddName, const DataSetElement& element) {
    if (element.dsn.empty()) return {};
    switch (FtpTransferSide(ddName, element)) {
    case FtpSide::Input:
        return {true, false, false, false};
    case FtpSide::Output:
        return {false, true, false, false};
    case FtpSide::None:
        break;
    }
    return AccessFromDisposition(element.status, element.disposition);
}

std::string AccessText(const Access& access) {
    std::string text;
    auto add = [&text](bool on, const char* word) {
        if (!on) return;
        if (!text.empty()) text += ',';
        text += word;
    };
    add(access.reads, "read");
    add(access.writes, "write");
    add(access.creates, "create");
    add(access.deletes, "delete");
    return text;
}

std::vector<std::string> SplitParameters(std::string_view text) {
    std::vector<std::string> parameters;
    std::string current;
    int depth = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '\'') quoted = !quoted;
        if (!quoted && c == '(') ++depth;
        if (!quoted && c == ')' && depth > 0) --depth;
        if (c == ',' && !quoted && depth == 0) {
            parameters.push_back(std::move(current));
            current.clear();
            continue;
        }
        current += c;
    }
    if (!current.empty() || !parameters.empty()) parameters.push_back(std::move(current));
    return parameters;
}

void NoteParameters(std::string_view text, DdKind& kind) {
    // Most DD parameters name a data set; those are passed over without a walk.
    if (text.find('*') == std::string_view::npos &&
        text.find("SYSOUT=") == std::string_view::npos &&
        text.find("DUMMY") == std::string_view::npos &&
        text.find("DATA") == std::string_view::npos &&
        text.find("NULLFILE") == std::string_view::npos)
        return;
    // The same walk as SplitParameters, without copying: this runs for every DD record.
    int depth = 0;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ',';
        if (c == '\'') quoted = !quoted;
        if (!quoted && c == '(') ++depth;
        if (!quoted && c == ')' && depth > 0) --depth;
        if (c != ',' || quoted || depth != 0) continue;
        const std::string_view parameter = text.substr(start, i - start);
        start = i + 1;
        if (parameter == "*" || parameter == "DATA") kind.instream = true;
        if (parameter == "DUMMY" || parameter == "DSN=NULLFILE" || parameter == "DSNAME=NULLFILE")
            kind.dummy = true;
        if (parameter.substr(0, 7) == "SYSOUT=") kind.sysout = true;
    }
}

} // namespace xref
