// kvr-xref: loads kvr4000 import files into an SQLite database and answers cross-reference
// questions about jobs, programs and data sets.
#include <filesystem>
#include <iostream>
#include <optional>

#include "arguments.h"
#include "diff_command.h"
#include "graph_command.h"
#include "import_error.h"
#include "loader.h"
#include "questions.h"
#include "report.h"
#include "scan_state.h"
#include "schema.h"

namespace {

using namespace xref;

int Load(const Command& command) {
    IncrementalLoad incremental;
    std::optional<SourceHashes> hashes;
    if (!command.forgetList.empty()) incremental.forget = ReadMemberNames(command.forgetList);
    if (!command.sourceHashes.empty()) {
        hashes = SourceHashes::Read(command.sourceHashes);
        incremental.hashes = &*hashes;
    }
    const LoadSummary summary = LoadImportFiles(command.database, command.imports, std::cerr,
                                                command.cacheMegabytes, incremental);
    std::cout << "loaded " << summary.members << " member" << (summary.members == 1 ? "" : "s")
              << " (" << summary.replaced << " replaced) from " << summary.files << " import file"
              << (summary.files == 1 ? "" : "s") << " into " << command.database;
    if (!command.forgetList.empty()) std::cout << ", " << summary.forgotten << " dropped";
    std::cout << '\n';
    return 0;
}

int ScanState(const Command& command) {
    // Nothing scanned yet: a load would create the database.
    std::error_code error;
    if (!std::filesystem::exists(command.database) ||
        std::filesystem::file_size(command.database, error) == 0)
        return 0;
    const std::unique_ptr<Database> db = OpenForQuestions(command.database);
    WriteScanState(*db, std::cout);
    return 0;
}

ResultTable Ask(Database& db, const Command& command) {
    const std::string& name = command.argument;
    const std::string& question = command.question;
    if (question == "dataset") return AskDataset(db, name, command.generations);
    if (question == "writers") return AskWriters(db, name, command.generations);
    if (question == "readers") return AskReaders(db, name, command.generations);
    if (question == "program") return AskProgram(db, name);
    if (question == "plan") return AskPlan(db, name);
    if (question == "psb") return AskPsb(db, name);
    if (question == "proc") return AskProc(db, name);
    if (question == "include") return AskInclude(db, name);
    if (question == "job") return AskJob(db, name);
    if (question == "lineage")
        return AskLineage(db, name, {command.up, command.down, command.depth, command.generations});
    if (question == "missing") return AskMissing(db);
    if (question == "messages") return AskMessages(db, command.minimumSeverity);
    return AskStats(db);
}

} // namespace

int main(int argc, char** argv) {
    int exitCode = 0;
    const std::optional<Command> command = ParseArguments(argc, argv, exitCode);
    if (!command) return exitCode;
    // diff keeps 1 for "there are differences", as diff(1) does: every failure of it is 2.
    const bool diff = command->question == "diff";
    try {
        if (command->load) return Load(*command);
        if (command->scanState) return ScanState(*command);
        if (command->importSources) {
            WriteImportSources(command->imports, std::cout);
            return 0;
        }
        if (diff) return RunDiff(*command);
        const std::unique_ptr<Database> db = OpenForQuestions(command->database);
        if (command->question == "report") {
            const ReportSummary summary = WriteReport(*db, command->reportFolder);
            std::cout << "wrote " << summary.pages << " pages into " << command->reportFolder
                      << '\n';
            return 0;
        }
        if (command->question == "graph") {
            RunGraph(*db, *command, std::cerr);
            return 0;
        }
        WriteResult(Ask(*db, *command), command->format, std::cout);
        return 0;
    } catch (const SchemaError& error) {
        std::cerr << "kvr-xref: " << error.what() << '\n';
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "kvr-xref: " << error.what() << (command->load ? " (nothing was loaded)" : "")
                  << '\n';
        return diff ? kDiffFailed : 1;
    }
}
