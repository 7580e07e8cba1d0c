#include "import_reader.h"

#include <memory>

#include "import_error.h"
#include "import_text_reader.h"
#include "import_xml_reader.h"
#include "line_source.h"

namespace xref {

namespace {

size_t ReadLines(LineSource& lines, const MemberSink& sink) {
    size_t members = 0;
    const MemberSink counting = [&](ImportMember&& member) {
        ++members;
        sink(std::move(member));
    };
    std::unique_ptr<FormReader> reader;
    std::string_view line;
    try {
        while (lines.Next(line)) {
            if (!reader) {
                if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
                // The XML form opens with its prologue; anything else is read as text.
                if (line.rfind("<?xml", 0) == 0)
                    reader = std::make_unique<XmlImportReader>(counting);
                else
                    reader = std::make_unique<TextImportReader>(counting);
            }
            reader->Line(line, lines.LineNumber());
        }
        if (reader) reader->End();
    } catch (const RecordError& error) {
        throw ImportError(lines.Path(), lines.LineNumber(), error.what());
    }
    return members;
}

} // namespace

size_t ReadImportFile(const std::string& path, const MemberSink& sink) {
    LineSource lines(path);
    return ReadLines(lines, sink);
}

size_t ReadImportStream(std::FILE* file, const std::string& name, const MemberSink& sink) {
    LineSource lines(file, name);
    return ReadLines(lines, sink);
}

} // namespace xref
