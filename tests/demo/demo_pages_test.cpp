// The demo site (demo/site.txt) against the parsers: every page, fetched
// from the site under the URL a task meets it at, and every page and
// picture it leads to, so the demo cannot drift from the parsers or from
// itself.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "tests/boards/board_files.h"
#include "tests/search/sample_pages.h"
#include "tools/fixture_server/fixture_server.h"

namespace harvio::test {
namespace {

namespace fs = std::filesystem;

const std::string kDemo = HARVIO_DEMO_DIR;

struct Answer {
  std::string status;
  std::string body;
};

// One request to the site as a worker sends it: the path, the Host header
// and any `more` header lines.
Answer Fetch(uint16_t port, const std::string& url,
             const std::string& more = "") {
  std::string target = url.substr(0, url.find('*'));
  size_t slash = target.find('/', 7);
  std::string request = "GET " + target.substr(slash) + " HTTP/1.0\r\nHost: " +
                        target.substr(7, slash - 7) + "\r\n" + more + "\r\n";
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string response;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
          static_cast<ssize_t>(request.size())) {
    char chunk[8192];
    pollfd entry{fd, POLLIN, 0};
    // Bounded: the site closes after each answer; 5 s of silence ends it.
    for (int reads = 0; reads < 10000 && poll(&entry, 1, 5000) > 0; ++reads) {
      ssize_t got = recv(fd, chunk, sizeof chunk, 0);
      if (got <= 0) break;
      response.append(chunk, static_cast<size_t>(got));
    }
  }
  close(fd);
  size_t headEnd = response.find("\r\n\r\n");
  if (headEnd == std::string::npos) return {"no answer", ""};
  return {response.substr(0, response.find("\r\n")),
          response.substr(headEnd + 4)};
}

class DemoSite : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(fixture::LoadScript(kDemo + "/site.txt", &server_, &error))
        << error;
    ASSERT_TRUE(server_.Start());
  }

  fixture::Server server_;
};

// Every page of demo/pages is a case (tests/demo/cases.txt), served byte
// for byte in GBK, admits exactly what it was written for, and leads only
// to pages and pictures of the site.
TEST_F(DemoSite, EveryPageIsServedAndAdmitsWhatItWasWrittenFor) {
  std::vector<SamplePage> cases = LoadSamplePages("demo");
  std::set<std::string> pageUrls, pageFiles, linked;
  for (const SamplePage& c : cases) {
    pageUrls.insert(c.url);
    pageFiles.insert(c.name);
  }
  for (const auto& entry : fs::directory_iterator(kDemo + "/pages")) {
    EXPECT_EQ(pageFiles.count(entry.path().filename().string()), 1u) << entry.path();
  }
  for (const SamplePage& c : cases) {
    std::string page = ReadWholeFile(kDemo + "/pages/" + c.name);
    std::string expected =
        ReadTestData("demo/expected/" + c.name.substr(0, c.name.rfind('.')) + ".expected");
    Answer answer = Fetch(server_.Port(), c.url);
    EXPECT_EQ(answer.status, "HTTP/1.0 200 OK") << c.name;
    EXPECT_EQ(answer.body, Gbk(page)) << c.name;
    EXPECT_EQ(BoardLines(c.sourceId, c.kind, c.url, page, c.title), expected) << c.name;
    std::istringstream lines(expected);
    for (std::string line; std::getline(lines, line);) {
      std::string queue = line.substr(0, line.find('\t'));
      std::string url = line.substr(queue.size() + 1);
      url = url.substr(0, url.find('\t'));
      if (queue != "PIC") {
        EXPECT_EQ(pageUrls.count(url), 1u) << url << " from " << c.name;
      } else if (linked.insert(url).second) {
        Answer picture = Fetch(server_.Port(), url);
        EXPECT_EQ(picture.status, "HTTP/1.0 200 OK") << url;
        EXPECT_EQ(picture.body, ReadWholeFile(kDemo + "/pictures/" + url.substr(url.rfind('/') + 1)))
            << url;
      }
    }
  }
}

// A broken-off picture resumes where it stopped; the same request always
// gets the same bytes.
TEST_F(DemoSite, PicturesAnswerRangeRequests) {
  const std::string url = "http://pic.ximanni.com/uploadFile/large03.jpg";
  std::string whole = ReadWholeFile(kDemo + "/pictures/large03.jpg");
  Answer rest = Fetch(server_.Port(), url, "Range: bytes=1000-\r\n");
  EXPECT_EQ(rest.status, "HTTP/1.0 206 Partial Content");
  EXPECT_EQ(rest.body, whole.substr(1000));
  EXPECT_EQ(Fetch(server_.Port(), url, "Range: bytes=1000-\r\n").body, rest.body);
  EXPECT_EQ(Fetch(server_.Port(), url, "Range: bytes=99999999-\r\n").status,
            "HTTP/1.0 416 Requested Range Not Satisfiable");
  EXPECT_EQ(Fetch(server_.Port(), "http://demo.harvio.test/pictures/../site.txt")
                .status,
            "HTTP/1.0 404 Not Found");
}

}  // namespace
}  // namespace harvio::test
