#include "net/worker.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "core/gbk_text.h"
#include "core/url_location.h"
#include "net/connect_to.h"
#include "net/http_request.h"
#include "net/response.h"
#include "platform/clock.h"

namespace harvio {
namespace {

constexpr uint32_t kWakeMs = 1000;  // the loop's longest sleep
constexpr uint32_t kWeb2Limit = 1;
constexpr uint32_t kPicLimit = 25;
constexpr uint32_t kWeb1Limit = 10;
// Fewer bytes than this within DataTimeout is a stalled transfer, however
// steadily they drip.
constexpr uint32_t kLeastBytes = 1024;

// The share of a transfer is judged over this many DataTimeouts.
constexpr uint32_t kShareWindows = 4;
constexpr uint64_t kBusyTransfers = uint64_t{kMaxRunningTasks} * kMaxThreads;

uint32_t Elapsed(uint32_t since) { return platform::TickCount() - since; }

}  // namespace

bool FarBelowFairShare(uint64_t mine, uint64_t all) {
  return mine * kBusyTransfers * 4 < all;
}

Worker::Worker(Task& task, TaskEngine& engine)
    : task_(task),
      engine_(engine),
      writeBuffer_(new char[kWriteBufferBytes + 1]),
      ioBuffer_(new char[kIoBytes + 1]) {}

Worker::~Worker() = default;

const Options& Worker::options() const {
  static const Options defaults;
  const TaskSet* set = task_.taskSet;
  return set != nullptr && set->options != nullptr ? *set->options : defaults;
}

void Worker::RaiseStop(int32_t reason) { RaiseStopSignal(task_, reason); }

void Worker::RequestStop() {
  std::lock_guard<std::mutex> guard(stopLock_);
  stopRequested_.store(1);
  stopWake_.notify_all();
}

void Worker::Run() {
  eventSet_ = true;
  while (!exitNow_) {
    // Only an outstanding send or receive leaves the event clear.
    if (!eventSet_ && !channel_.Wait(kWakeMs)) {
      if (stopRequested_.load() != 0 ||
          Elapsed(lastTick_) > options().DataTimeout * 1000) {
        state_ = kFinishing;
        eventSet_ = true;
      }
      continue;
    }
    eventSet_ = false;
    // A refused certificate stays on show until the next item is taken.
    bool refused = refusal_ == platform::TlsChannel::Refusal::kCertificate;
    viewState_ = refused && state_ == kIdle ? kCertRefused : state_;
    RunStep();
  }
  writeBuffer_.reset();
  ioBuffer_.reset();
  platform::StopSocketLibrary();
  // The last touch of the task: its close thread may free it right after.
  CountWorkerOut(task_);
}

void Worker::RunStep() {
  switch (state_) {
    case kIdle: return StepIdle();
    case kWaitRetry: return StepWaitRetry();
    case kResolving: return StepResolving();
    case kConnecting: return StepConnecting();
    case kHandshaking: return StepHandshaking();
    case kSending: return StepSending();
    case kCheckingSend: return StepCheckingSend();
    case kReceiving: return StepReceiving();
    case kProcessing: return StepProcessing();
    case kFinishing: return StepFinishing();
    case kCertRefused: break;
  }
}

// List pages one at a time, and only while fewer than two pictures or
// content pages per worker wait; otherwise pictures first, then pages.
void Worker::StepIdle() {
  eventSet_ = true;
  if (stopRequested_.load() != 0) {  // a stopped worker takes nothing more
    exitNow_ = true;
    return;
  }
  UrlQueue* queues = task_.queues;
  uint32_t pending = queues[kPic].PendingCount() + queues[kWeb1].PendingCount();
  UrlItem* entry = nullptr;
  ItemKind kind = kNoKind;
  if (pending < 2 * task_.info.threadCount) {
    if ((entry = queues[kWeb2].TakeNext(kWeb2Limit)) != nullptr) kind = kWeb2;
  }
  if (entry == nullptr && (entry = queues[kPic].TakeNext(kPicLimit))) kind = kPic;
  if (entry == nullptr && (entry = queues[kWeb1].TakeNext(kWeb1Limit))) kind = kWeb1;
  viewKind_ = kind;
  if (entry != nullptr) {
    TakeItem(entry, kind);
    if (CheckPartialFile(*this) == ResumeCheck::kSaved) CountSavedPicture();
    return;
  }
  if (queues[kWeb2].IsIdle() && queues[kWeb1].IsIdle() && queues[kPic].IsIdle()) {
    RaiseStop(-1);
  }
  if (!SleepUnlessStopped(kWakeMs)) exitNow_ = true;
}

void Worker::TakeItem(UrlItem* entry, ItemKind kind) {
  item_ = entry;
  kind_ = kind;
  buffered_ = 0;
  retries_ = 0;
  complete_ = 0;
  headerAccepted_ = 0;
  writeFailed_ = false;
  restartItem_ = false;
  refusal_ = platform::TlsChannel::Refusal::kNone;
  viewSize_ = entry->size;
  viewDone_ = entry->done;
  viewRetry_ = 0;
  // Plain http shows without its scheme, as it always has.
  char location[80];
  LocationPrefix(entry->host, location, sizeof(location));
  const char* shown =
      IsSecureLocation(entry->host) ? location : location + SchemeLength(location);
  {
    std::lock_guard<std::mutex> guard(viewLock_);
    CopyBounded(viewUrl_, sizeof(viewUrl_), shown);
    size_t used = std::strlen(viewUrl_);
    CopyBounded(viewUrl_ + used, sizeof(viewUrl_) - used, entry->path);
    CopyBounded(viewFile_, sizeof(viewFile_), entry->fileName);
  }
  state_ = kResolving;
}

void Worker::SetViewFile(const char* name) {
  std::lock_guard<std::mutex> guard(viewLock_);
  CopyBounded(viewFile_, sizeof(viewFile_), name);
}

// Woken by RequestStop, so a stopped task's workers end at once and a
// program waiting for them can quit; false as soon as a stop is requested.
bool Worker::SleepUnlessStopped(uint32_t ms) {
  std::unique_lock<std::mutex> guard(stopLock_);
  return !stopWake_.wait_for(guard, std::chrono::milliseconds(ms),
                             [this] { return stopRequested_.load() != 0; });
}

void Worker::StepWaitRetry() {
  state_ = SleepUnlessStopped(options().RetryWait * 1000) ? kResolving
                                                          : kFinishing;
  eventSet_ = true;
}

void Worker::StepResolving() {
  lastStep_ = kResolving;
  eventSet_ = true;
  state_ = kConnecting;
  if (engine_.hostCache.Lookup(item_->host, &address_)) return;
  Endpoint endpoint = DecodeLocation(item_->host);
  ConnectTarget target = ProcessConnectTo().Route(endpoint.name, endpoint.port);
  if (!platform::ResolveIPv4(target.host.c_str(), target.port, &address_)) {
    state_ = kFinishing;
    return;
  }
  engine_.hostCache.Add(item_->host, address_);
}

void Worker::StepConnecting() {
  lastStep_ = kConnecting;
  eventSet_ = true;
  state_ = kFinishing;
  if (!socket_.Open()) return;
  platform::Socket::Progress progress = socket_.StartConnect(address_);
  lastTick_ = platform::TickCount();
  while (progress == platform::Socket::Progress::kPending) {
    progress = socket_.WaitConnected(kWakeMs);
    if (progress == platform::Socket::Progress::kPending &&
        (stopRequested_.load() != 0 ||
         Elapsed(lastTick_) > options().ConnTimeout * 1000)) {
      return;
    }
  }
  if (progress == platform::Socket::Progress::kDone) {
    state_ = IsSecureLocation(item_->host) ? kHandshaking : kSending;
  }
}

// Like the connect, in one-second slices within ConnTimeout.
void Worker::StepHandshaking() {
  lastStep_ = kHandshaking;
  eventSet_ = true;
  state_ = kFinishing;
  if (!channel_.Begin(DecodeLocation(item_->host).name)) return;
  lastTick_ = platform::TickCount();
  platform::Socket::Progress progress;
  while ((progress = channel_.Handshake(kWakeMs)) ==
         platform::Socket::Progress::kPending) {
    if (stopRequested_.load() != 0 ||
        Elapsed(lastTick_) > options().ConnTimeout * 1000) {
      return;
    }
  }
  refusal_ = channel_.refusal();
  if (progress == platform::Socket::Progress::kDone) state_ = kSending;
}

void Worker::StepSending() {
  lastStep_ = kSending;
  progressTick_ = shareTick_ = platform::TickCount();
  progressBytes_ = shareBytes_ = 0;
  shareAllBefore_ = ReceivedEver(0);
  ioLength_ = ComposeRequest(*item_, kind_, task_.info.sourceId,
                             ioBuffer_.get(), kIoBytes + 1);
  AwaitOperation(ioLength_ != 0 && channel_.StartSend(ioBuffer_.get(), ioLength_),
                 kCheckingSend);
}

void Worker::StepCheckingSend() {
  lastStep_ = kCheckingSend;
  bool sent = channel_.Result() == static_cast<int64_t>(ioLength_);
  state_ = sent && stopRequested_.load() == 0 ? kReceiving : kFinishing;
  eventSet_ = true;
}

void Worker::StepReceiving() {
  lastStep_ = kReceiving;
  uint32_t length = 0;
  char* into = NextReceive(&length);
  AwaitOperation(into != nullptr && channel_.StartReceive(into, length), kProcessing);
}

// The header must come within the first kIoBytes. The body goes straight
// into the write buffer, as much at a time as it has room for: every
// receive is a call into the system, and under Wine two trips to its
// server.
char* Worker::NextReceive(uint32_t* length) {
  if (headerAccepted_ == 0) {
    *length = kIoBytes;
    return ioBuffer_.get();
  }
  *length = BodyRoom(*this);
  return *length != 0 ? writeBuffer_.get() + buffered_ : nullptr;
}

// A started send or receive (done or pending) wakes the loop through the
// socket and goes on in `next`; one that failed at once ends the item.
void Worker::AwaitOperation(bool started, WorkerState next) {
  if (started) {
    state_ = next;
    lastTick_ = platform::TickCount();
  } else {
    state_ = kFinishing;
    eventSet_ = true;
  }
}

void Worker::StepProcessing() {
  lastStep_ = kProcessing;
  eventSet_ = true;
  ProcessReceived(channel_.Result());
}

// What the Processing step does with a receive's result (the bytes are in
// ioBuffer): next state Receiving, or Finishing.
void Worker::ProcessReceived(int64_t received) {
  state_ = kFinishing;
  if (received < 0) return;
  if (received == 0) {  // the server closed the connection
    complete_ = 1;
    return;
  }
  uint32_t n = static_cast<uint32_t>(received);
  if (!KeepsPace(n)) return;  // timed out: tried again
  if (headerAccepted_ != 0) {
    KeepReceivedBody(*this, n);
  } else {
    if (!AcceptResponse(*this, n)) return;
    headerAccepted_ = 1;
  }
  if (overflowed_) return;
  uint32_t have = item_->done + buffered_;
  if (item_->size != 0 && have == item_->size) {
    complete_ = 1;
    return;
  }
  if (stopRequested_.load() == 0) state_ = kReceiving;
}

// Counts received bytes; false once DataTimeout has passed without
// kLeastBytes arriving, or a share window far below the fair share.
bool Worker::KeepsPace(uint32_t received) {
  progressBytes_ += received;
  shareBytes_ += received;
  uint64_t all = ReceivedEver(received);
  if (Elapsed(shareTick_) > kShareWindows * options().DataTimeout * 1000) {
    if (FarBelowFairShare(shareBytes_, all - shareAllBefore_)) return false;
    shareTick_ = platform::TickCount();
    shareBytes_ = 0;
    shareAllBefore_ = all;
  }
  if (progressBytes_ >= kLeastBytes) {
    progressBytes_ = 0;
    progressTick_ = platform::TickCount();
    return true;
  }
  return Elapsed(progressTick_) <= options().DataTimeout * 1000;
}

// Adds `received` to the program's count of bytes and returns the count.
uint64_t Worker::ReceivedEver(uint32_t received) {
  TaskSet* set = task_.taskSet;
  return set != nullptr ? set->receivedEver += received : 0;
}

void Worker::StepFinishing() {
  if (socket_.IsOpen()) channel_.Close();
  if (item_ != nullptr) task_.changes.fetch_add(1);
  if (buffered_ > 0 && item_ != nullptr) {
    if (file_.Write(writeBuffer_.get(), buffered_)) {
      uint32_t written = buffered_;
      ChangeItem([written](UrlItem& i) { i.done += written; });
    } else {
      writeFailed_ = true;
      RaiseStop(1);
      complete_ = 0;
    }
  }
  buffered_ = 0;
  state_ = kIdle;
  if (item_ != nullptr) DecideItem();
  lastStep_ = kFinishing;
  eventSet_ = true;
  if (stopRequested_.load() == 0) return;
  if (state_ == kWaitRetry) ReleaseItem();
  exitNow_ = true;
}

void Worker::DecideItem() {
  if (writeFailed_) {
    // Nothing saved is given up: the entry waits for the next start and
    // resumes its partial file.
    ReleaseItem();
    return;
  }
  if (restartItem_) {
    restartItem_ = false;
    FailItem();
    return;
  }
  if (refusal_ != platform::TlsChannel::Refusal::kNone) {
    RefuseItem();
    return;
  }
  if ((lastStep_ == kResolving && kind_ == kPic) ||
      (lastStep_ == kProcessing && headerAccepted_ == 0)) {
    DropItem();
    return;
  }
  if (complete_ != 0 && (item_->size == 0 || item_->size == item_->done)) {
    SucceedItem();
    return;
  }
  FailItem();
}

void Worker::SucceedItem() {
  if (kind_ == kPic) {
    file_.Close();
    RenamePicture(*this);
    CountSavedPicture();
    return;
  }
  ProcessPage(*this);
  file_.Close();
  DeletePartial(*this);
  task_.queues[kind_].MarkFinished(item_);
  item_ = nullptr;
}

void Worker::CountSavedPicture() {
  task_.pictureCount.fetch_add(1);
  task_.changes.fetch_add(1);
  task_.queues[kind_].MarkFinished(item_);
  item_ = nullptr;
  state_ = kIdle;
}

void Worker::DropItem() {
  file_.Close();
  DeletePartial(*this);
  task_.queues[kind_].RemoveItem(item_);
  item_ = nullptr;
}

void Worker::FailItem() {
  // Only pages get here from resolving: their host not resolving means
  // the network is gone.
  if (lastStep_ == kResolving) RaiseStop(0);
  if (lastStep_ == kConnecting) engine_.hostCache.Forget(item_->host);
  const Options& o = options();
  uint32_t limit = kind_ == kWeb2   ? o.WEB2RetryTimes
                   : kind_ == kWeb1 ? o.WEB1RetryTimes
                                    : o.PICRetryTimes;
  if (retries_ >= limit) {
    DropItem();
    return;
  }
  retries_++;
  headerAccepted_ = 0;
  viewRetry_ = retries_;
  state_ = kWaitRetry;
}

// A server whose TLS is refused is not asked again, and never over plain
// http. A page the user gave (it has no referer) is kept and pauses the
// task, which has nothing to go on without it.
void Worker::RefuseItem() {
  bool certificate = refusal_ == platform::TlsChannel::Refusal::kCertificate;
  if (certificate) NoteRefusedHost();
  if (certificate && kind_ != kPic && item_->referer[0] == '\0') {
    RaiseStop(2);
    ReleaseItem();
    return;
  }
  DropItem();
}

void Worker::NoteRefusedHost() {
  std::string host = DecodeLocation(item_->host).name;
  std::lock_guard<std::mutex> guard(engine_.answersLock);
  for (const std::string& known : engine_.refusedHosts) {
    if (known == host) return;
  }
  engine_.refusedHosts.push_back(host);
}

// Hands the entry back as Waiting; it keeps fileName, size and done.
void Worker::ReleaseItem() {
  file_.Close();
  task_.queues[kind_].ReturnToWaiting(item_);
  item_ = nullptr;
  state_ = kIdle;
}

void Worker::CopyView(ThreadView* out) {
  out->state = viewState_;
  out->kind = viewKind_;
  out->size = viewSize_;
  out->done = viewDone_;
  out->retry = viewRetry_;
  std::lock_guard<std::mutex> guard(viewLock_);
  std::memcpy(out->url, viewUrl_, sizeof(out->url));
  std::memcpy(out->file, viewFile_, sizeof(out->file));
}

TaskEngine::~TaskEngine() {
  // The task is closed only after every worker has counted itself out;
  // joining lets each thread finish leaving before the task goes.
  for (std::thread& thread : threads) thread.join();
}

namespace {

void CreateWorkerHook(Task& task, uint32_t slot) {
  if (slot >= kMaxThreads) return;
  if (task.engine == nullptr) task.engine = new TaskEngine;
  auto worker = std::make_shared<Worker>(task, *task.engine);
  task.engine->slots[slot] = worker;
  platform::StartSocketLibrary();
  task.runningWorkers.fetch_add(1);
  task.engine->threads.emplace_back([worker] { worker->Run(); });
}

void StopWorkerHook(Task& task, uint32_t slot) {
  if (task.engine == nullptr || slot >= kMaxThreads) return;
  if (Worker* worker = task.engine->slots[slot].get()) worker->RequestStop();
}

bool ViewWorkerHook(const Task& task, uint32_t slot, ThreadView* out) {
  if (task.engine == nullptr || slot >= kMaxThreads) return false;
  Worker* worker = task.engine->slots[slot].get();
  if (worker == nullptr) return false;
  worker->CopyView(out);
  return true;
}

void ReleaseEngineHook(Task& task) {
  delete task.engine;
  task.engine = nullptr;
}

}  // namespace

std::vector<std::string> RefusedHosts(const Task& task) {
  if (task.engine == nullptr) return {};
  std::lock_guard<std::mutex> guard(task.engine->answersLock);
  return task.engine->refusedHosts;
}

void InstallWorkerHooks() {
  static const WorkerHooks hooks{CreateWorkerHook, StopWorkerHook,
                                 ViewWorkerHook, ReleaseEngineHook};
  SetWorkerHooks(&hooks);
}

}  // namespace harvio
