// Fuzz target: any bytes as a server's answer to one item, received in
// blocks split where the input says, then the finishing step (rename, page
// parse, retry or drop). The item and its task are chosen by the first
// bytes:
//   0  kind (bits 0-1: WEB2, WEB1, PIC), jpgLarge, jpgSmall, gif (bits 2-4),
//      a stored fileName with its partial file (bit 5), a missing one (bit 6)
//   1  source: 161, 162, 163, a forum filing by title, a search engine
//   2  progress of the stored entry: size and done
//   3  number of splits S (0..15), then S two-byte block lengths
// and the rest is the answer. Files go to a scratch folder emptied after
// every input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/task.h"
#include "core/task_store.h"
#include "net/worker.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "tests/fuzz/scratch_folder.h"

namespace {

using namespace harvio;

constexpr uint32_t kSources[] = {161, 162, 163, 31, 1};
constexpr char kStoredName[] = "{00000000-1111-2222-3333-444444444444}.jpg";

// The entry as a task file holds it, with the progress the input chose.
UrlItem StoredEntry(uint8_t mode, uint8_t progress, Task& task, ItemKind kind) {
  UrlItem item{};
  std::strcpy(item.host, "pics.test");
  std::strcpy(item.path, kind == kPic ? "/a/b.jpg" : "/a/b.html");
  std::strcpy(item.title, "thread title");
  static const uint32_t kSizes[] = {0, 1024, 5000, 16384, 307200, 700000, 1048576, 40};
  item.size = kSizes[progress & 7];
  item.done = item.size == 0 ? 0 : item.size / (1 + (progress >> 3));
  if ((mode & 0x60) != 0) {
    std::strcpy(item.fileName, kStoredName);
    if ((mode & 0x20) != 0) {
      std::string folder = task.info.savePath;
      std::string partial(item.done + (progress >> 7), 'p');
      std::ofstream(platform::ToNativePath(folder) + "/" + kStoredName + ".!",
                    std::ios::binary)
          << partial;
    }
  }
  return item;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::ScratchFolder& scratch = fuzz::Scratch("harvio-fuzz-response");
  std::filesystem::create_directories(scratch.native + "/save");
  size_t at = 0;
  auto byte = [&] { return at < size ? data[at++] : uint8_t{0}; };
  uint8_t mode = byte();
  ItemKind kind = static_cast<ItemKind>((mode & 3) % 3);

  Options options;
  options.DataTimeout = 10;
  TaskSet taskSet;
  taskSet.options = &options;
  taskSet.home = scratch.home;
  TaskInfo info{};
  info.sourceId = kSources[byte() % 5];
  info.classifyByTitle = 1;
  info.threadCount = kMinThreads;
  info.jpgLarge = (mode >> 2) & 1;
  info.jpgSmall = (mode >> 3) & 1;
  info.gif = (mode >> 4) & 1;
  std::string save = scratch.home + "save\\";
  std::strcpy(info.savePath, save.c_str());
  Task* task = CreateTask(taskSet, info, 0);
  task->queues[kind].AppendCopy(StoredEntry(mode, byte(), *task, kind));

  TaskEngine engine;
  Worker worker(*task, engine);
  worker.item_ = task->queues[kind].TakeNext(1);
  worker.kind_ = kind;
  worker.progressTick_ = platform::TickCount();  // the request just went out

  uint32_t splits = byte() % 16;
  uint32_t blocks[16];
  for (uint32_t i = 0; i < splits; ++i) {
    blocks[i] = 1 + ((byte() << 8 | byte()) % kIoBytes);
  }
  // Blocks as the input splits them, then whole ones, while the worker
  // goes on receiving.
  for (uint32_t i = 0; at < size; ++i) {
    uint32_t n = i < splits ? blocks[i] : kIoBytes;
    uint32_t room = 0;
    char* into = worker.NextReceive(&room);
    if (into == nullptr) break;
    if (n > room) n = room;
    if (n > size - at) n = static_cast<uint32_t>(size - at);
    std::memcpy(into, data + at, n);
    at += n;
    worker.ProcessReceived(n);
    if (worker.state_ != kReceiving) break;
  }
  if (worker.state_ == kReceiving) worker.ProcessReceived(0);  // closed
  worker.StepFinishing();
  if (worker.item_ != nullptr) {  // kept for a retry
    worker.file_.Close();
    worker.item_ = nullptr;
  }
  delete task;
  std::filesystem::remove_all(scratch.native + "/save");
  return 0;
}
