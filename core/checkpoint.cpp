#include "core/checkpoint.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <thread>
#include <vector>

#include "core/gbk_text.h"
#include "core/item_folder.h"
#include "core/task_store.h"
#include "core/url_location.h"
#include "platform/files.h"

namespace harvio {

struct Checkpoints {
  std::mutex lock;  // guards everything below
  std::condition_variable wake;
  bool stop = false;
  // Lines appended since the last checkpoint, as in the journal file.
  std::vector<std::string> journal;
  platform::File journalFile;  // open for appending while lines are added
  std::thread thread;
};

namespace {

constexpr char kJournalSuffix[] = ".journal";
constexpr uint32_t kLongestJournal = 1u << 20;  // far beyond 25 workers' lines

std::string JournalPath(const Task& task) {
  return TaskDirectory(*task.taskSet) + task.info.taskName + kJournalSuffix;
}

// One journal line taken apart; false for a line the program did not write.
struct JournalLine {
  ItemKind kind;
  std::string file;  // path of the partial file without ".!"
  std::string url;   // host + path
  std::string text;  // the whole line, line feed included
};

bool ParseLine(const std::string& line, JournalLine* out) {
  size_t tab1 = line.find('\t');
  size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
  if (tab1 != 1 || tab2 == std::string::npos || line[0] < '0' || line[0] > '2') {
    return false;
  }
  out->kind = static_cast<ItemKind>(line[0] - '0');
  out->file = line.substr(tab1 + 1, tab2 - tab1 - 1);
  out->url = line.substr(tab2 + 1);
  size_t slash = out->file.rfind('\\');
  // Only a name this program makes is ever acted on.
  return slash != std::string::npos &&
         out->file.size() - slash - 1 < sizeof(UrlItem::fileName) &&
         IsPlainFileName(out->file.c_str() + slash + 1);
}

// A journaled file is acted on only inside the task's save folder, where
// the program puts every file of the task.
bool InSaveFolder(const Task& task, const std::string& file) {
  size_t length = std::strlen(task.info.savePath);
  return length != 0 && file.compare(0, length, task.info.savePath) == 0 &&
         file.find("..", length) == std::string::npos;
}

std::vector<JournalLine> ReadJournal(const Task& task) {
  std::vector<JournalLine> lines;
  platform::File file = platform::File::Open(
      JournalPath(task), platform::File::Mode::kReadExisting);
  if (!file.IsOpen()) return lines;
  std::string text;
  char chunk[4096];
  int64_t got;
  while (text.size() < kLongestJournal &&
         (got = file.Read(chunk, sizeof(chunk))) > 0) {
    text.append(chunk, static_cast<size_t>(got));
  }
  // A line cut short by the crash has no line feed and is left out.
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    JournalLine line;
    if (ParseLine(text.substr(start, end - start), &line) &&
        InSaveFolder(task, line.file)) {
      line.text = text.substr(start, end + 1 - start);
      lines.push_back(line);
    }
  }
  return lines;
}

std::string EntryUrl(const UrlItem& item) {
  return std::string(item.host) + item.path;
}

// The whole URL of a line: its host field (scheme and port included) gives
// the prefix.
std::string LineUrl(const JournalLine& line) {
  size_t slash = line.url.find('/');
  if (slash == std::string::npos) return std::string();
  char prefix[96];
  LocationPrefix(line.url.substr(0, slash).c_str(), prefix, sizeof(prefix));
  return prefix + line.url.substr(slash);
}

// What the journal says of one unfinished entry of the task.
enum class Repair { kNone, kFinished, kAdopt };

// What to do with an unfinished entry that names no file yet: if it is the
// entry of `line` (same URL, same folder), what the disk allows.
Repair RepairFor(const Task& task, const UrlItem& item, const JournalLine& line,
                 Repair onDisk) {
  std::string folder = line.file.substr(0, line.file.rfind('\\') + 1);
  if (item.fileName[0] != '\0' || EntryUrl(item) != line.url ||
      ItemFolder(task.info, item, line.kind) != folder) {
    return Repair::kNone;
  }
  return onDisk;
}

// What the files on disk allow for the entry of `line`, looked up before
// any queue lock is taken.
Repair RepairOnDisk(const JournalLine& line) {
  bool partial = platform::FileExists(line.file + ".!");
  if (line.kind == kPic && !partial && platform::FileExists(line.file)) {
    return Repair::kFinished;
  }
  return partial ? Repair::kAdopt : Repair::kNone;
}

// Applies one journal line to the queue of its kind; false when no entry
// took the file, which is then an orphan.
bool ApplyLine(Task& task, const JournalLine& line) {
  UrlQueue& queue = task.queues[line.kind];
  UrlItem* finished = nullptr;
  bool taken = false;
  std::string name = line.file.substr(line.file.rfind('\\') + 1);
  Repair onDisk = RepairOnDisk(line);
  queue.ForEachEntry([&](UrlItem& item) {
    if (taken) return;
    if (std::strcmp(item.fileName, name.c_str()) == 0) {
      taken = true;  // the checkpoint already names it
      return;
    }
    if (item.state == kFinished) return;
    switch (RepairFor(task, item, line, onDisk)) {
      case Repair::kNone:
        return;
      case Repair::kFinished:
        finished = &item;
        break;
      case Repair::kAdopt:
        // The file's length is unknown: the next answer starts it over.
        CopyBounded(item.fileName, sizeof(item.fileName), name.c_str());
        item.size = 0;
        item.done = 0;
        break;
    }
    taken = true;
  });
  if (finished != nullptr) {
    queue.MarkFinished(finished);
    task.pictureCount.fetch_add(1);
  }
  // A picture of a page parsed after the checkpoint: no entry had it.
  if (!taken && onDisk == Repair::kFinished &&
      queue.AdmitSaved(LineUrl(line).c_str(), name.c_str())) {
    task.pictureCount.fetch_add(1);
    taken = true;
  }
  return taken;
}

// After a crash: every journaled file is either known to its entry or
// deleted. Runs before the workers exist, so no entry is held. The lines
// whose file an entry took stay in the journal (rewritten whole, without a
// line the crash cut short) until a checkpoint holds them: a crash before
// that repeats the same repairs.
std::vector<std::string> RecoverFromJournal(Task& task) {
  std::vector<std::string> kept;
  std::string path = JournalPath(task);
  if (!platform::FileExists(path)) return kept;
  for (const JournalLine& line : ReadJournal(task)) {
    if (ApplyLine(task, line)) {
      kept.push_back(line.text);
    } else {
      platform::DeleteFile(line.file + ".!");
    }
  }
  task.changes.fetch_add(1);
  return kept;
}

// `saved`: the changes the task file already holds.
void RunCheckpoints(Task* task, uint32_t saved) {
  Checkpoints& cp = *task->checkpoints;
  std::unique_lock<std::mutex> guard(cp.lock);
  while (!cp.stop) {
    cp.wake.wait_for(guard, std::chrono::milliseconds(kCheckpointMs));
    uint32_t now = task->changes.load();
    if (cp.stop || now == saved || task->deleteOnClose.load() != 0) continue;
    guard.unlock();
    bool ok = SaveProgress(*task);
    guard.lock();
    if (ok) saved = now;
  }
}

// The journal file holds exactly `lines`; with none it is deleted.
bool RewriteJournal(const Task& task, Checkpoints& cp) {
  const std::vector<std::string>& lines = cp.journal;
  cp.journalFile.Close();  // reopened at the end of the new file when needed
  if (lines.empty()) {
    platform::DeleteFile(JournalPath(task));
    return !platform::FileExists(JournalPath(task));
  }
  std::string bytes;
  for (const std::string& line : lines) bytes += line;
  return WriteFileWhole(JournalPath(task), bytes);
}

bool OpenJournalAtEnd(const Task& task, platform::File& file) {
  if (!EnsureDirectories(TaskDirectory(*task.taskSet))) return false;
  file = platform::File::Open(JournalPath(task),
                              platform::File::Mode::kOpenOrCreate);
  int64_t size = file.IsOpen() ? file.Size() : -1;
  char last = '\n';
  bool ok = size >= 0 &&
            (size == 0 || (file.Seek(static_cast<uint64_t>(size - 1)) &&
                           file.Read(&last, 1) == 1)) &&
            file.Seek(static_cast<uint64_t>(size)) &&
            // A line a crash cut short must not swallow the next one.
            (last == '\n' || file.Write("\n", 1));
  if (!ok) file.Close();
  return ok;
}

}  // namespace

void StartCheckpoints(Task& task) {
  if (task.checkpoints != nullptr) return;
  uint32_t saved = task.changes.load();
  auto* cp = new Checkpoints;
  cp->journal = RecoverFromJournal(task);
  // The repairs are only in memory until the first checkpoint; should the
  // rewrite fail, the old journal, a superset, stays.
  if (platform::FileExists(JournalPath(task))) RewriteJournal(task, *cp);
  task.checkpoints = cp;
  cp->thread = std::thread(RunCheckpoints, &task, saved);
}

void StopCheckpoints(Task& task) {
  Checkpoints* cp = task.checkpoints;
  if (cp == nullptr || !cp->thread.joinable()) return;
  {
    std::lock_guard<std::mutex> guard(cp->lock);
    cp->stop = true;
  }
  cp->wake.notify_all();
  cp->thread.join();
}

bool JournalPartialFile(Task& task, ItemKind kind, const UrlItem& item,
                        const std::string& file) {
  Checkpoints* cp = task.checkpoints;
  if (cp == nullptr) return true;  // a task run without checkpoints (tests)
  std::string line = std::string(1, static_cast<char>('0' + kind)) + '\t' +
                     file + '\t' + EntryUrl(item) + '\n';
  std::lock_guard<std::mutex> guard(cp->lock);
  if (!cp->journalFile.IsOpen() && !OpenJournalAtEnd(task, cp->journalFile)) {
    return false;
  }
  if (!cp->journalFile.Write(line.data(), static_cast<uint32_t>(line.size()))) {
    cp->journalFile.Close();  // its end is unknown now
    return false;
  }
  cp->journal.push_back(line);
  return true;
}

bool SaveProgress(Task& task) {
  Checkpoints* cp = task.checkpoints;
  size_t covered = 0;
  if (cp != nullptr) {
    // Every line counted here names a file its worker had named in its
    // entry before appending the line, so the snapshot below holds it.
    std::lock_guard<std::mutex> guard(cp->lock);
    covered = cp->journal.size();
  }
  if (!SaveTask(task)) return false;
  if (cp == nullptr || covered == 0) return true;
  std::lock_guard<std::mutex> guard(cp->lock);
  cp->journal.erase(cp->journal.begin(),
                    cp->journal.begin() + static_cast<std::ptrdiff_t>(covered));
  return RewriteJournal(task, *cp);
}

void DeleteJournaledFiles(Task& task) {
  if (task.checkpoints != nullptr) task.checkpoints->journalFile.Close();
  for (const JournalLine& line : ReadJournal(task)) {
    platform::DeleteFile(line.file + ".!");
  }
  platform::DeleteFile(JournalPath(task));
}

void ReleaseCheckpoints(Task& task) {
  StopCheckpoints(task);
  if (task.checkpoints != nullptr) task.checkpoints->journalFile.Close();
  delete task.checkpoints;
  task.checkpoints = nullptr;
}

}  // namespace harvio
