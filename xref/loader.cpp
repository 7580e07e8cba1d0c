#include "loader.h"

#include <exception>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <thread>
#include <unordered_map>

#include "database.h"
#include "dataset_access.h"
#include "dataset_names.h"
#include "import_reader.h"
#include "member_assembler.h"
#include "member_queue.h"
#include "scan_state.h"
#include "schema.h"

namespace xref {

const char* SourceKindText(SourceKind kind) {
    switch (kind) {
    case SourceKind::Job:
        return "job";
    case SourceKind::Include:
        return "include";
    case SourceKind::Procedure:
        return "procedure";
    }
    return "job";
}

namespace {

std::string JoinParameters(const std::vector<std::string>& parms) {
    std::string text;
    for (const std::string& parm : parms) {
        if (!text.empty()) text += ',';
        text += parm;
    }
    return text;
}

// Names that many rows repeat (data sets, programs, containers) live in a table of their
// own; this keeps the ids of those already there so each is looked up in memory.
class NameTable {
  public:
    NameTable(Database& db, const char* table)
        : insert_(db.Handle(), std::string("INSERT INTO ") + table + "(name) VALUES (?1)"),
          db_(db) {
        Statement all(db.Handle(), std::string("SELECT id, name FROM ") + table);
        while (all.Step())
            ids_.emplace(all.Text(1), all.Int(0));
    }
    int64_t Id(std::string_view name) {
        const auto found = ids_.find(name);
        if (found != ids_.end()) return found->second;
        insert_.Bind(1, name).Run();
        const int64_t id = db_.LastInsertId();
        ids_.emplace(name, id);
        return id;
    }

  private:
    // Looked up by a view into the import file's text, without a copy.
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };
    Statement insert_;
    Database& db_;
    std::unordered_map<std::string, int64_t, Hash, std::equal_to<>> ids_;
};

// What the loader needs to know about one member's closing INCL records: the sources, in
// the order LINES records number them (from 1). A member reads a handful, so they are
// searched one by one.
struct MemberSources {
    struct Source {
        const SourceRecord* record;
        int64_t id;
    };
    std::vector<Source> byNumber;

    const Source* Find(const MemberName& name) const {
        for (const Source& source : byNumber)
            if (source.record->name.member == name.member &&
                source.record->name.container == name.container)
                return &source;
        return nullptr;
    }
    // The cataloged procedure of that member name, if the analysis read one.
    const Source* Procedure(const std::string& member) const {
        for (const Source& source : byNumber)
            if (source.record->kind == SourceKind::Procedure &&
                source.record->name.member == member)
                return &source;
        return nullptr;
    }
};

// Where a step came from. Dravix and Velkor mode write every source as PROC; the closing
// INCL records say what it really is.
SourceKind ResolvedKind(const MemberSources& sources, const StepSource& source) {
    if (!source.given) return SourceKind::Job;
    const MemberSources::Source* closing = sources.Find(source.name);
    return closing != nullptr ? closing->record->kind : source.kind;
}

class MemberLoader {
  public:
    MemberLoader(Database& db, const SourceHashes* hashes);
    // False when the member has no name and is left out.
    bool Load(const ImportMember& member, bool& replaced);
    // Drops the rows of an analysed member; it stays (as one only read as a source) while
    // other members use it. False when no such member was analysed.
    bool Forget(const MemberName& name);

  private:
    struct KnownMember {
        int64_t id;
        bool analysed;
    };
    KnownMember& Member(const MemberName& name);
    void DeleteRows(int64_t memberId);
    MemberSources Sources(int64_t memberId, const ImportMember& member);
    void LoadJob(int64_t memberId, int ordinal, const Job& job, const MemberSources& sources,
                 const std::set<std::string>& missing);
    std::vector<int64_t> LoadCalls(int64_t jobId, const Job& job, const MemberSources& sources,
                                   const std::set<std::string>& missing);
    void LoadStep(int64_t jobId, const Step& step, int64_t callId, const MemberSources& sources,
                  int& ddOrdinal);
    void LoadDd(int64_t jobId, int64_t stepId, int ordinal, const DdStatement& dd,
                const MemberSources& sources, const Step* step, int64_t stepSourceId);
    void LoadMessages(int64_t memberId, const ImportMember& member);
    int64_t SourceId(const MemberSources& sources, int number) const;
    int64_t ProgramId(const std::string& name) { return name.empty() ? 0 : programs_.Id(name); }

    Database& db_;
    const SourceHashes* hashes_;
    NameTable containers_, programs_, datasets_;
    std::unordered_map<std::string, KnownMember> members_; // by container id and name
    Statement insertMember_, markAnalysed_, insertSourceUse_, insertJob_, insertCall_, insertStep_,
        insertDd_, insertMessage_, insertMissing_, insertHash_, findAnalysed_, markForgotten_;
    std::vector<std::unique_ptr<Statement>> deletes_;
};

MemberLoader::MemberLoader(Database& db, const SourceHashes* hashes)
    : db_(db), hashes_(hashes), containers_(db, "container"), programs_(db, "program"),
      datasets_(db, "dataset"),
      insertMember_(db.Handle(), "INSERT INTO member(container_id, name) VALUES (?1, ?2)"),
      markAnalysed_(db.Handle(), "UPDATE member SET severity = ?2, completion = ?3 WHERE id = ?1"),
      insertSourceUse_(db.Handle(), "INSERT INTO source_use(member_id, ordinal, kind, source_id) "
                                    "VALUES (?1, ?2, ?3, ?4)"),
      insertJob_(db.Handle(), "INSERT INTO job(member_id, ordinal, name, first_line, last_line) "
                              "VALUES (?1, ?2, ?3, ?4, ?5)"),
      insertCall_(db.Handle(), "INSERT INTO proc_call(job_id, ordinal, name, parms, kind, "
                               "procedure_id) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
      insertStep_(db.Handle(),
                  "INSERT INTO step(job_id, number, name, program_id, parm, proc_step, "
                  "source_kind, source_id, first_line, last_line, proc_call_id, "
                  "run_unit_program_id, plan, psb, ims_region, db2_subsystem) VALUES (?1, ?2, "
                  "?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)"),
      insertDd_(db.Handle(),
                "INSERT INTO dd(job_id, step_id, ordinal, name, seq, dataset_id, generation, "
                "status, disposition, temporary, sysout, dummy, instream, server, source_id, "
                "first_line, last_line, reads, writes, creates, deletes) VALUES (?1, ?2, ?3, "
                "?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, "
                "?21)"),
      insertMessage_(db.Handle(), "INSERT INTO message(member_id, program, severity, number, "
                                  "text, at_member, at_line) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"),
      insertMissing_(db.Handle(), "INSERT INTO missing(member_id, name, kind, at_member, "
                                  "at_line) VALUES (?1, ?2, ?3, ?4, ?5)"),
      insertHash_(db.Handle(),
                  "INSERT INTO source_hash(member_id, ordinal, hash) VALUES (?1, ?2, ?3)"),
      findAnalysed_(db.Handle(),
                    "SELECT m.id, m.container_id FROM member m JOIN container c ON c.id = "
                    "m.container_id WHERE c.name = ?1 AND m.name = ?2 AND "
                    "m.severity IS NOT NULL"),
      markForgotten_(db.Handle(),
                     "UPDATE member SET severity = NULL, completion = NULL WHERE id = ?1") {
    Statement all(db.Handle(), "SELECT id, container_id, name, severity IS NOT NULL FROM member");
    while (all.Step())
        members_.emplace(std::to_string(all.Int(1)) + '\x01' + all.Text(2),
                         KnownMember{all.Int(0), all.Int(3) != 0});
    // Children first; a member's rows are found through its jobs.
    for (const char* sql : {
             "DELETE FROM dd WHERE job_id IN (SELECT id FROM job WHERE member_id = ?1)",
             "DELETE FROM step WHERE job_id IN (SELECT id FROM job WHERE member_id = ?1)",
             "DELETE FROM proc_call WHERE job_id IN (SELECT id FROM job WHERE member_id = ?1)",
             "DELETE FROM job WHERE member_id = ?1",
             "DELETE FROM source_use WHERE member_id = ?1",
             "DELETE FROM message WHERE member_id = ?1",
             "DELETE FROM missing WHERE member_id = ?1",
             "DELETE FROM source_hash WHERE member_id = ?1",
         })
        deletes_.push_back(std::make_unique<Statement>(db.Handle(), sql));
}

MemberLoader::KnownMember& MemberLoader::Member(const MemberName& name) {
    const int64_t containerId = containers_.Id(name.container);
    const std::string key = std::to_string(containerId) + '\x01' + name.member;
    const auto found = members_.find(key);
    if (found != members_.end()) return found->second;
    insertMember_.Bind(1, containerId).Bind(2, name.member).Run();
    return members_.emplace(key, KnownMember{db_.LastInsertId(), false}).first->second;
}

void MemberLoader::DeleteRows(int64_t memberId) {
    for (const auto& statement : deletes_)
        statement->Bind(1, memberId).Run();
}

bool MemberLoader::Load(const ImportMember& member, bool& replaced) {
    replaced = false;
    if (member.name.member.empty()) return false;
    KnownMember& known = Member(member.name);
    const int64_t memberId = known.id;
    if (known.analysed) {
        DeleteRows(memberId);
        replaced = true;
    }
    known.analysed = true;
    markAnalysed_.Bind(1, memberId)
        .Bind(2, member.severity)
        .Bind(3, std::string(1, member.completion))
        .Run();
    const MemberSources sources = Sources(memberId, member);
    std::set<std::string> missing;
    for (const Message& message : member.messages)
        if (std::string name = MissingMemberName(message); !name.empty()) missing.insert(name);
    int ordinal = 0;
    for (const Job& job : member.jobs)
        LoadJob(memberId, ++ordinal, job, sources, missing);
    LoadMessages(memberId, member);
    return true;
}

bool MemberLoader::Forget(const MemberName& name) {
    findAnalysed_.Bind(1, name.container).Bind(2, name.member);
    const bool found = findAnalysed_.Step();
    const int64_t memberId = found ? findAnalysed_.Int(0) : 0;
    const std::string key =
        found ? std::to_string(findAnalysed_.Int(1)) + '\x01' + name.member : "";
    findAnalysed_.Reset();
    if (!found) return false;
    DeleteRows(memberId);
    markForgotten_.Bind(1, memberId).Run();
    members_.at(key).analysed = false;
    return true;
}

MemberSources MemberLoader::Sources(int64_t memberId, const ImportMember& member) {
    MemberSources sources;
    int ordinal = 0;
    for (const SourceRecord& record : member.sources) {
        const int64_t sourceId = Member(record.name).id;
        sources.byNumber.push_back({&record, sourceId});
        insertSourceUse_.Bind(1, memberId)
            .Bind(2, ++ordinal)
            .Bind(3, SourceKindText(record.kind))
            .Bind(4, sourceId)
            .Run();
        if (hashes_ == nullptr) continue;
        const std::string& hash = hashes_->Find(member.name, ordinal);
        if (!hash.empty()) insertHash_.Bind(1, memberId).Bind(2, ordinal).Bind(3, hash).Run();
    }
    return sources;
}

int64_t MemberLoader::SourceId(const MemberSources& sources, int number) const {
    if (number < 1 || static_cast<size_t>(number) > sources.byNumber.size()) return 0;
    return sources.byNumber[static_cast<size_t>(number) - 1].id;
}

void MemberLoader::LoadJob(int64_t memberId, int ordinal, const Job& job,
                           const MemberSources& sources, const std::set<std::string>& missing) {
    insertJob_.Bind(1, memberId)
        .Bind(2, ordinal)
        .Bind(3, job.name)
        .BindOrNull(4, job.lines.first)
        .BindOrNull(5, job.lines.last)
        .Run();
    const int64_t jobId = db_.LastInsertId();
    int ddOrdinal = 0;
    for (const DdStatement& dd : job.dds)
        LoadDd(jobId, 0, ++ddOrdinal, dd, sources, nullptr, 0);
    const std::vector<int64_t> callOfStep = LoadCalls(jobId, job, sources, missing);
    for (size_t i = 0; i < job.steps.size(); ++i)
        LoadStep(jobId, job.steps[i], callOfStep[i], sources, ddOrdinal);
}

// Inserts the job's procedure calls and tells, for each step, the call it came from: the
// latest call before it whose procedure is the step's source (a cataloged procedure), or,
// for a step of the job member with a procedure step name, the latest in-stream call.
std::vector<int64_t> MemberLoader::LoadCalls(int64_t jobId, const Job& job,
                                             const MemberSources& sources,
                                             const std::set<std::string>& missing) {
    std::vector<int64_t> callIds;
    std::vector<bool> inStream;
    int ordinal = 0;
    for (const ProcedureCall& call : job.calls) {
        const MemberSources::Source* cataloged = sources.Procedure(call.name);
        const bool found = cataloged != nullptr;
        const char* kind =
            found ? "cataloged" : (missing.count(call.name) ? "not found" : "in-stream");
        insertCall_.Bind(1, jobId)
            .Bind(2, ++ordinal)
            .Bind(3, call.name)
            .BindOrNull(4, JoinParameters(call.parms))
            .Bind(5, kind)
            .BindOrNull(6, found ? cataloged->id : 0)
            .Run();
        callIds.push_back(db_.LastInsertId());
        inStream.push_back(!found && !missing.count(call.name));
    }
    std::vector<int64_t> callOfStep(job.steps.size(), 0);
    for (size_t s = 0; s < job.steps.size(); ++s) {
        const Step& step = job.steps[s];
        if (step.procStep.empty()) continue;
        for (size_t c = job.calls.size(); c-- > 0;) {
            if (job.calls[c].nextStep > s) continue;
            const bool fromJobMember = ResolvedKind(sources, step.source) == SourceKind::Job;
            if ((inStream[c] && fromJobMember) ||
                (!inStream[c] && step.source.name.member == job.calls[c].name)) {
                callOfStep[s] = callIds[c];
                break;
            }
        }
    }
    return callOfStep;
}

void MemberLoader::LoadStep(int64_t jobId, const Step& step, int64_t callId,
                            const MemberSources& sources, int& ddOrdinal) {
    const SourceKind kind = ResolvedKind(sources, step.source);
    // A step's source is nearly always one of the closing INCL records.
    const MemberSources::Source* closing =
        step.source.given ? sources.Find(step.source.name) : nullptr;
    const int64_t sourceId = closing != nullptr  ? closing->id
                             : step.source.given ? Member(step.source.name).id
                                                 : SourceId(sources, 1);
    const RunUnit unit = step.runUnit.value_or(RunUnit());
    insertStep_.Bind(1, jobId)
        .Bind(2, step.number)
        .Bind(3, step.name)
        .BindOrNull(4, ProgramId(step.program))
        .BindOrNull(5, step.parm)
        .BindOrNull(6, step.procStep)
        .Bind(7, SourceKindText(kind))
        .BindOrNull(8, sourceId)
        .BindOrNull(9, step.lines.first)
        .BindOrNull(10, step.lines.last)
        .BindOrNull(11, callId)
        .BindOrNull(12, ProgramId(unit.program))
        .BindOrNull(13, unit.plan)
        .BindOrNull(14, unit.psb)
        .BindOrNull(15, unit.imsRegion)
        .BindOrNull(16, unit.db2Subsystem)
        .Run();
    const int64_t stepId = db_.LastInsertId();
    for (const DdStatement& dd : step.dds)
        LoadDd(jobId, stepId, ++ddOrdinal, dd, sources, &step, sourceId);
}

void MemberLoader::LoadDd(int64_t jobId, int64_t stepId, int ordinal, const DdStatement& dd,
                          const MemberSources& sources, const Step* step, int64_t stepSourceId) {
    for (const DataSetElement& element : dd.elements) {
        const FoldedName folded = FoldGeneration(element.dsn);
        const Access access = DeriveAccess(dd.name, element);
        // An FTP transfer's DDs stand for the step's INPUT data; they carry no lines of
        // their own, so they are placed at the step.
        const bool ftp = FtpTransferSide(dd.name, element) != FtpSide::None && step != nullptr;
        const LineRange lines = ftp ? step->lines : element.lines;
        const int64_t sourceId = ftp ? stepSourceId : SourceId(sources, element.lines.source);
        insertDd_.Bind(1, jobId)
            .BindOrNull(2, stepId)
            .Bind(3, ordinal)
            .Bind(4, dd.name)
            .Bind(5, element.seq)
            .BindOrNull(6, element.dsn.empty() ? 0 : datasets_.Id(folded.base))
            .BindOrNull(7, folded.generation)
            .BindOrNull(8, element.status)
            .BindOrNull(9, element.disposition)
            .Bind(10, IsTemporary(element.dsn) ? 1 : 0)
            .Bind(11, element.kind.sysout ? 1 : 0)
            .Bind(12, element.kind.dummy ? 1 : 0)
            .Bind(13, element.kind.instream ? 1 : 0)
            .BindOrNull(14, element.server)
            .BindOrNull(15, sourceId)
            .BindOrNull(16, lines.first)
            .BindOrNull(17, lines.last)
            .Bind(18, access.reads ? 1 : 0)
            .Bind(19, access.writes ? 1 : 0)
            .Bind(20, access.creates ? 1 : 0)
            .Bind(21, access.deletes ? 1 : 0)
            .Run();
    }
}

void MemberLoader::LoadMessages(int64_t memberId, const ImportMember& member) {
    std::set<std::string> calls;
    for (const Job& job : member.jobs)
        for (const ProcedureCall& call : job.calls)
            calls.insert(call.name);
    for (const Message& message : member.messages) {
        insertMessage_.Bind(1, memberId)
            .BindOrNull(2, message.program)
            .Bind(3, message.severity)
            .Bind(4, message.number)
            .Bind(5, message.text)
            .BindOrNull(6, message.atMember)
            .BindOrNull(7, message.atLine)
            .Run();
        const std::string missing = MissingMemberName(message);
        if (missing.empty()) continue;
        // The message does not say what was searched; a procedure call of that name does.
        insertMissing_.Bind(1, memberId)
            .Bind(2, missing)
            .Bind(3, calls.count(missing) ? "procedure" : "include")
            .BindOrNull(4, message.atMember)
            .BindOrNull(5, message.atLine)
            .Run();
    }
}

// Names no row uses any more after members were replaced.
void DropUnusedNames(Database& db) {
    db.Execute("DELETE FROM dataset WHERE id NOT IN (SELECT dataset_id FROM dd "
               "WHERE dataset_id IS NOT NULL)");
    db.Execute("DELETE FROM program WHERE id NOT IN (SELECT program_id FROM step WHERE "
               "program_id IS NOT NULL UNION SELECT run_unit_program_id FROM step WHERE "
               "run_unit_program_id "
               "IS NOT NULL)");
    db.Execute("DELETE FROM member WHERE severity IS NULL AND id NOT IN (SELECT source_id FROM "
               "source_use UNION SELECT source_id FROM step WHERE source_id IS NOT NULL UNION "
               "SELECT source_id FROM dd WHERE source_id IS NOT NULL UNION SELECT "
               "procedure_id FROM proc_call WHERE procedure_id IS NOT NULL)");
    db.Execute("DELETE FROM container WHERE id NOT IN (SELECT container_id FROM member)");
}

// Reads the import files on a thread of its own while the caller writes the database. A
// failure to read is kept for the caller; a caller that stops cancels the queue, and the
// reader then ends at its next member.
class ReadingThread {
  public:
    ReadingThread(const std::vector<std::string>& files, MemberQueue& queue)
        : queue_(queue), thread_([this, &files] { Read(files); }) {}
    ~ReadingThread() {
        if (!thread_.joinable()) return;
        queue_.Cancel();
        thread_.join();
    }
    // After the queue ran dry: rethrows what stopped the reading, if anything did.
    void Finish() {
        thread_.join();
        if (failure_) std::rethrow_exception(failure_);
    }

  private:
    struct Cancelled {};
    void Read(const std::vector<std::string>& files) {
        try {
            for (const std::string& file : files)
                ReadImportFile(file, [&](ImportMember&& member) {
                    member.importFile = file;
                    if (!queue_.Push(std::move(member))) throw Cancelled();
                });
        } catch (const Cancelled&) {
        } catch (...) {
            failure_ = std::current_exception();
        }
        queue_.Close();
    }

    MemberQueue& queue_;
    std::exception_ptr failure_;
    std::thread thread_;
};

} // namespace

LoadSummary LoadImportFiles(const std::string& databasePath,
                            const std::vector<std::string>& importFiles, std::ostream& notes,
                            int cacheMegabytes, const IncrementalLoad& incremental) {
    std::unique_ptr<Database> db = OpenForLoad(databasePath);
    // A rollback journal keeps the database as it was until the commit, also when the
    // process is killed; the cache holds the whole load so pages are written once.
    db->Execute("PRAGMA journal_mode = DELETE");
    db->Execute("PRAGMA synchronous = NORMAL");
    db->Execute("PRAGMA cache_size = " + std::to_string(-1024 * int64_t{cacheMegabytes}));
    db->Execute("PRAGMA temp_store = MEMORY");
    db->Execute("BEGIN IMMEDIATE");
    LoadSummary summary;
    try {
        const bool empty =
            db->QueryInt("SELECT count(*) FROM member WHERE severity IS NOT NULL") == 0;
        if (empty) DropIndexes(*db);
        MemberLoader loader(*db, incremental.hashes);
        for (const MemberName& name : incremental.forget)
            if (loader.Forget(name)) ++summary.forgotten;
        MemberQueue queue(64);
        ReadingThread reading(importFiles, queue);
        while (std::optional<ImportMember> member = queue.Pop()) {
            bool replaced = false;
            if (!loader.Load(*member, replaced)) {
                ++summary.unnamed;
                notes << member->importFile << ":" << member->firstLine
                      << ": a member the import file names nowhere (it was not opened) is "
                         "left out\n";
                continue;
            }
            ++summary.members;
            if (replaced) ++summary.replaced;
        }
        reading.Finish();
        summary.files = importFiles.size();
        // The reading thread is done: SQLite may sort the new indexes on the other core.
        // It sorts in runs as large as the page cache, and one run as large as the whole
        // index sorts slower than small runs merged, so the cache shrinks first.
        db->Execute("PRAGMA threads = 1");
        db->Execute("PRAGMA cache_size = -16384");
        CreateIndexes(*db);
        if (summary.replaced > 0 || summary.forgotten > 0) DropUnusedNames(*db);
        db->Execute("COMMIT");
    } catch (...) {
        try {
            db->Execute("ROLLBACK");
        } catch (const DbError&) {
            // SQLite has already rolled back after the failure.
        }
        throw;
    }
    return summary;
}

} // namespace xref
