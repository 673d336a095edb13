#include "core/task_store.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "core/gbk_text.h"
#include "core/item_folder.h"
#include "platform/files.h"
#include "platform/guid.h"

namespace harvio {
namespace {

constexpr char kListName[] = "List";
constexpr char kTempSuffix[] = ".tmp";
constexpr size_t kNameBlock = 64;

// Reads blocks from a byte range; once a read would pass the end, every
// later read fails too, so a caller checks once after a sequence of reads.
class BoundedReader {
 public:
  BoundedReader(const char* data, uint64_t size) : data_(data), left_(size) {}

  bool ReadBlock(void* out, size_t length) {
    if (failed_ || length > left_) {
      failed_ = true;
      return false;
    }
    std::memcpy(out, data_, length);
    UnscrambleBlock(out, length);
    data_ += length;
    left_ -= length;
    return true;
  }
  uint32_t ReadCount() {
    unsigned char bytes[4] = {0, 0, 0, 0};
    ReadBlock(bytes, sizeof(bytes));
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
           static_cast<uint32_t>(bytes[3]) << 24;
  }
  bool Failed() const { return failed_; }
  uint64_t Left() const { return left_; }

 private:
  const char* data_;
  uint64_t left_;
  bool failed_ = false;
};

// A count as stored: 4 bytes, the lowest first.
void PutCount(uint32_t n, char* out) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(n >> (8 * i));
}

// Collects scrambled blocks for one write of a whole file.
class BlockWriter {
 public:
  void Block(const void* data, size_t length) {
    size_t at = bytes_.size();
    bytes_.append(static_cast<const char*>(data), length);
    ScrambleBlock(&bytes_[at], length);
  }
  void Count(uint32_t n) {
    char bytes[4];
    PutCount(n, bytes);
    Block(bytes, sizeof(bytes));
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// What a task file holds, read completely before any task is made of it.
struct TaskFileContent {
  TaskInfo info{};
  std::vector<UrlItem> entries[3];  // in file order: tail to head
};

// A stored name must name a file inside Task\, whatever the list holds.
bool IsPlainTaskName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("\\/:") == std::string::npos;
}

// A save folder that lost its final "\\" gets it back; any other that is
// not of the form the program writes would put pictures elsewhere.
bool RepairSavePath(TaskInfo& info) {
  std::string path = info.savePath;
  if (!IsSaveFolderForm(path)) path += '\\';
  if (!IsSaveFolderForm(path)) return false;
  CopyBounded(info.savePath, sizeof(info.savePath), path.c_str());
  return true;
}

// Values a damaged or foreign file could carry that the program must
// never act on: unterminated texts, a save folder that is no absolute
// folder, thread counts beyond the 25 slots, a task marked as running that
// has no workers. False when the task cannot be used at all.
bool RepairInfo(TaskInfo& info) {
  info.taskName[sizeof(info.taskName) - 1] = '\0';
  info.catalogPath[sizeof(info.catalogPath) - 1] = '\0';
  info.savePath[sizeof(info.savePath) - 1] = '\0';
  info.notes[sizeof(info.notes) - 1] = '\0';
  info.keyword[sizeof(info.keyword) - 1] = '\0';
  if (info.threadCount < kMinThreads) info.threadCount = kMinThreads;
  if (info.threadCount > kMaxThreads) info.threadCount = kMaxThreads;
  if (info.state == kRunning || info.state > kDone) info.state = kPaused;
  return RepairSavePath(info);
}

bool ReadTaskFile(const std::string& path, TaskFileContent* content) {
  platform::File file =
      platform::File::Open(path, platform::File::Mode::kReadExisting);
  if (!file.IsOpen()) return false;
  platform::Mapping view = platform::Mapping::MapReadOnly(file);
  if (!view.IsValid()) return false;
  BoundedReader reader(view.Data(), view.Size());
  reader.ReadBlock(&content->info, sizeof(TaskInfo));
  for (std::vector<UrlItem>& entries : content->entries) {
    uint32_t m = reader.ReadCount();
    // A count the remaining bytes cannot hold is refused before any entry.
    if (reader.Failed() || m > reader.Left() / sizeof(UrlItem)) return false;
    entries.resize(m);
    for (UrlItem& item : entries) reader.ReadBlock(&item, sizeof(UrlItem));
  }
  return !reader.Failed();
}

std::string ListBytes(const std::vector<Task*>& rows) {
  BlockWriter out;
  out.Count(static_cast<uint32_t>(rows.size()));
  for (const Task* task : rows) {
    char name[kNameBlock] = {};
    CopyBounded(name, sizeof(name), task->info.taskName);
    out.Block(name, sizeof(name));
  }
  return out.Bytes();
}

// The task file's bytes in one buffer of the file's size. Each queue is
// copied as it stands under its lock and scrambled only after the lock is
// released: the workers wait for a plain copy, and no second copy of the
// queues is ever held.
std::string TaskBytes(Task& task) {
  TaskInfo info;
  {
    std::lock_guard<std::mutex> guard(task.infoLock);
    info = task.info;
  }
  info.pictureCount = task.pictureCount.load();
  size_t entries = 0;
  for (UrlQueue& queue : task.queues) entries += queue.Count();
  std::string bytes;
  bytes.reserve(sizeof(info) + 3 * sizeof(uint32_t) + entries * sizeof(UrlItem));
  bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
  uint32_t counts[3];
  for (uint32_t kind = kWeb2; kind <= kPic; ++kind) {
    size_t at = bytes.size();
    bytes.append(sizeof(uint32_t), '\0');
    uint32_t m = 0;
    task.queues[kind].ForEachTailToHead([&](const UrlItem& item) {
      bytes.append(reinterpret_cast<const char*>(&item), sizeof(item));
      ++m;
    });
    counts[kind] = m;
    PutCount(m, &bytes[at]);
  }
  char* block = &bytes[0];
  ScrambleBlock(block, sizeof(info));
  block += sizeof(info);
  for (uint32_t m : counts) {
    ScrambleBlock(block, sizeof(uint32_t));
    block += sizeof(uint32_t);
    for (uint32_t i = 0; i < m; ++i, block += sizeof(UrlItem)) {
      ScrambleBlock(block, sizeof(UrlItem));
    }
  }
  return bytes;
}

}  // namespace

namespace {

// K1 * i + K2 (mod 256) repeats every 256 bytes: one period of it, added or
// taken away 256 bytes at a time, a loop the compiler turns into vector
// adds (a byte at a time, a 4.6 MB task file took over 10 ms).
struct ScramblePeriod {
  unsigned char bytes[256];
  ScramblePeriod() {
    for (size_t i = 0; i < sizeof(bytes); ++i) {
      bytes[i] = static_cast<unsigned char>(kScrambleStep * i + kScrambleBase);
    }
  }
};

template <typename Combine>
void ApplyScramble(void* block, size_t length, Combine combine) {
  static const ScramblePeriod period;
  auto* p = static_cast<unsigned char*>(block);
  size_t at = 0;
  for (; at + sizeof(period.bytes) <= length; at += sizeof(period.bytes)) {
    for (size_t i = 0; i < sizeof(period.bytes); ++i) {
      p[at + i] = combine(p[at + i], period.bytes[i]);
    }
  }
  for (size_t i = 0; at + i < length; ++i) {
    p[at + i] = combine(p[at + i], period.bytes[i]);
  }
}

}  // namespace

void ScrambleBlock(void* block, size_t length) {
  ApplyScramble(block, length, [](unsigned char plain, unsigned char key) {
    return static_cast<unsigned char>(plain + key);
  });
}

void UnscrambleBlock(void* block, size_t length) {
  ApplyScramble(block, length, [](unsigned char stored, unsigned char key) {
    return static_cast<unsigned char>(stored - key);
  });
}

// Writes `bytes` to `path` through a temporary file beside it, so the old
// file stays whole until the new one is complete.
bool WriteFileWhole(const std::string& path, const std::string& bytes) {
  std::string temp = path + kTempSuffix;
  platform::File file =
      platform::File::Open(temp, platform::File::Mode::kOpenOrCreate);
  if (!file.IsOpen()) return false;
  bool ok = file.Seek(0) &&
            file.Write(bytes.data(), static_cast<uint32_t>(bytes.size())) &&
            file.Truncate();
  file.Close();
  if (ok && platform::ReplaceFile(temp, path)) return true;
  platform::DeleteFile(temp);
  return false;
}

std::string TaskDirectory(const TaskSet& taskSet) {
  return taskSet.home + "Task\\";
}

Task* LoadTask(TaskSet& taskSet, const std::string& taskName,
               uint32_t orderKey) {
  if (taskSet.liveTasks.load() >= kMaxTasks || !IsPlainTaskName(taskName)) {
    return nullptr;
  }
  TaskFileContent content;
  if (!ReadTaskFile(TaskDirectory(taskSet) + taskName, &content)) {
    return nullptr;
  }
  if (!RepairInfo(content.info)) return nullptr;
  Task* task = RestoreTask(taskSet, content.info, orderKey);
  if (task == nullptr) return nullptr;
  // Inserting at the head in file order rebuilds the saved list.
  for (uint32_t kind = kWeb2; kind <= kPic; ++kind) {
    for (const UrlItem& item : content.entries[kind]) {
      task->queues[kind].AppendCopy(item);
    }
  }
  return task;
}

namespace {

// The names Task\List holds, each once; false when the file cannot be
// read as the program writes it (a count and exactly that many names).
bool ReadTaskList(const TaskSet& taskSet, std::vector<std::string>* names) {
  platform::File file = platform::File::Open(
      TaskDirectory(taskSet) + kListName, platform::File::Mode::kReadExisting);
  if (!file.IsOpen()) return false;
  platform::Mapping view = platform::Mapping::MapReadOnly(file);
  if (!view.IsValid()) return false;
  BoundedReader reader(view.Data(), view.Size());
  uint32_t n = reader.ReadCount();
  if (reader.Failed() || reader.Left() != uint64_t{n} * kNameBlock) return false;
  std::set<std::string> seen;
  for (uint32_t k = 0; k < n; ++k) {
    char name[kNameBlock];
    reader.ReadBlock(name, sizeof(name));
    name[sizeof(name) - 1] = '\0';
    // Two rows of one task would share its file and its partial files.
    if (seen.insert(name).second) names->push_back(name);
  }
  return true;
}

// Every file of Task\ that may be a task file, by name: the list, journals
// and temporary files have a dot or are the list.
std::vector<std::string> TaskFilesOnDisk(const TaskSet& taskSet) {
  std::vector<std::string> names;
  for (const std::string& name : platform::ListFiles(TaskDirectory(taskSet))) {
    if (name != kListName && IsPlainTaskName(name) &&
        name.find('.') == std::string::npos) {
      names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::vector<Task*> LoadTaskList(TaskSet& taskSet, bool* rebuilt) {
  std::vector<std::string> names;
  bool listed = ReadTaskList(taskSet, &names);
  bool missing = !listed && !platform::FileExists(TaskDirectory(taskSet) + kListName);
  if (!listed) names = TaskFilesOnDisk(taskSet);
  // A missing list with no task file beside it is a first start.
  bool rebuild = !listed && !(missing && names.empty());
  std::vector<Task*> tasks;
  for (const std::string& name : names) {
    if (taskSet.liveTasks.load() >= kMaxTasks) break;
    // A bad file costs only its own task; the rest of the list still loads.
    Task* task = LoadTask(taskSet, name, static_cast<uint32_t>(tasks.size()));
    if (task != nullptr) tasks.push_back(task);
  }
  // Written at once, so the rebuild is told once.
  if (rebuild) WriteTaskList(taskSet, tasks);
  if (rebuilt != nullptr) *rebuilt = rebuild;
  return tasks;
}

bool WriteTaskList(const TaskSet& taskSet, const std::vector<Task*>& rows) {
  return EnsureDirectories(TaskDirectory(taskSet)) &&
         WriteFileWhole(TaskDirectory(taskSet) + kListName, ListBytes(rows));
}

bool SaveTaskList(TaskSet& taskSet, std::vector<Task*>& rows) {
  bool written = WriteTaskList(taskSet, rows);
  for (Task* task : rows) {
    // Without a list naming it, a rewritten task file would be lost anyway;
    // the files of the previous run stay as they were.
    if (!written) task->needsSave = 0;
    CloseTask(task);
  }
  rows.clear();
  return written;
}

bool SaveTask(Task& task) {
  if (!EnsureDirectories(TaskDirectory(*task.taskSet))) return false;
  return WriteFileWhole(TaskDirectory(*task.taskSet) + task.info.taskName,
                        TaskBytes(task));
}

bool DeleteTaskFile(const Task& task) {
  return platform::DeleteFile(TaskDirectory(*task.taskSet) +
                              task.info.taskName);
}

bool EnsureDirectories(const std::string& path) {
  // Walk whole characters: the trail byte of a GBK character in a thread
  // title may be 0x5C and must not be taken for a separator.
  bool drive = true;  // the first component is the drive; never created
  for (size_t i = 0; i < path.size(); i += GbkCharLength(path.c_str() + i)) {
    if (path[i] != '\\') continue;
    if (drive) {
      drive = false;
      continue;
    }
    std::string prefix = path.substr(0, i);
    if (platform::IsDirectory(prefix)) continue;
    // Another worker may create the same folder at the same moment.
    if (!platform::CreateDirectory(prefix) && !platform::IsDirectory(prefix))
      return false;
  }
  return true;
}

std::string NewGuidText() {
  char text[64];
  CopyBounded(text, sizeof(text), platform::NewGuidText().c_str());
  return text;
}

}  // namespace harvio
