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
#include <tuple>
#include <vector>

#include "sources/catalog.h"
#include "tests/sources/page_cases.h"
#include "tools/fixture_server/fixture_server.h"

namespace harvio::test {
namespace {

namespace fs = std::filesystem;

// A row of tests/data/boards/crawls.txt; "" where it says "-".
struct Crawl {
  std::string name;
  uint32_t source;
  std::string keyword, first, detail, script, lastList;
};

std::vector<Crawl> ReadCrawls() {
  std::vector<Crawl> crawls;
  for (Row row : ReadRows("boards/crawls.txt")) {
    for (std::string& field : row.fields) field = field == "-" ? "" : field;
    const std::vector<std::string>& f = row.fields;
    crawls.push_back({f[0], static_cast<uint32_t>(std::stoul(f[1])), f[2], f[3], f[4], f[5], f[6]});
  }
  return crawls;
}

using Request = std::tuple<std::string, std::string, std::string>;

fixture::Reply Html(const std::string& body) {
  fixture::Reply reply;
  reply.headers = {"Content-Type: text/html"};
  reply.body = body;
  // Read to the close: a declared length under 1024 bytes is refused, and
  // the sample pages are shorter than real ones.
  reply.autoLength = false;
  return reply;
}

// Large enough for a task that wants large JPEGs only.
fixture::Reply Picture(const std::string& url) {
  bool gif = url.size() > 4 && url.compare(url.size() - 4, 4, ".gif") == 0;
  fixture::Reply reply;
  reply.headers = {gif ? "Content-Type: image/gif"
                       : "Content-Type: image/jpeg"};
  reply.body = (gif ? "GIF89a" : "\xff\xd8\xff\xe0") + std::string(20000, 'j');
  return reply;
}

// A sample page of `crawl` as a server sends it (the board samples are kept
// as UTF-8).
std::string SamplePageBytes(const Crawl& crawl, const std::string& name) {
  bool board = crawl.source > 20;
  std::string page = ReadTestData((board ? "boards/" : "search/") + name + ".html");
  return board ? Gbk(page) : page;
}

// The sample page `name` with its pictures and scripts renamed for page n.
std::string NumberedPage(const Crawl& crawl, const std::string& name, int n) {
  std::string page = SamplePageBytes(crawl, name);
  std::string mark = "_" + std::to_string(n);
  for (const std::string ext : {".jpg", ".js"}) {
    for (size_t at = page.find(ext); at != std::string::npos;
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
      : crawl_(crawl), server_(server), mirror_(crawl.source) {}

  void Serve(ItemKind kind, const std::string& url, const std::string& title,
             const std::string& page) {
    bool post = kind == kWeb2 && url.find('*') != std::string::npos;
    Add(post ? "POST" : "GET", url.substr(0, url.find('*')), Html(page));
    for (const Admission& a :
         mirror_.Run(kind, url.c_str(), page, title.c_str())) {
      if (a.queue == kPic) pictures.insert(a.url);
      if (a.result != AddResult::kAdmitted) continue;
      if (a.queue == kPic) {
        Add("GET", a.url, Picture(a.url));
      } else if (a.queue == kWeb2) {
        Serve(kWeb2, a.url, "",
              !crawl_.lastList.empty() ? SamplePageBytes(crawl_, crawl_.lastList)
                                       : "<html>last page</html>");
      } else {
        const std::string& next = kind == kWeb2 ? crawl_.detail : crawl_.script;
        Serve(kWeb1, a.url, a.title, NumberedPage(crawl_, next, ++pages_));
      }
    }
  }

  std::vector<Request> requests;
  std::set<std::string> pictures;  // every picture URL the pages name

 private:
  void Add(const char* method, const std::string& url,
           const fixture::Reply& reply) {
    std::string host = url.substr(7, url.find('/', 7) - 7);
    std::string path = url.substr(url.find('/', 7));
    server_.Add(host, path, reply);
    requests.emplace_back(method, host, path);
  }

  const Crawl& crawl_;
  fixture::Server& server_;
  PageRun mirror_;
  int pages_ = 0;
};

// Runs harvio-cli with `args` on `home` (two minutes at most); its output.
std::string RunCli(const std::string& home, const std::string& args, int* status) {
  std::string out = home + "/cli.out";
  *status = std::system(("timeout 120 " + std::string(HARVIO_CLI) + " --home " + home + " " +
                         args + " >" + out + " 2>&1").c_str());
  return ReadWholeFile(out);
}

// Serves the crawl, makes and runs its task, and checks what it asked for
// and saved.
void RunCrawl(const Crawl& crawl, fixture::Server& server, const std::string& home) {
  TaskInfo info{};
  info.sourceId = crawl.source;
  std::snprintf(info.keyword, sizeof info.keyword, "%s", crawl.keyword.c_str());
  StartUrl start;
  ASSERT_TRUE(BuildStartUrl(info, &start));
  CrawlPlan plan(crawl, server);
  plan.Serve(kWeb2, start.url, "", SamplePageBytes(crawl, crawl.first));
  ASSERT_GT(plan.pictures.size(), 0u);

  std::string args = "new --source " + std::to_string(crawl.source) + " --save " + home +
                     "/pics --classify";
  if (!crawl.keyword.empty()) args += " --keyword " + crawl.keyword;
  int status = 0;
  std::string created = RunCli(home, args, &status);
  ASSERT_EQ(status, 0) << created;
  std::string ran = RunCli(home, "run", &status);
  EXPECT_EQ(status, 0) << ran;
  EXPECT_NE(ran.find("task 1 done"), std::string::npos) << ran;

  std::vector<Request> received;
  for (const fixture::Request& r : server.Requests()) received.emplace_back(r.method, r.host, r.path);
  std::sort(received.begin(), received.end());
  std::sort(plan.requests.begin(), plan.requests.end());
  EXPECT_EQ(received, plan.requests);

  // Each picture once and complete (the folders of titles: the page cases
  // and the engine's tests).
  size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(home + "/pics")) {
    if (!entry.is_regular_file()) continue;
    ++files;
    EXPECT_NE(entry.path().extension(), ".!") << entry.path();
  }
  EXPECT_EQ(files, plan.pictures.size());
}

TEST(Crawl, EachSiteFetchesEveryPageOnceAndSavesEveryPicture) {
  for (const Crawl& crawl : ReadCrawls()) {
    SCOPED_TRACE(crawl.name);
    fixture::Server server;
    ASSERT_TRUE(server.Start());
    setenv("HARVIO_CONNECT_TO", (":80:127.0.0.1:" + std::to_string(server.Port())).c_str(), 1);
    char pattern[] = "/tmp/harvio-crawl-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    RunCrawl(crawl, server, pattern);
    server.Stop();
    fs::remove_all(pattern);
  }
}

}  // namespace
}  // namespace harvio::test
