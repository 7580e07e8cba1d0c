#include "diff_command.h"

#include <fstream>
#include <iostream>
#include <stdexcept>

#include "diff_output.h"
#include "schema.h"

namespace xref {

int RunDiff(const Command& command) {
    const std::unique_ptr<Database> db = OpenForComparison(command.oldDatabase, command.database);
    const std::vector<Difference> differences = CompareInventories(*db);
    std::ofstream file;
    if (!command.outputPath.empty()) {
        file.open(command.outputPath, std::ios::binary | std::ios::trunc);
        if (!file) throw std::runtime_error("cannot write " + command.outputPath);
    }
    std::ostream& out = command.outputPath.empty() ? std::cout : file;
    if (command.format == OutputFormat::Json)
        WriteDifferencesJson(differences, out);
    else
        WriteDifferencesTable(differences, out);
    out.flush();
    if (!out)
        throw std::runtime_error("cannot write " + (command.outputPath.empty()
                                                        ? std::string("standard output")
                                                        : command.outputPath));
    return differences.empty() ? kNoDifferences : kDifferences;
}

} // namespace xref
