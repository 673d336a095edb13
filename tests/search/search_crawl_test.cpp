// A keyword task of each engine, made and run by harvio-cli as a user would
// (new, then run), against the fixture server answering under the engine's
// real host: HARVIO_CONNECT_TO sends every connection to it. The first
// result page is the engine's sample page, its next page is a last page
// without results; detail pages show one picture each. The task must fetch
// exactly these pages and pictures, each once, the result pages in order,
// save every picture and end Done.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/task_info.h"
#include "sources/catalog.h"
#include "tests/search/sample_pages.h"
#include "tools/fixture_server/fixture_server.h"

namespace harvio {
namespace {

using fixture::Reply;
using test::SamplePage;

// Where a URL goes: host and path.
struct Target {
  std::string host;
  std::string path;
  bool operator==(const Target& o) const {
    return host == o.host && path == o.path;
  }
  bool operator<(const Target& o) const {
    return host != o.host ? host < o.host : path < o.path;
  }
};

Target Split(const std::string& url) {
  size_t slash = url.find('/', 7);  // after "http://"
  return {url.substr(7, slash - 7), url.substr(slash)};
}

Reply HtmlPage(const std::string& body) {
  Reply reply;
  reply.headers = {"Content-Type: text/html"};
  reply.body = body;
  reply.autoLength = false;  // read to the close, like most engine pages
  return reply;
}

Reply Picture(const std::string& url) {
  Reply reply;
  bool gif = url.size() > 4 && url.compare(url.size() - 4, 4, ".gif") == 0;
  reply.headers = {gif ? "Content-Type: image/gif"
                       : "Content-Type: image/jpeg"};
  reply.body = std::string(gif ? "GIF89a" : "\xff\xd8\xff\xe0") +
               std::string(3000, 'p');
  return reply;
}

// The detail-page markers of the two engines whose results are detail
// pages: a page naming `picture` the way the engine does.
std::string DetailPage(uint32_t sourceId, const std::string& picture) {
  if (sourceId == 12) {
    return "<html><script>var u=\"showbig.php?id=1&bigpic=" + picture +
           "&refurl=http://www.example.com/\";</script></html>";
  }
  return "<html><img id=image_right name=\"rimage\" src=" + picture +
         " width=500></html>";
}

std::string MakeHome() {
  char pattern[] = "/tmp/harvio-search-XXXXXX";
  const char* made = mkdtemp(pattern);
  return made != nullptr ? made : "";
}

// Runs a shell command, at most two minutes, and returns its output.
std::string RunCli(const std::string& home, const std::string& args,
                   int* status) {
  std::string command = "timeout 120 " + std::string(HARVIO_CLI) +
                        " --home " + home + " " + args + " 2>&1";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    *status = -1;
    return output;
  }
  char chunk[4096];
  for (size_t got; (got = fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
    output.append(chunk, got);
  }
  *status = pclose(pipe);
  return output;
}

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
  }
  return names;
}

size_t IndexOf(const std::vector<Target>& requests, const Target& t) {
  return static_cast<size_t>(
      std::find(requests.begin(), requests.end(), t) - requests.begin());
}

class SearchCrawlTest : public ::testing::TestWithParam<SamplePage> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    setenv("HARVIO_CONNECT_TO",
           (":80:127.0.0.1:" + std::to_string(server_.Port())).c_str(), 1);
    home_ = MakeHome();
    ASSERT_FALSE(home_.empty());
  }
  void TearDown() override {
    server_.Stop();
    if (!home_.empty()) std::system(("rm -rf " + home_).c_str());
  }

  // Serves the engine's pages and pictures; returns the first page.
  Target ServeCrawl(const SamplePage& page) {
    TaskInfo info{};
    info.sourceId = page.sourceId;
    std::snprintf(info.keyword, sizeof info.keyword, "car");
    StartUrl start;
    EXPECT_TRUE(BuildStartUrl(info, &start));
    Target first = Split(start.url);
    server_.Add(first.host, first.path,
                HtmlPage(test::ReadSearchData(page.name + ".html")));
    int detail = 0;
    for (const test::ExpectedAdmission& a : test::LoadExpected(page)) {
      Target t = Split(a.url);
      if (a.queue == "WEB2") {
        next_ = t;
        server_.Add(t.host, t.path, HtmlPage("<html>last page</html>"));
      } else if (a.queue == "WEB1") {
        std::string picture = "http://img.example.com/detail/" +
                              std::to_string(++detail) + ".jpg";
        server_.Add(t.host, t.path,
                    HtmlPage(DetailPage(page.sourceId, picture)));
        details_.push_back({t, Split(picture)});
        AddPicture(picture);
      } else {
        AddPicture(a.url);
      }
    }
    return first;
  }

  void AddPicture(const std::string& url) {
    Target t = Split(url);
    server_.Add(t.host, t.path, Picture(url));
    pictures_.push_back(t);
  }

  std::vector<Target> Requests() {
    std::vector<Target> requests;
    for (const fixture::Request& r : server_.Requests()) {
      requests.push_back({r.host, r.path});
    }
    return requests;
  }

  fixture::Server server_;
  std::string home_;
  Target next_;
  std::vector<std::pair<Target, Target>> details_;  // page, its picture
  std::vector<Target> pictures_;
};

TEST_P(SearchCrawlTest, KeywordTaskCrawlsResultPagesAndEndsDone) {
  const SamplePage& page = GetParam();
  Target first = ServeCrawl(page);
  int status = 0;
  std::string created = RunCli(
      home_,
      "new --source " + std::to_string(page.sourceId) +
          " --keyword car --save " + home_ + "/pics",
      &status);
  ASSERT_EQ(status, 0) << created;
  std::string ran = RunCli(home_, "run", &status);
  EXPECT_EQ(status, 0) << ran;
  EXPECT_NE(ran.find("task 1 done"), std::string::npos) << ran;

  std::vector<Target> requests = Requests();
  std::vector<Target> expected = {first, next_};
  for (const auto& d : details_) expected.push_back(d.first);
  expected.insert(expected.end(), pictures_.begin(), pictures_.end());
  std::vector<Target> sortedRequests = requests;
  std::sort(sortedRequests.begin(), sortedRequests.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_TRUE(sortedRequests == expected)
      << requests.size() << " requests, " << expected.size() << " expected";

  EXPECT_LT(IndexOf(requests, first), IndexOf(requests, next_));
  for (const auto& d : details_) {
    EXPECT_LT(IndexOf(requests, d.first), IndexOf(requests, d.second));
  }

  std::vector<std::string> saved = FilesIn(home_ + "/pics");
  EXPECT_EQ(saved.size(), pictures_.size());
  for (const std::string& name : saved) {
    EXPECT_EQ(name.find(".!"), std::string::npos) << name;
  }
}

std::vector<SamplePage> ResultPages() {
  std::vector<SamplePage> pages;
  for (const SamplePage& p : test::LoadSamplePages()) {
    if (p.kind == kWeb2) pages.push_back(p);
  }
  return pages;
}

INSTANTIATE_TEST_SUITE_P(
    Engines, SearchCrawlTest, ::testing::ValuesIn(ResultPages()),
    [](const ::testing::TestParamInfo<SamplePage>& p) {
      return p.param.name;
    });

}  // namespace
}  // namespace harvio
