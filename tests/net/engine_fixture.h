// Runs real tasks against the scripted fixture server: the hosts
// "pics.test" and "pages.test" are routed to it through HARVIO_CONNECT_TO
// (pics.test also on port 8080), every other name goes to the system
// resolver. Over https, the hosts of kTlsHosts reach a TLS server showing
// each its certificate of tools/test_certs.sh (whose CA is trusted), and
// "old.test" one that speaks TLS 1.0 only. Each test gets a fresh home and
// save folder, options with the shortest waits, and helpers that drive
// tasks the way the main window's tick does.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/task.h"
#include "platform/clock.h"
#include "tools/fixture_server/fixture_server.h"

namespace harvio::testing {

constexpr char kPicHost[] = "pics.test";
constexpr char kPageHost[] = "pages.test";
constexpr const char* kTlsHosts[] = {"good.test", "wrong.test", "expired.test",
                                     "self.test"};

// The request the engine sends for a fresh GET without referer.
std::string FreshRequest(const std::string& host, const std::string& path);
// A reply carrying `body` with the given type (and Content-Length).
fixture::Reply Body(const std::string& body, const std::string& type = "image/jpeg");
std::string Bytes(size_t length, char seed = 'a');
// A picture entry as a task file holds it (no admission checks).
UrlItem StoredEntry(const std::string& path);

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  fixture::Server& server();
  fixture::Server& tlsServer();
  fixture::Server& tls10Server();
  void Serve(const std::string& path, const fixture::Reply& reply) {
    server().Add("*", path, reply);
  }
  // A task of `sourceId` saving into the save folder, accepting JPEG and GIF.
  Task* NewTask(uint32_t sourceId = 161, uint32_t threads = 5);
  void Queue(Task* task, const std::string& path, const char* title = "");
  std::string Url(const std::string& path, const char* host = kPicHost) {
    return std::string("http://") + host + path;
  }
  // Starts the tasks and plays the tick until a worker of each raised the
  // stop signal (or `seconds` pass), then pauses them and waits for their
  // workers. Returns the stop reason of the first, or -2 when a signal
  // did not come.
  int32_t RunUntilStopped(std::vector<Task*> tasks, int seconds = 60);
  int32_t RunUntilStopped(Task* task, int seconds = 60) {
    return RunUntilStopped(std::vector<Task*>{task}, seconds);
  }
  void PauseAndWait(Task* task);
  // Waits until `condition` holds, at most `seconds`.
  template <typename Condition>
  bool WaitFor(Condition condition, int seconds) {
    for (int tenth = 0; tenth < seconds * 10 && !condition(); ++tenth) platform::SleepMs(100);
    return condition();
  }
  std::vector<std::string> RequestsFor(const std::string& path);

  // The save folder: its POSIX path, the names of its files.
  std::string SaveNative() const { return native_ + "/pics"; }
  std::vector<std::string> SavedFiles(const std::string& sub = "") const;
  std::string ReadSaved(const std::string& name) const;
  void WriteSaved(const std::string& name, const std::string& bytes) const;
  std::vector<UrlItem> Entries(Task* task, ItemKind kind);

  Options options_;
  TaskSet set_;
  std::vector<Task*> tasks_;

 private:
  std::string native_;
};

}  // namespace harvio::testing
