#include "publish/publisher.h"

#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "platform/save/whole_file.h"
#include "platform/system_error.h"
#include "publish/manifest.h"
#include "publish/plan.h"
#include "publish/publish_settings.h"
#include "publish/sha256.h"

namespace vb::publish {

namespace {

using Clock = std::chrono::steady_clock;

// A failure on this side: a page that cannot be read, a manifest that cannot be written.
class LocalFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

PublishResult ResultOf(FailureKind kind) {
    switch (kind) {
        case FailureKind::CannotReach:
            return PublishResult::CannotReach;
        case FailureKind::LoginRefused:
            return PublishResult::LoginRefused;
        case FailureKind::NoTls:
        case FailureKind::Untrusted:
            return PublishResult::NotSecure;
        case FailureKind::Busy:
            return PublishResult::Busy;
        case FailureKind::CutOff:
            return PublishResult::CutOff;
        case FailureKind::Stopped:
            return PublishResult::Stopped;
        case FailureKind::Refused:
            break;
    }
    return PublishResult::Failed;
}

std::string JoinRemote(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// The remote folder as an absolute path without "." and ".." steps or doubled slashes: the
// setting as it stands when it starts with '/', else from the login's start folder.
std::string ResolvedFolder(const std::string& setting, const std::string& start) {
    const std::string path = setting.starts_with('/') ? setting : start + "/" + setting;
    std::vector<std::string> parts;
    for (std::size_t at = 0; at <= path.size();) {
        const std::size_t slash = std::min(path.find('/', at), path.size());
        const std::string part = path.substr(at, slash - at);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = slash + 1;
    }
    std::string folder;
    for (const auto& part : parts) folder += "/" + part;
    return folder.empty() ? "/" : folder;
}

// The folder's names. Some servers answer the listing of an empty folder with 450 ("no files
// found") where others send an empty list; 450 also means "not now", so the folder is taken
// for empty only when its full listing shows nothing either. Taken for empty while it holds
// the user's files, it would have the publish overwrite them.
std::vector<std::string> Listed(Connection& connection, const std::string& folder) {
    try {
        return connection.List(folder);
    } catch (const TransferFailure& failure) {
        if (failure.Kind() != FailureKind::Refused || failure.Reply() != 450) throw;
        if (!connection.HoldsEntries(folder)) return {};
        throw TransferFailure(FailureKind::Busy,
                              std::string(failure.what()) +
                                  " (the full listing shows files: the server cannot list the "
                                  "folder's names now)",
                              450);
    }
}

// Whether the server has a file at the path, asked by name (SIZE): for a name its listing
// leaves out, as some servers cut a listing short at their limit. A server that cannot tell
// the size is believed to have it.
bool HasFile(Connection& connection, const std::string& path) {
    try {
        connection.Size(path);
        return true;
    } catch (const TransferFailure& failure) {
        if (failure.Kind() != FailureKind::Refused) throw;
        return false;
    }
}

// Each connection's end (its QUIT) may wait a few seconds for a server that stopped
// answering: the connections end side by side, so a publish stopped against a stalled server
// ends within one such wait whatever their number.
void CloseSideBySide(std::vector<std::unique_ptr<Connection>>& slots) {
    std::vector<std::thread> closers;
    if (slots.size() > 1)
        for (auto& slot : slots)
            if (slot)
                closers.emplace_back(
                    [connection = std::move(slot)]() mutable { connection.reset(); });
    for (auto& closer : closers) closer.join();
    slots.clear();
}

std::string Count(std::size_t n) { return std::to_string(n); }

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}
std::string Seconds(std::chrono::milliseconds wait) { return Seconds(wait.count() / 1000.0); }

class Run {
  public:
    Run(const PublishJob& job, Transfer& transfer, PublishProgress& progress,
        const std::atomic<bool>& stop)
        : job_(job), transfer_(transfer), progress_(progress), stop_(stop) {}

    PublishReport Go();

  private:
    bool Prepare();
    bool ReadLocal();
    bool Connect();
    bool ListRemote();
    bool FindUnlistedLinks();
    void RunPhase(const std::vector<Step>& steps);
    void CheckLanded();
    void Worker(std::size_t slot, std::deque<const Step*>& queue);
    // The step done on the slot's connection, made anew when it dropped: true when done,
    // false when the slot gave up on a busy server and handed the step back.
    bool Attempt(std::size_t slot, const Step& step);
    void Do(Connection& connection, const Step& step);
    void RenameOver(Connection& connection, const Step& step);
    std::string LocalBytes(const std::string& name);
    void Record(const std::string& failure);
    void Wait(std::chrono::milliseconds wait);
    void Tell(const std::string& text);
    void Refuse(PublishResult result, const std::string& text);
    void Fail(const TransferFailure& failure, const std::string& name);
    void Fail(PublishResult result, const std::string& text);
    bool Halted() const { return halted_ || stop_; }
    std::string Scrubbed(std::string text) const;
    std::string LastLine() const;

    const PublishJob& job_;
    Transfer& transfer_;
    PublishProgress& progress_;
    const std::atomic<bool>& stop_;
    const Clock::time_point started_ = Clock::now();

    std::mutex mutex_;  // the report's failure, the tells, the phase's queue
    PublishReport report_;
    bool failed_ = false;
    std::atomic<bool> halted_{false};
    platform::FileLock lock_;
    std::vector<LocalFile> local_;
    std::vector<std::string> links_;
    // The index as its links were read: what goes on the server, whatever the file holds by
    // then, so that no link goes live unchecked.
    std::string indexBytes_;
    std::vector<std::string> remote_;
    std::string folder_;
    Plan plan_;
    ManifestLog manifest_;
    // One per connection the job allows; empty: not connected (yet, or since it dropped).
    std::vector<std::unique_ptr<Connection>> slots_;
    // Per slot, each written only by the slot's own worker: it was connected once; it was
    // given up (the server takes fewer connections).
    std::vector<char> everConnected_, retired_;
    std::atomic<std::size_t> liveSlots_{0};
    std::atomic<std::size_t> sent_{0}, renamed_{0}, deleted_{0}, filesDone_{0};
    std::atomic<std::uint64_t> bytes_{0};
    std::size_t filesTotal_ = 0;
    std::atomic<bool> renameOverRefused_{false};
};

std::string Run::Scrubbed(std::string text) const {
    const std::string& password = job_.endpoint.password;
    if (password.size() >= 3)
        for (std::size_t at; (at = text.find(password)) != std::string::npos;)
            text.replace(at, password.size(), "***");
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

void Run::Tell(const std::string& text) {
    std::lock_guard lock(mutex_);
    progress_.Line(Scrubbed(text));
}

void Run::Refuse(PublishResult result, const std::string& text) {
    report_.result = result;
    report_.text = Scrubbed(text);
    failed_ = true;
    Tell(report_.text);
}

void Run::Fail(PublishResult result, const std::string& text) {
    halted_ = true;
    {
        std::lock_guard lock(mutex_);
        // The first failure is the publish's; the log has each.
        if (!failed_) {
            failed_ = true;
            report_.result = result;
            report_.text = Scrubbed(text);
        }
    }
    Tell("失敗しました: " + text);
}

void Run::Fail(const TransferFailure& failure, const std::string& name) {
    if (failure.Kind() == FailureKind::Untrusted) {
        std::lock_guard lock(mutex_);
        report_.pin = failure.pin;
        report_.certificateNames = failure.certificateNames;
    }
    Fail(ResultOf(failure.Kind()), (name.empty() ? "" : name + ": ") + failure.what());
}

void Run::Wait(std::chrono::milliseconds wait) {
    const auto until = Clock::now() + wait;
    while (!stop_ && Clock::now() < until)
        std::this_thread::sleep_for(
            std::min<Clock::duration>(std::chrono::milliseconds(50), until - Clock::now()));
}

void Run::Record(const std::string& failure) {
    if (!failure.empty()) throw LocalFailure(failure);
}

bool Run::Prepare() {
    if (job_.connections < 1 || job_.connections > 8) {
        Refuse(PublishResult::Refused,
               "接続の数は 1 から 8 までです: " + std::to_string(job_.connections));
        return false;
    }
    // A write-out and a publish of one server never overlap, nor two publishes: both hold
    // the write-out's lock while they run.
    int error = 0;
    const std::string lockPath = BesideOutputFolder(job_.outputFolder, job_.serverName, "lock");
    lock_ = platform::FileLock::TryTake(lockPath, error);
    if (error) {
        Refuse(PublishResult::Refused,
               platform::DescribeFailure(platform::kCannotOpen, lockPath, error));
        return false;
    }
    if (!lock_.Held()) {
        Refuse(PublishResult::Busy,
               "このサーバーの書き出しか公開が実行中です。あとでやり直してください");
        return false;
    }
    return ReadLocal();
}

// The output folder's files, each hashed, and the links of its index.
bool Run::ReadLocal() {
    const platform::WholeFileRead index =
        platform::ReadWholeFile(platform::JoinPath(job_.outputFolder, std::string(kIndexName)));
    if (!index.exists || index.error || index.bytes.empty()) {
        Refuse(PublishResult::Refused,
               "出力フォルダに書き出しが終わったページがありません "
               "(index.html がない): " +
                   job_.outputFolder);
        return false;
    }
    links_ = LinkedNames(index.bytes);
    indexBytes_ = index.bytes;
    std::vector<std::string> names;
    try {
        names = platform::FileSystemObject().GetFileNames(job_.outputFolder);
    } catch (const platform::SystemError& failure) {
        Refuse(PublishResult::Refused, failure.what());
        return false;
    }
    for (const auto& name : names) {
        const auto read = platform::ReadWholeFile(platform::JoinPath(job_.outputFolder, name));
        if (!read.exists || read.error) {
            Refuse(PublishResult::Refused,
                   platform::DescribeFailure(
                       platform::kCannotOpen, platform::JoinPath(job_.outputFolder, name),
                       read.exists ? read.error : platform::os_error::kNotFound));
            return false;
        }
        local_.push_back({name, read.bytes.size(), Sha256Hex(read.bytes)});
    }
    return true;
}

bool Run::Connect() {
    slots_.resize(static_cast<std::size_t>(job_.connections));
    everConnected_.assign(slots_.size(), 0);
    retired_.assign(slots_.size(), 0);
    for (int tries = 0;; ++tries) {
        try {
            slots_[0] = transfer_.Connect(job_.endpoint, stop_);
            break;
        } catch (const TransferFailure& failure) {
            const bool again =
                failure.Kind() == FailureKind::Busy || failure.Kind() == FailureKind::CutOff;
            if (!again || tries >= job_.retries || stop_) {
                Fail(failure, "");
                return false;
            }
            const auto wait = job_.backOff * (1 << tries);
            Tell("接続できません (" + std::string(failure.what()) + ")。" + Seconds(wait) +
                 " 秒待ってやり直します");
            Wait(wait);
        }
    }
    everConnected_[0] = 1;
    liveSlots_ = slots_.size();
    Tell("接続しました: " + job_.endpoint.host + ":" + std::to_string(job_.endpoint.port) + " (" +
         ProtocolName(job_.endpoint.protocol) + ")");
    return true;
}

// The remote folder's names; a missing folder is made, parents first (nothing is made on a
// dry run, which then plans for an empty folder).
bool Run::ListRemote() {
    Connection& connection = *slots_[0];
    try {
        folder_ = ResolvedFolder(job_.remoteFolder, connection.StartFolder());
        report_.remoteFolder = folder_;
        try {
            remote_ = Listed(connection, folder_);
            return true;
        } catch (const TransferFailure& failure) {
            if (failure.Kind() != FailureKind::Refused) throw;
        }
        if (job_.dryRun) {
            Tell("リモートフォルダがありません。作ってから送ります: " + folder_);
            return true;
        }
        for (std::size_t at = folder_.find('/', 1);; at = folder_.find('/', at + 1)) {
            const std::string parent = folder_.substr(0, at);
            try {
                connection.MakeFolder(parent);
                Tell("リモートフォルダを作りました: " + parent);
            } catch (const TransferFailure& failure) {
                if (failure.Kind() != FailureKind::Refused) throw;  // refused: it exists
            }
            if (at == std::string::npos) break;
        }
        remote_ = Listed(connection, folder_);
        return true;
    } catch (const TransferFailure& failure) {
        Fail(failure, folder_);
        return false;
    }
}

// A file of the user's that the new index links and the listing leaves out (some servers cut
// a listing short at their limit) is asked for by name: the plan refuses a link to nothing.
bool Run::FindUnlistedLinks() {
    std::set<std::string> known(remote_.begin(), remote_.end());
    for (const auto& file : local_) known.insert(file.name);
    try {
        for (const auto& link : links_)
            if (!known.contains(link) && HasFile(*slots_[0], JoinRemote(folder_, link)))
                remote_.push_back(link);
        return true;
    } catch (const TransferFailure& failure) {
        Fail(failure, folder_);
        return false;
    }
}

std::string Run::LocalBytes(const std::string& name) {
    if (name == kIndexName) return indexBytes_;
    const std::string path = platform::JoinPath(job_.outputFolder, name);
    platform::WholeFileRead read = platform::ReadWholeFile(path);
    if (!read.exists || read.error)
        throw LocalFailure(platform::DescribeFailure(
            platform::kCannotOpen, path, read.exists ? read.error : platform::os_error::kNotFound));
    return std::move(read.bytes);
}

// Renames the uploaded temporary name over the page. A server that refuses to rename over an
// existing file gets the old one deleted first; from then on this publish deletes first.
void Run::RenameOver(Connection& connection, const Step& step) {
    const std::string from = JoinRemote(folder_, step.temporary);
    const std::string to = JoinRemote(folder_, step.name);
    if (!step.replacesFile || !renameOverRefused_) {
        try {
            connection.Rename(from, to);
            return;
        } catch (const TransferFailure& failure) {
            if (failure.Kind() != FailureKind::Refused || !step.replacesFile) throw;
            if (!renameOverRefused_.exchange(true))
                Tell("サーバーが既存のファイルへの名前変更を断りました (" +
                     std::string(failure.what()) +
                     ")。置き換えるファイルは削除してから名前を変えます: " + step.name);
        }
    }
    try {
        connection.Delete(to);
    } catch (const TransferFailure& failure) {
        // Gone already: a try cut off after this deletion.
        if (failure.Kind() != FailureKind::Refused) throw;
    }
    connection.Rename(from, to);
}

void Run::Do(Connection& connection, const Step& step) {
    if (step.kind == StepKind::Delete) {
        // A page of ours that someone changed on the server since (its size tells) is theirs
        // now: it stays, and the manifest no longer counts it as ours. (A name the listing did
        // not show is deleted without the look: most often it is not there at all.)
        const Published& recorded = plan_.base.files.at(step.name);
        if (recorded.known && step.replacesFile) {
            std::optional<std::uint64_t> size;
            try {
                size = connection.Size(JoinRemote(folder_, step.name));
            } catch (const TransferFailure& failure) {
                if (failure.Kind() != FailureKind::Refused) throw;
            }
            if (size && *size != recorded.size) {
                Record(manifest_.Gone(step.name));
                Tell("送ったときと大きさが違うので、サーバーのファイルを消さずに残します: " +
                     step.name);
                return;
            }
        }
        try {
            connection.Delete(JoinRemote(folder_, step.name));
            ++deleted_;
        } catch (const TransferFailure& failure) {
            // A name the listing did not show, and that the server has not: gone already.
            if (failure.Kind() != FailureKind::Refused || step.replacesFile) throw;
        }
        Record(manifest_.Gone(step.name));
        return;
    }
    // The bytes sent are the bytes recorded, whatever the file holds by now.
    const std::string bytes = LocalBytes(step.name);
    const std::string sha256 = Sha256Hex(bytes);
    if (step.kind == StepKind::Upload) {
        Record(manifest_.Begun(step.name));
        connection.Upload(JoinRemote(folder_, step.name), bytes);
    } else {
        Record(manifest_.Begun(step.temporary));
        connection.Upload(JoinRemote(folder_, step.temporary), bytes);
        // What goes live in a page's place is checked first: a server that said 226 of an
        // upload it cut short leaves the old page live rather than half a new one.
        if (const auto size = connection.Size(JoinRemote(folder_, step.temporary));
            size && *size != bytes.size())
            throw TransferFailure(FailureKind::Refused,
                                  step.temporary + ": the server holds " + std::to_string(*size) +
                                      " of the " + std::to_string(bytes.size()) + " bytes sent");
        RenameOver(connection, step);
    }
    Record(manifest_.Landed(step.name, bytes.size(), sha256));
    if (step.kind == StepKind::Replace) {
        Record(manifest_.Gone(step.temporary));
        ++renamed_;
    }
    ++sent_;
    bytes_ += bytes.size();
    const std::size_t done = ++filesDone_;
    std::lock_guard lock(mutex_);
    progress_.Files(done, filesTotal_);
}

bool Run::Attempt(std::size_t slot, const Step& step) {
    for (int tries = 0;; ++tries) {
        try {
            if (!slots_[slot]) {
                slots_[slot] = transfer_.Connect(job_.endpoint, stop_);
                everConnected_[slot] = 1;
            }
            Do(*slots_[slot], step);
            return true;
        } catch (const TransferFailure& failure) {
            FailureKind kind = failure.Kind();
            // A server that answered this slot once and can no longer be reached has cut the
            // publish off mid-way (try again later), however its new connection failed.
            if (kind == FailureKind::CannotReach && everConnected_[slot])
                kind = FailureKind::CutOff;
            // A server that takes fewer connections than asked: this one goes, the others
            // carry on; the first refusal of a new connection at once (some servers refuse
            // one login too many as a wrong login, 530), a later one after the back-offs.
            const bool more = !everConnected_[slot] && (kind == FailureKind::LoginRefused ||
                                                        kind == FailureKind::CannotReach);
            if (kind != FailureKind::Busy && kind != FailureKind::CutOff && !more) {
                Fail(failure, step.name);
                return true;
            }
            slots_[slot].reset();
            if (more ||
                (kind == FailureKind::Busy && (!everConnected_[slot] || tries >= job_.retries))) {
                std::size_t live = liveSlots_;
                while (live > 1 && !liveSlots_.compare_exchange_weak(live, live - 1)) {
                }
                if (live > 1) {
                    retired_[slot] = 1;
                    Tell("サーバーが接続を断りました (" + std::string(failure.what()) +
                         ")。接続を " + Count(live - 1) + " 本にして続けます");
                    return false;
                }
            }
            if (more || tries >= job_.retries || stop_) {
                if (kind == failure.Kind())
                    Fail(failure, step.name);
                else
                    Fail(ResultOf(kind), step.name + ": " + failure.what());
                return true;
            }
            const auto wait = job_.backOff * (1 << tries);
            Tell(std::string(kind == FailureKind::Busy ? "サーバーが混んでいます"
                                                       : "接続が切れました") +
                 " (" + failure.what() + ")。" + Seconds(wait) + " 秒待ってつなぎ直します (" +
                 Count(static_cast<std::size_t>(tries + 1)) + "/" + std::to_string(job_.retries) +
                 ")");
            Wait(wait);
            if (Halted()) return true;
        } catch (const std::exception& failure) {
            // This side's (LocalFailure), or anything else a worker must not let escape.
            Fail(PublishResult::Failed, step.name + ": " + failure.what());
            return true;
        }
    }
}

void Run::Worker(std::size_t slot, std::deque<const Step*>& queue) {
    while (!Halted()) {
        const Step* step;
        {
            std::lock_guard lock(mutex_);
            if (queue.empty()) return;
            step = queue.front();
            queue.pop_front();
        }
        if (!Attempt(slot, *step)) {
            std::lock_guard lock(mutex_);
            queue.push_back(step);
            return;  // this connection is given up
        }
    }
}

void Run::RunPhase(const std::vector<Step>& steps) {
    std::deque<const Step*> queue;
    for (const auto& step : steps) queue.push_back(&step);
    // A round ends when each of its workers has; a step handed back by a connection given
    // up goes to the next round's.
    while (!queue.empty() && !Halted()) {
        std::vector<std::size_t> used;
        for (std::size_t slot = 0; slot < slots_.size() && used.size() < queue.size(); ++slot)
            if (!retired_[slot]) used.push_back(slot);
        if (used.size() == 1) {
            Worker(used[0], queue);
            continue;
        }
        std::vector<std::thread> workers;
        for (const std::size_t slot : used)
            workers.emplace_back([this, slot, &queue] { Worker(slot, queue); });
        for (auto& worker : workers) worker.join();
    }
}

// The server's word that each step landed, checked once by its listing before anything is
// deleted: every file sent is there, and no temporary name of this publish stays. A server that
// answered 226 or 250 to a step it did not do (an upload it dropped, a rename that renamed nothing)
// stops the publish before the deletions, and the manifest then holds those names as ours with
// their bytes unknown, so the next publish sends them again.
void Run::CheckLanded() {
    if (filesTotal_ == 0) return;
    std::vector<std::string> missing, stayed;
    try {
        std::size_t slot = 0;
        while (slot < slots_.size() && !slots_[slot]) ++slot;
        if (slot == slots_.size()) {
            slot = 0;
            slots_[0] = transfer_.Connect(job_.endpoint, stop_);
        }
        Connection& connection = *slots_[slot];
        std::set<std::string> listed;
        for (auto& name : Listed(connection, folder_))
            if (auto listedName = ListedName(name); !listedName.empty())
                listed.insert(std::move(listedName));
        const auto there = [&](const std::string& name) {
            return listed.contains(name) || HasFile(connection, JoinRemote(folder_, name));
        };
        for (const auto* phase : {&plan_.uploads, &plan_.replacements, &plan_.index})
            for (const Step& step : *phase) {
                if (!there(step.name)) missing.push_back(step.name);
                if (step.kind == StepKind::Replace && listed.contains(step.temporary)) {
                    stayed.push_back(step.temporary);
                    missing.push_back(step.name);
                }
            }
    } catch (const TransferFailure& failure) {
        Fail(failure, folder_);
        return;
    }
    if (missing.empty()) return;
    try {
        for (const auto& name : missing) Record(manifest_.Begun(name));
        for (const auto& name : stayed) Record(manifest_.Begun(name));
    } catch (const LocalFailure& failure) {
        Fail(PublishResult::Failed, failure.what());
        return;
    }
    Fail(PublishResult::Failed,
         stayed.empty() ? "送ったと答えたファイルがサーバーの一覧にありません: " + missing[0]
                        : "名前を変えたと答えた一時ファイルがサーバーに残っています: " + stayed[0]);
}

std::string Run::LastLine() const {
    return std::string(job_.dryRun ? "公開の予定 (何も変えていません)" : "公開を終えました") +
           ": 送信 " + Count(report_.sent) + "、名前変更 " + Count(report_.renamed) + "、削除 " +
           Count(report_.deleted) + "、そのまま " + Count(report_.kept) + "、" +
           std::to_string(report_.bytes) + " バイト、" + Seconds(report_.seconds) + " 秒、" +
           ResultText(report_.result);
}

PublishReport Run::Go() {
    report_.result = PublishResult::Done;
    if (Prepare() && Connect() && ListRemote() && FindUnlistedLinks()) {
        PlanInput input{local_, {}, Destination(job_.endpoint, folder_), remote_, links_};
        const std::string manifestPath = ManifestPath(job_.outputFolder, job_.serverName);
        const platform::WholeFileRead read = platform::ReadWholeFile(manifestPath);
        std::optional<Manifest> last = read.exists ? ParseManifest(read.bytes) : Manifest{};
        if (read.error || !last) {
            Refuse(PublishResult::Refused,
                   "公開の記録を読めません。消すと、このプログラムが送ったファイルも他人のものと"
                   "見なします: " +
                       manifestPath);
        } else {
            input.manifest = std::move(*last);
            plan_ = MakePlan(input);
            if (!plan_.refusal.empty()) Refuse(PublishResult::Refused, plan_.refusal);
        }
    }
    if (!failed_) {
        report_.kept = plan_.kept;
        filesTotal_ = plan_.uploads.size() + plan_.replacements.size() + plan_.index.size();
        Tell("送るファイル " + Count(filesTotal_) + " (新しい名前 " + Count(plan_.uploads.size()) +
             "、置き換え " + Count(plan_.replacements.size() + plan_.index.size()) +
             ")、削除するファイル " + Count(plan_.deletions.size()) + "、そのまま " +
             Count(plan_.kept));
        if (job_.dryRun) {
            const char* const words[] = {"送る", "置き換える", "削除する"};
            for (const auto* phase :
                 {&plan_.uploads, &plan_.replacements, &plan_.index, &plan_.deletions})
                for (const Step& step : *phase) {
                    // The index goes by its temporary name even when the server has none yet.
                    const bool fresh = step.kind == StepKind::Replace && !step.replacesFile;
                    Tell(std::string(words[fresh ? 0 : static_cast<int>(step.kind)]) + ": " +
                         step.name);
                }
        } else if (const std::string error = manifest_.Start(
                       ManifestPath(job_.outputFolder, job_.serverName), plan_.base);
                   !error.empty()) {
            Fail(PublishResult::Failed, error);
        } else {
            RunPhase(plan_.uploads);
            RunPhase(plan_.replacements);
            RunPhase(plan_.index);
            if (!Halted()) CheckLanded();
            if (!Halted())
                RunPhase(plan_.deletions);
            else if (!plan_.deletions.empty())
                Tell("送れなかったファイルがあるので、何も削除しません");
            if (const std::string error = manifest_.Finish(); !error.empty())
                Fail(PublishResult::Failed, error);
        }
    }
    if (stop_ && !failed_) {
        report_.result = PublishResult::Stopped;
        report_.text = "止められました";
    }
    CloseSideBySide(slots_);
    report_.sent = sent_;
    report_.renamed = renamed_;
    report_.deleted = deleted_;
    report_.bytes = bytes_;
    report_.seconds = std::chrono::duration<double>(Clock::now() - started_).count();
    Tell(LastLine());
    return report_;
}

}  // namespace

std::string ResultText(PublishResult result) {
    switch (result) {
        case PublishResult::Done:
            return "完了";
        case PublishResult::Refused:
            return "拒否";
        case PublishResult::Busy:
            return "使用中";
        case PublishResult::CannotReach:
            return "接続できない";
        case PublishResult::LoginRefused:
            return "ログイン拒否";
        case PublishResult::NotSecure:
            return "安全でない接続";
        case PublishResult::CutOff:
            return "切断";
        case PublishResult::Failed:
            return "失敗";
        case PublishResult::Stopped:
            break;
    }
    return "中止";
}

PublishReport Publish(const PublishJob& job, Transfer& transfer, PublishProgress& progress,
                      const std::atomic<bool>& stop) {
    try {
        return Run(job, transfer, progress, stop).Go();
    } catch (const std::exception& failure) {
        PublishReport report;
        report.result = PublishResult::Failed;
        report.text = failure.what();
        return report;
    }
}

}  // namespace vb::publish
