// https items end to end: the handshake with the host's name, certificates
// that must be refused at once, ports in URLs, referers and redirects
// between http and https.
#include <gtest/gtest.h>

#include "net/worker.h"
#include "tests/net/engine_fixture.h"

namespace harvio::testing {
namespace {

using fixture::Reply;

class TlsTest : public EngineTest {
 protected:
  void ServeTls(const std::string& path, const Reply& reply) {
    tlsServer().Add("*", path, reply);
  }
  std::vector<fixture::Request> TlsRequests() { return tlsServer().Requests(); }
};

TEST_F(TlsTest, PicturesComeOverTlsWithTheHostNamed) {
  std::string body = Bytes(40000);
  ServeTls("/a.jpg", Body(body));
  Serve("/b.jpg", Body(Bytes(3000, 'b')));
  Task* task = NewTask();
  task->queues[kPic].AddUrl("https://good.test/a.jpg", "", "", true);
  task->queues[kPic].AddUrl("http://pics.test:8080/b.jpg", "", "", true);
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(task->pictureCount.load(), 2);
  EXPECT_EQ(SavedContents(), (std::vector<std::string>{body, Bytes(3000, 'b')}));
  std::vector<fixture::Request> secure = TlsRequests();
  ASSERT_EQ(secure.size(), 1u);
  EXPECT_EQ(secure[0].serverName, "good.test");
  EXPECT_EQ(secure[0].bytes, FreshRequest("good.test", "/a.jpg"));
  ASSERT_EQ(RequestsFor("/b.jpg").size(), 1u);
  EXPECT_EQ(RequestsFor("/b.jpg")[0], FreshRequest("pics.test:8080", "/b.jpg"));
  // The next connection to the host resumes the session of the last one.
  ServeTls("/c.jpg", Body(body));
  task->queues[kPic].AddUrl("https://good.test/c.jpg", "", "", true);
  EXPECT_EQ(RunUntilStopped(task), -1);
  ASSERT_EQ(TlsRequests().size(), 2u);
  EXPECT_TRUE(TlsRequests()[1].resumed);
}

// Each refusal costs one connection: no retry, no request, no fallback to
// plain http, and the host is noted once.
TEST_F(TlsTest, RefusedServersDropTheItemAtOnce) {
  struct Case {
    const char* host;
    bool certificate;  // refused for its certificate, not its protocol
  } cases[] = {
      {"wrong.test", true},
      {"expired.test", true},
      {"self.test", true},
      {"old.test", false},
  };
  for (const Case& c : cases) {
    fixture::Server& tls = c.certificate ? tlsServer() : tls10Server();
    tls.Add("*", "*", Body(Bytes(3000)));
    tls.ClearRequests();
    Task* task = NewTask();
    std::string url = std::string("https://") + c.host + "/a.jpg";
    task->queues[kPic].AddUrl(url.c_str(), "", "", true);
    EXPECT_EQ(RunUntilStopped(task), -1) << c.host;
    EXPECT_EQ(task->pictureCount.load(), 0) << c.host;
    EXPECT_EQ(task->queues[kPic].Count(), 0u) << c.host;
    EXPECT_EQ(tls.Connections(), 1u) << c.host;
    EXPECT_TRUE(tls.Requests().empty()) << c.host;
    EXPECT_TRUE(server().Requests().empty()) << c.host;
    std::vector<std::string> refused = task->engine->refusedHosts;
    EXPECT_EQ(refused, c.certificate ? std::vector<std::string>{c.host}
                                     : std::vector<std::string>{})
        << c.host;
  }
  EXPECT_TRUE(SavedFiles().empty());
}

// A page the user gave whose certificate fails pauses the task and waits
// for the next start; one found on a page is just dropped.
TEST_F(TlsTest, RefusedStartPagePausesTheTask) {
  Task* task = NewTask(162);
  task->queues[kWeb1].AddUrl("https://self.test/start.html", "", "", true);
  task->queues[kWeb1].AddUrl("https://wrong.test/found.html", "",
                             "https://good.test/", true);
  EXPECT_EQ(RunUntilStopped(task), 2);
  EXPECT_EQ(task->info.state, kPaused);
  std::vector<UrlItem> left = Entries(task, kWeb1);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_STREQ(left[0].path, "/start.html");
  EXPECT_EQ(left[0].state, kWaiting);
}

// Links of an https page resolve to https; an http picture it shows is
// asked for without naming the page, an https one with it. Redirects of
// pictures cross between the schemes both ways.
TEST_F(TlsTest, RefererAndRedirectsAcrossSchemes) {
  ServeTls("/page.html",
           Body("<img alt=a src=/a.jpg><img alt=b src=http://pics.test/b.jpg>"
                "<img alt=c src=//good.test/c.jpg><img alt=d src=/down.jpg>" +
                    std::string(1024, ' '),
                "text/html"));
  ServeTls("/a.jpg", Body(Bytes(2000, 'a')));
  ServeTls("/c.jpg", Body(Bytes(2000, 'c')));
  Reply down;
  down.status = "HTTP/1.0 302 Found";
  down.headers = {"Location: http://pics.test/d.jpg"};
  ServeTls("/down.jpg", down);
  Serve("/b.jpg", Body(Bytes(2000, 'b')));
  Serve("/d.jpg", Body(Bytes(2000, 'd')));
  Reply up = down;
  up.headers = {"Location: https://good.test/e.jpg"};
  Serve("/up.jpg", up);
  ServeTls("/e.jpg", Body(Bytes(2000, 'e')));
  Task* task = NewTask(162);
  task->queues[kWeb1].AddUrl("https://good.test/page.html", "", "", true);
  task->queues[kPic].AddUrl("http://pics.test/up.jpg", "", "", true);
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(task->pictureCount.load(), 5);
  for (const char* path : {"/b.jpg", "/d.jpg"}) {
    ASSERT_EQ(RequestsFor(path).size(), 1u) << path;
    EXPECT_EQ(RequestsFor(path)[0].find("Referer:"), std::string::npos) << path;
  }
  for (const fixture::Request& r : TlsRequests()) {
    if (r.path == "/a.jpg" || r.path == "/c.jpg") {
      EXPECT_NE(r.bytes.find("Referer: https://good.test/page.html\r\n"),
                std::string::npos) << r.path;
    }
    if (r.path == "/e.jpg") {
      EXPECT_NE(r.bytes.find("Referer: http://pics.test/up.jpg\r\n"),
                std::string::npos);
    }
  }
}

}  // namespace
}  // namespace harvio::testing
