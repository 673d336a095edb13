// https items end to end: the handshake with the host's name, certificates
// and protocols that must be refused at once, ports in URLs, referers and
// redirects between http and https.
#include <gtest/gtest.h>

#include <algorithm>

#include "net/worker.h"
#include "tests/net/engine_fixture.h"

namespace harvio::testing {
namespace {

using TlsTest = EngineTest;

// Links of an https page resolve to https; an http picture it shows is
// asked for without naming the page, an https one with it. Redirects of
// pictures cross between the schemes both ways (tests/data/net/tls_run.txt).
TEST_F(TlsTest, PicturesComeOverTlsWithTheHostNamedAndReferersAcrossSchemes) {
  const std::string script = HARVIO_SOURCE_DIR "/tests/data/net/tls_run.txt";
  std::string error;
  for (fixture::Server* to : {&server(), &tlsServer()}) {
    ASSERT_TRUE(fixture::LoadScript(script, to, &error)) << error;
  }
  Task* task = NewTask(162);
  task->queues[kWeb1].AddUrl("https://good.test/page.html", "", "", true);
  task->queues[kPic].AddUrl("http://pics.test/up.jpg", "", "", true);
  task->queues[kPic].AddUrl("http://pics.test:8080/f.jpg", "", "", true);
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(task->pictureCount.load(), 6);
  EXPECT_EQ(SavedFiles().size(), 6u);
  EXPECT_EQ(RequestsFor("/f.jpg"), std::vector<std::string>{FreshRequest("pics.test:8080", "/f.jpg")});
  for (const char* path : {"/b.jpg", "/d.jpg"}) {
    ASSERT_EQ(RequestsFor(path).size(), 1u) << path;
    EXPECT_EQ(RequestsFor(path)[0].find("Referer:"), std::string::npos) << path;
  }
  for (const fixture::Request& r : tlsServer().Requests()) {
    EXPECT_EQ(r.serverName, "good.test");
    std::string referer = r.path == "/e.jpg" ? "http://pics.test/up.jpg"
                                             : "https://good.test/page.html";
    if (r.path == "/page.html") {
      EXPECT_EQ(r.bytes, FreshRequest("good.test", "/page.html"));
    } else {
      EXPECT_NE(r.bytes.find("Referer: " + referer + "\r\n"), std::string::npos) << r.path;
    }
  }
  // A picture refused for its size is dropped mid-body: the server, still
  // writing, must live on. The next connection resumes the last session.
  task->queues[kPic].AddUrl("https://good.test/huge.jpg", "", "", true);
  EXPECT_EQ(RunUntilStopped(task), -1);
  task->queues[kPic].AddUrl("https://good.test/g.jpg", "", "", true);
  EXPECT_EQ(RunUntilStopped(task), -1);
  ASSERT_EQ(tlsServer().Requests().back().path, "/g.jpg");
  EXPECT_TRUE(tlsServer().Requests().back().resumed);
}

// Each refusal costs one connection: no retry, no request, no fallback to
// plain http, and a host refused for its certificate is noted once.
TEST_F(TlsTest, RefusedServersDropTheItemAtOnce) {
  tlsServer().Add("*", "*", Body(Bytes(3000)));
  tls10Server().Add("*", "*", Body(Bytes(3000)));
  Task* task = NewTask();
  for (const char* host : {"wrong.test", "expired.test", "self.test", "old.test"}) {
    task->queues[kPic].AddUrl((std::string("https://") + host + "/a.jpg").c_str(), "", "", true);
    task->queues[kPic].AddUrl((std::string("https://") + host + "/b.jpg").c_str(), "", "", true);
  }
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(task->pictureCount.load(), 0);
  EXPECT_EQ(task->queues[kPic].Count(), 0u);
  EXPECT_EQ(tlsServer().Connections(), 6u);
  EXPECT_EQ(tls10Server().Connections(), 2u);
  EXPECT_TRUE(tlsServer().Requests().empty());
  EXPECT_TRUE(tls10Server().Requests().empty());
  EXPECT_TRUE(server().Requests().empty());
  std::vector<std::string> refused = task->engine->refusedHosts;
  std::sort(refused.begin(), refused.end());
  EXPECT_EQ(refused, (std::vector<std::string>{"expired.test", "self.test", "wrong.test"}));
  EXPECT_TRUE(SavedFiles().empty());
}

}  // namespace
}  // namespace harvio::testing
