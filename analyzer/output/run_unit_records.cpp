// The records of what a step runs: its run-unit record and, for an FTP step, a pair of DD
// records for each transfer (FTPnnn_I where the data come from, FTPnnn_O where they go),
// so that the remote files show up as data sets of the step.
#include "base/contexts.h"
#include "output/import_records.h"
#include "rununits/run_units.h"

namespace kvr {
namespace {

const char* OrNull(const std::optional<std::string>& value) {
    return value ? value->c_str() : nullptr;
}

// One side of a transfer as a DD of its own, with the server it is on.
void PutTransferSide(MemberContext& ctx, const std::string& ddName, const std::string& pathName,
                     const std::string& serverName) {
    const std::string dsn = PathNameForDD(pathName);
    KVR_PutDD_start(ctx, ddName.c_str());
    KVR_PutDD(ctx, ddName.c_str(), 1, 1, 1, 1, FALSE, dsn.c_str(), "", "", "", nullptr, FALSE,
              nullptr, serverName.c_str());
    KVR_PutDD_end(ctx, ddName.c_str());
}

} // namespace

void PutStepRunUnit(MemberContext& ctx, RD_JobStep* iStep) {
    const RunUnit unit =
        FindRunUnit(ctx, iStep->ExecutableName.get(), iStep->ExecutableParms.get(), iStep);
    KVR_PutRU(ctx, unit.program.c_str(), OrNull(unit.plan), OrNull(unit.psb), OrNull(unit.region),
              OrNull(unit.subsystem));
    if (!IsFtpProgram(iStep->ExecutableName.get())) return;
    ForEachFtpTransfer(ctx, iStep, [&ctx](const FtpTransfer& transfer) {
        PutTransferSide(ctx, FtpTransferDDName(transfer.number, 'I'), transfer.inputName,
                        transfer.inputServer);
        PutTransferSide(ctx, FtpTransferDDName(transfer.number, 'O'), transfer.outputName,
                        transfer.outputServer);
    });
}

} // namespace kvr
