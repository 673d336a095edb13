// A Worker is one download thread of a running task. It owns one connection
// at a time and drives the item it holds through nine states, one small step
// function each: choose an item, wait before a retry, resolve the host,
// connect, send the request, check the send, receive, process what arrived,
// finish. The finishing step decides whether the item is complete, retried
// or dropped.
//
// Workers never talk to the window: they count bytes into the TaskSet and,
// when the task must stop, write its stopReason and then raise stopSignal.
// The main window polls those once a second; harvio-cli waits for them.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/task.h"
#include "net/host_cache.h"
#include "platform/files.h"
#include "platform/sockets.h"
#include "platform/tls.h"

namespace harvio {

enum WorkerState : uint32_t {
  kIdle = 0,
  kWaitRetry = 1,
  kResolving = 2,
  kConnecting = 3,
  kSending = 4,
  kCheckingSend = 5,
  kReceiving = 6,
  kProcessing = 7,
  kFinishing = 8,
  // An https item: between Connecting and Sending.
  kHandshaking = 9,
  // Shown, not run: the last item's certificate was refused.
  kCertRefused = 10,
};

constexpr uint32_t kWriteBufferBytes = 307200;  // body bytes held in memory
constexpr uint32_t kIoBytes = 8192;             // the first block of an answer

struct Worker;

// The engine state of one task: its worker slots and its host cache. A slot
// keeps its worker (ended or not) until a new one takes the slot, so the
// thread list can always read it.
struct TaskEngine {
  ~TaskEngine();  // joins every worker thread the task ever had
  std::shared_ptr<Worker> slots[kMaxThreads];
  HostCache hostCache;
  std::vector<std::thread> threads;
  // What hostile answers may not repeat within one run (lower-cased URLs):
  // URLs that redirected, the hops that led to each redirect target, and
  // URLs already queued afresh after a refused range.
  std::mutex answersLock;
  std::set<std::string> redirected;
  std::map<std::string, uint32_t> redirectHops;
  std::set<std::string> requeuedFresh;
  // Hosts whose certificate was refused, in the order met.
  std::vector<std::string> refusedHosts;
};

struct Worker {
  Worker(Task& task, TaskEngine& engine);
  ~Worker();
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // The thread body: runs steps until the worker is asked to stop.
  void Run();
  void CopyView(ThreadView* out);
  const Options& options() const;
  // Writes the reason first, then raises the task's signal.
  void RaiseStop(int32_t reason);
  // Sets stopRequested and wakes the worker out of any sleep.
  void RequestStop();

  // The steps, one per WorkerState.
  void RunStep();
  void StepIdle();
  void StepWaitRetry();
  void StepResolving();
  void StepConnecting();
  void StepHandshaking();
  void NoteRefusedHost();
  void StepSending();
  void StepCheckingSend();
  void StepReceiving();
  // Where the next receive goes and how many bytes it may bring; null when
  // a full write buffer could not be written out.
  char* NextReceive(uint32_t* length);
  void StepProcessing();
  void ProcessReceived(int64_t received);
  void StepFinishing();
  void AwaitOperation(bool started, WorkerState next);
  bool KeepsPace(uint32_t received);
  uint64_t ReceivedEver(uint32_t received);
  // Parts of the finishing decision.
  void DecideItem();
  void SucceedItem();
  void CountSavedPicture();
  void DropItem();
  void FailItem();
  void RefuseItem();
  void ReleaseItem();
  bool SleepUnlessStopped(uint32_t ms);
  void TakeItem(UrlItem* entry, ItemKind kind);
  // Changes the held entry's progress fields under its queue's lock.
  template <typename Change>
  void ChangeItem(Change change) {
    task_.queues[kind_].Update(item_, change);
  }
  void SetViewFile(const char* name);

  Task& task_;
  TaskEngine& engine_;
  std::atomic<uint32_t> stopRequested_{0};
  std::mutex stopLock_;  // RequestStop wakes SleepUnlessStopped through it
  std::condition_variable stopWake_;
  bool exitNow_ = false;
  uint32_t buffered_ = 0;
  std::unique_ptr<char[]> writeBuffer_;  // kWriteBufferBytes + 1 for a NUL
  uint32_t ioLength_ = 0;
  std::unique_ptr<char[]> ioBuffer_;  // kIoBytes + 1 for a NUL
  bool eventSet_ = false;             // run the next step at once
  platform::File file_;
  platform::Socket socket_;
  platform::TlsChannel channel_{&socket_};  // every send and receive
  ItemKind kind_ = kNoKind;
  WorkerState state_ = kIdle;
  WorkerState lastStep_ = kFinishing;
  UrlItem* item_ = nullptr;
  uint32_t retries_ = 0;
  uint32_t complete_ = 0;
  uint32_t headerAccepted_ = 0;
  // The server's TLS was refused for the held item: no retry.
  platform::TlsChannel::Refusal refusal_ = platform::TlsChannel::Refusal::kNone;
  // A write failed on this item: its partial file stays for a resume.
  bool writeFailed_ = false;
  // A body without length passed what any item may have.
  bool overflowed_ = false;
  // The answer does not continue the file: try again from the first byte.
  bool restartItem_ = false;
  // Body progress: a transfer must bring kLeastBytes within DataTimeout,
  // and no far less than its share of all bytes received over a longer
  // window (see FarBelowFairShare).
  uint32_t progressTick_ = 0;
  uint32_t progressBytes_ = 0;
  uint32_t shareTick_ = 0;
  uint32_t shareBytes_ = 0;
  uint64_t shareAllBefore_ = 0;  // the program's bytes when the window began
  // File offset at which the current response's body began.
  uint32_t responseStart_ = 0;
  platform::SocketAddress address_{};
  uint32_t lastTick_ = 0;

  // Display block, read once a second by the thread list.
  std::atomic<uint32_t> viewState_{kIdle};
  std::atomic<uint32_t> viewKind_{kNoKind};
  std::atomic<uint32_t> viewSize_{0};
  std::atomic<uint32_t> viewDone_{0};
  std::atomic<uint32_t> viewRetry_{0};
  std::mutex viewLock_;  // guards the two texts
  char viewUrl_[1025] = {};
  char viewFile_[263] = {};
};

// A transfer that brought `mine` bytes while all transfers of the program
// together brought `all` is a drip when it had under a quarter of its share
// with every worker of three running tasks busy: a slow line shares itself
// out fairly and never falls that low, a server that drips on purpose does
// as soon as anything else moves.
bool FarBelowFairShare(uint64_t mine, uint64_t all);

// Hosts whose certificate the task's workers refused, in the order met;
// a copy taken under the engine's lock.
std::vector<std::string> RefusedHosts(const Task& task);

// Fills the WorkerHooks of the task core with this engine. Every program
// that runs tasks calls it once at start-up.
void InstallWorkerHooks();

}  // namespace harvio
