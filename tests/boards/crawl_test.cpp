// A keyword task of each engine and a task of one board of each forum site
// and of both keyword forums (tests/data/boards/crawls.txt), made and run by
// harvio-cli (new, then run) as a user would, against the fixture server
// answering under the sites' own hosts (HARVIO_CONNECT_TO sends every
// connection to it). The start URL gets the sample result or list page;
// every page it names gets the sample detail or thread page with picture
// names made unique per page; next pages get a last page. The task must
// fetch exactly these pages (西陆's next list page by POST; its body:
// tests/core/http_request_test.cpp), save every picture once, and end Done.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "sources/catalog.h"
#include "tests/sources/page_cases.h"
#include "tools/fixture_server/fixture_server.h"

namespace harvio::test {
namespace {

namespace fs = std::filesystem;

// The fields of a row of crawls.txt ("" where it says "-").
enum Field { kName, kSource, kKeyword, kFirst, kDetail, kScript, kLastList };
using Crawl = std::vector<std::string>;

fixture::Reply Answer(const std::string& type, const std::string& body) {
  fixture::Reply reply;
  reply.headers = {"Content-Type: " + type};
  reply.body = body;
  // Pages are read to the close: a declared length under 1024 bytes is
  // refused, and the sample pages are shorter than real ones.
  reply.autoLength = type != "text/html";
  return reply;
}

// A sample page of `crawl` as a server sends it (the board samples are kept
// as UTF-8), with its pictures and scripts renamed for page n (0: as kept).
std::string SamplePage(const Crawl& crawl, const std::string& name, int n = 0) {
  bool board = std::stoul(crawl[kSource]) > 20;
  std::string page = ReadTestData((board ? "boards/" : "search/") + name + ".html");
  if (board) page = Gbk(page);
  std::string mark = "_" + std::to_string(n);
  for (const std::string ext : {".jpg", ".js"}) {
    for (size_t at = page.find(ext); n != 0 && at != std::string::npos;
         at = page.find(ext, at + mark.size() + ext.size())) {
      page.insert(at, mark);
    }
  }
  return page;
}

// Serves the pages of one crawl, walking them the way the task will: each
// page is parsed as the task would parse it, into queues that mirror the
// task's, so that what the parser admits is what gets served.
class CrawlPlan {
 public:
  CrawlPlan(const Crawl& crawl, fixture::Server& server)
      : crawl_(crawl), server_(server), mirror_(std::stoul(crawl[kSource])) {}

  void Serve(ItemKind kind, const std::string& url, const std::string& title,
             const std::string& page) {
    bool post = kind == kWeb2 && url.find('*') != std::string::npos;
    Add(post ? "POST " : "GET ", url.substr(0, url.find('*')), Answer("text/html", page));
    for (const Admission& a :
         mirror_.Run(kind, url.c_str(), page, title.c_str())) {
      if (a.queue == kPic) pictures.insert(a.url);
      if (a.result != AddResult::kAdmitted) continue;
      if (a.queue == kPic) {
        // Large enough for a task that wants large JPEGs only.
        bool gif = a.url.compare(a.url.size() - 4, 4, ".gif") == 0;
        Add("GET ", a.url, Answer(gif ? "image/gif" : "image/jpeg",
                                  (gif ? "GIF89a" : "\xff\xd8\xff\xe0") + std::string(20000, 'j')));
      } else if (a.queue == kWeb2) {
        Serve(kWeb2, a.url, "",
              !crawl_[kLastList].empty() ? SamplePage(crawl_, crawl_[kLastList])
                                         : "<html>last page</html>");
      } else {
        const std::string& next = kind == kWeb2 ? crawl_[kDetail] : crawl_[kScript];
        Serve(kWeb1, a.url, a.title, SamplePage(crawl_, next, ++pages_));
      }
    }
  }

  std::vector<std::string> requests;  // "METHOD host path"
  std::set<std::string> pictures;     // every picture URL the pages name

 private:
  void Add(const std::string& method, const std::string& url, const fixture::Reply& reply) {
    std::string host = url.substr(7, url.find('/', 7) - 7);
    std::string path = url.substr(url.find('/', 7));
    server_.Add(host, path, reply);
    requests.push_back(method + host + " " + path);
  }

  const Crawl& crawl_;
  fixture::Server& server_;
  PageRun mirror_;
  int pages_ = 0;
};

TEST(Crawl, EachSiteFetchesEveryPageOnceAndSavesEveryPicture) {
  fixture::Server server;
  ASSERT_TRUE(server.Start());
  setenv("HARVIO_CONNECT_TO", (":80:127.0.0.1:" + std::to_string(server.Port())).c_str(), 1);
  char root[] = "/tmp/harvio-crawl-XXXXXX";
  ASSERT_NE(mkdtemp(root), nullptr);
  for (Row row : ReadRows("boards/crawls.txt")) {
    Crawl& crawl = row.fields;
    for (std::string& field : crawl) field = field == "-" ? "" : field;
    SCOPED_TRACE(crawl[kName]);
    server.ClearRoutes();
    server.ClearRequests();
    TaskInfo info{};
    info.sourceId = std::stoul(crawl[kSource]);
    std::snprintf(info.keyword, sizeof info.keyword, "%s", crawl[kKeyword].c_str());
    StartUrl start;
    ASSERT_TRUE(BuildStartUrl(info, &start));
    CrawlPlan plan(crawl, server);
    plan.Serve(kWeb2, start.url, "", SamplePage(crawl, crawl[kFirst]));
    ASSERT_GT(plan.pictures.size(), 0u);

    // Made and run by harvio-cli, two minutes at most each.
    std::string home = std::string(root) + "/" + crawl[kName], out = home + "/cli.out";
    fs::create_directories(home);
    std::string cli = "timeout 120 " + std::string(HARVIO_CLI) + " --home " + home;
    std::string make = cli + " new --source " + crawl[kSource] + " --save " + home +
                       "/pics --classify" +
                       (crawl[kKeyword].empty() ? "" : " --keyword " + crawl[kKeyword]);
    int status = std::system((make + " >" + out + " 2>&1 && " + cli + " run >>" + out + " 2>&1").c_str());
    std::string ran = ReadWholeFile(out);
    EXPECT_EQ(status, 0) << ran;
    EXPECT_NE(ran.find("task 1 done"), std::string::npos) << ran;

    std::vector<std::string> received;
    for (const fixture::Request& r : server.Requests()) {
      received.push_back(r.method + " " + r.host + " " + r.path);
    }
    std::sort(received.begin(), received.end());
    std::sort(plan.requests.begin(), plan.requests.end());
    EXPECT_EQ(received, plan.requests);

    // Each picture once and complete (the folders of titles: the page cases
    // and the engine's tests).
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(home + "/pics")) {
      files += entry.is_regular_file();
      EXPECT_NE(entry.path().extension(), ".!") << entry.path();
    }
    EXPECT_EQ(files, plan.pictures.size());
  }
  server.Stop();
  fs::remove_all(root);
}

}  // namespace
}  // namespace harvio::test
