#include "tests/net/engine_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "net/worker.h"
#include "platform/paths.h"

namespace harvio::testing {
namespace {

fixture::Server* g_server = nullptr;
fixture::Server* g_tls = nullptr;
fixture::Server* g_tls10 = nullptr;

std::string Rule(const char* host, int port, const fixture::Server& to) {
  return std::string(host) + ":" + std::to_string(port) + ":127.0.0.1:" +
         std::to_string(to.Port()) + ",";
}

// One server of each kind per test program; the routing must be in the
// environment before the first worker reads it.
class ServerEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    g_server = new fixture::Server;
    g_tls = new fixture::Server;
    g_tls10 = new fixture::Server;
    // The test CA and its certificates, made once per build tree.
    std::string certs = HARVIO_TEST_CERTS_DIR;
    ASSERT_EQ(std::system(("sh " HARVIO_SOURCE_DIR "/tools/test_certs.sh " + certs).c_str()), 0);
    ASSERT_TRUE(g_server->Start());
    ASSERT_TRUE(g_tls->StartTls(certs));
    ASSERT_TRUE(g_tls10->StartTls(certs, true));
    std::string rules = Rule(kPicHost, 80, *g_server) + Rule(kPicHost, 8080, *g_server) +
                        Rule(kPageHost, 80, *g_server) + Rule("old.test", 443, *g_tls10);
    for (const char* host : kTlsHosts) rules += Rule(host, 443, *g_tls);
    setenv("HARVIO_CONNECT_TO", rules.c_str(), 1);
    setenv("HARVIO_CA_FILE", (certs + "/ca.crt").c_str(), 1);
    InstallWorkerHooks();
  }
  void TearDown() override {
    for (fixture::Server* server : {g_server, g_tls, g_tls10}) {
      server->Stop();
      delete server;
    }
  }
};

const auto* g_environment = ::testing::AddGlobalTestEnvironment(new ServerEnvironment);

}  // namespace

std::string FreshRequest(const std::string& host, const std::string& path) {
  return "GET " + path + " HTTP/1.0\r\nHost: " + host +
         "\r\nAccept: */*\r\n"
         "User-Agent: Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
         "Pragma: no-cache\r\nCache-Control: no-cache\r\n"
         "Connection: close\r\n\r\n";
}

fixture::Reply Body(const std::string& body, const std::string& type) {
  fixture::Reply reply;
  reply.headers = {"Content-Type: " + type};
  reply.body = body;
  return reply;
}

std::string Bytes(size_t length, char seed) {
  std::string bytes(length, '\0');
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(seed + i * 7 + i / 251);
  return bytes;
}

UrlItem StoredEntry(const std::string& path) {
  UrlItem item{};
  std::strcpy(item.host, kPicHost);
  std::strncpy(item.path, path.c_str(), sizeof(item.path) - 1);
  return item;
}

void EngineTest::SetUp() {
  char pattern[] = "/tmp/harvio-net-XXXXXX";
  native_ = mkdtemp(pattern);
  options_.RetryWait = 2;
  options_.DataTimeout = 10;
  options_.ConnTimeout = 10;
  set_.options = &options_;
  set_.home = platform::FromNativePath(native_) + "\\";
  for (fixture::Server* server : {g_server, g_tls, g_tls10}) {
    server->ClearRoutes();
    server->ClearRequests();
  }
}

void EngineTest::TearDown() {
  for (Task* task : tasks_) CloseTask(task);
  WaitForClosedTasks(set_);
  std::filesystem::remove_all(native_);
}

fixture::Server& EngineTest::server() { return *g_server; }
fixture::Server& EngineTest::tlsServer() { return *g_tls; }
fixture::Server& EngineTest::tls10Server() { return *g_tls10; }

Task* EngineTest::NewTask(uint32_t sourceId, uint32_t threads) {
  TaskInfo info{};
  info.sourceId = sourceId;
  info.threadCount = threads;
  info.jpgLarge = info.jpgSmall = info.gif = 1;
  std::string save = platform::FromNativePath(SaveNative()) + "\\";
  std::strncpy(info.savePath, save.c_str(), sizeof(info.savePath) - 1);
  Task* task = CreateTask(set_, info, static_cast<uint32_t>(tasks_.size()));
  tasks_.push_back(task);
  return task;
}

// Pages (".html") go to WEB1 on the page host, the rest to PIC.
void EngineTest::Queue(Task* task, const std::string& path, const char* title) {
  bool page = path.size() > 5 && path.compare(path.size() - 5, 5, ".html") == 0;
  task->queues[page ? kWeb1 : kPic].AddUrl(Url(path, page ? kPageHost : kPicHost).c_str(),
                                           title, "", true);
}

int32_t EngineTest::RunUntilStopped(std::vector<Task*> tasks, int seconds) {
  for (Task* task : tasks) StartTask(*task);
  bool signalled = WaitFor(
      [&] {
        return std::all_of(tasks.begin(), tasks.end(),
                           [](Task* t) { return t->stopSignal.load() != 0; });
      },
      seconds);
  for (Task* task : tasks) PauseAndWait(task);
  return signalled ? tasks[0]->stopReason.load() : -2;
}

void EngineTest::PauseAndWait(Task* task) {
  if (task->info.state == kRunning) PauseTask(*task);
  EXPECT_TRUE(WaitFor([task] { return task->runningWorkers.load() == 0; }, 30));
}

std::vector<std::string> EngineTest::RequestsFor(const std::string& path) {
  std::vector<std::string> found;
  for (const fixture::Request& r : server().Requests()) {
    if (r.path == path) found.push_back(r.bytes);
  }
  return found;
}

std::vector<std::string> EngineTest::SavedFiles(const std::string& sub) const {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(
           SaveNative() + (sub.empty() ? "" : "/" + sub), error)) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename());
  }
  return names;
}

std::string EngineTest::ReadSaved(const std::string& name) const {
  std::ifstream in(SaveNative() + "/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void EngineTest::WriteSaved(const std::string& name, const std::string& bytes) const {
  std::filesystem::create_directories(SaveNative());
  std::ofstream(SaveNative() + "/" + name, std::ios::binary) << bytes;
}

std::vector<UrlItem> EngineTest::Entries(Task* task, ItemKind kind) {
  std::vector<UrlItem> entries;
  task->queues[kind].ForEachHeadToTail([&](const UrlItem& item) { entries.push_back(item); });
  return entries;
}

}  // namespace harvio::testing
