// A task of one board of each forum site and of both keyword forums, made and
// run by harvio-cli (new --classify, then run) against the fixture server,
// which answers under the boards' own hosts (HARVIO_CONNECT_TO sends every
// connection to it). The start URL gets the board's sample list page; every
// thread it names gets the board's sample thread page with picture names
// made unique per thread; next list pages get a last page. The task must
// fetch exactly these pages (西陆's next list page by POST with its form
// value), save every picture once in the folder of its thread, and end Done.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "sources/catalog.h"
#include "tests/boards/board_files.h"
#include "tools/fixture_server/fixture_server.h"

namespace harvio::test {
namespace {

namespace fs = std::filesystem;

struct BoardCrawl {
  const char* name;
  uint32_t source;
  const char* keyword;  // keyword forums only
  const char* list;     // sample files, without ".html"
  const char* thread;
  const char* script;    // pages that thread pages link to (搜狐社区)
  const char* lastList;  // the page after the list; nullptr: an empty page
};

const BoardCrawl kCrawls[] = {
    {"baidu_tieba", 21, "meinv", "baidu_tieba_list", "baidu_tieba_thread",
     nullptr, nullptr},
    {"sogou_shuoba", 22, "meinv", "sogou_shuoba_list", "sogou_shuoba_thread",
     nullptr, nullptr},
    {"voc", 31, nullptr, "voc_list", "voc_thread", nullptr, nullptr},
    {"xilu", 45, nullptr, "xilu_list", "xilu_thread", nullptr,
     "xilu_list_last"},
    {"tom", 64, nullptr, "tom_list", "tom_thread", nullptr, nullptr},
    {"qq", 71, nullptr, "qq_list", "qq_thread", nullptr, nullptr},
    {"sohu", 81, nullptr, "sohu_list", "sohu_thread", "sohu_script", nullptr},
    {"ximanni", 91, nullptr, "ximanni_list", "ximanni_thread", nullptr,
     nullptr},
    {"meitu", 101, nullptr, "meitu_list", "meitu_thread", nullptr, nullptr},
    {"tianya", 111, nullptr, "tianya_list_new", "tianya_thread", nullptr,
     nullptr},
    {"mop", 142, nullptr, "mop_list", "mop_thread", nullptr, nullptr},
};

using Request = std::tuple<std::string, std::string, std::string>;

const char kPostBody[] =
    "selectleague=%A3%AD%D3%D1%C7%E9%C1%B4%BD%D3%A3%AD&pagetype=down&"
    "notenum=";

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
fixture::Reply Jpeg() {
  fixture::Reply reply;
  reply.headers = {"Content-Type: image/jpeg"};
  reply.body = "\xff\xd8\xff\xe0" + std::string(20000, 'j');
  return reply;
}

void ReplaceEvery(std::string& text, const std::string& from,
                  const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// The sample page `name` with its pictures and scripts renamed for page n.
std::string NumberedPage(const char* name, int n) {
  std::string page = ReadBoardFile(std::string(name) + ".html");
  ReplaceEvery(page, ".jpg", "_" + std::to_string(n) + ".jpg");
  ReplaceEvery(page, ".js", "_" + std::to_string(n) + ".js");
  return Gbk(page);
}

// Serves the pages of one board's crawl, walking them the way the task
// will: each page is parsed as the task would parse it, into queues that
// mirror the task's, so that what the parser admits is what gets served.
class CrawlPlan {
 public:
  CrawlPlan(const BoardCrawl& board, fixture::Server& server)
      : board_(board), server_(server), mirror_(board.source) {}

  void Serve(ItemKind kind, const std::string& url, const std::string& title,
             const std::string& page) {
    std::string host = url.substr(7, url.find('/', 7) - 7);
    std::string path = url.substr(url.find('/', 7));
    bool post = kind == kWeb2 && path.find('*') != std::string::npos;
    path = path.substr(0, path.find('*'));
    server_.Add(host, path, Html(page));
    requests.emplace_back(post ? "POST" : "GET", host, path);
    for (const Admission& a :
         mirror_.Parse(kind, Utf8(url), Utf8(page), Utf8(title))) {
      if (a.queue == kPic) pictureTitles[a.url].insert(a.title);
      if (a.result != AddResult::kAdmitted) continue;
      if (a.queue == kPic) {
        ServePicture(a.url);
      } else if (a.queue == kWeb2) {
        Serve(kWeb2, a.url, "", LastListPage());
      } else {
        const char* next = kind == kWeb2 ? board_.thread : board_.script;
        Serve(kWeb1, a.url, a.title, NumberedPage(next, ++pages_));
      }
    }
  }

  std::vector<Request> requests;
  // Every picture URL with the titles of the pages that name it.
  std::map<std::string, std::set<std::string>> pictureTitles;

 private:
  void ServePicture(const std::string& url) {
    std::string host = url.substr(7, url.find('/', 7) - 7);
    std::string path = url.substr(url.find('/', 7));
    server_.Add(host, path, Jpeg());
    requests.emplace_back("GET", host, path);
  }

  std::string LastListPage() const {
    return board_.lastList != nullptr
               ? Gbk(ReadBoardFile(std::string(board_.lastList) + ".html"))
               : "<html>last page</html>";
  }

  const BoardCrawl& board_;
  fixture::Server& server_;
  BoardRun mirror_;
  int pages_ = 0;
};

// Runs harvio-cli with `args` (two minutes at most); its output.
std::string RunCli(const std::string& home, const std::string& args,
                   int* status) {
  std::string out = home + "/cli.out";
  *status = std::system(("timeout 120 " + std::string(HARVIO_CLI) + " --home " +
                         home + " " + args + " >" + out + " 2>&1")
                            .c_str());
  std::FILE* f = std::fopen(out.c_str(), "rb");
  std::string text;
  if (f == nullptr) return text;
  char chunk[4096];
  for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, f)) > 0;) {
    text.append(chunk, got);
  }
  std::fclose(f);
  return text;
}

class BoardCrawlTest : public testing::TestWithParam<BoardCrawl> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    setenv("HARVIO_CONNECT_TO",
           (":80:127.0.0.1:" + std::to_string(server_.Port())).c_str(), 1);
    char pattern[] = "/tmp/harvio-boards-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home_ = pattern;
  }
  void TearDown() override {
    server_.Stop();
    if (!home_.empty()) fs::remove_all(home_);
  }

  fixture::Server server_;
  std::string home_;
};

TEST_P(BoardCrawlTest, CrawlsListsThreadsAndPicturesIntoThreadFolders) {
  const BoardCrawl& board = GetParam();
  TaskInfo info{};
  info.sourceId = board.source;
  if (board.keyword != nullptr) {
    std::snprintf(info.keyword, sizeof info.keyword, "%s", board.keyword);
  }
  StartUrl start;
  ASSERT_TRUE(BuildStartUrl(info, &start));
  CrawlPlan plan(board, server_);
  plan.Serve(kWeb2, start.url, "",
             Gbk(ReadBoardFile(std::string(board.list) + ".html")));
  ASSERT_GT(plan.pictureTitles.size(), 0u);

  std::string args = "new --source " + std::to_string(board.source) +
                     " --save " + home_ + "/pics --classify";
  if (board.keyword != nullptr)
    args += std::string(" --keyword ") + board.keyword;
  int status = 0;
  std::string created = RunCli(home_, args, &status);
  ASSERT_EQ(status, 0) << created;
  std::string ran = RunCli(home_, "run", &status);
  EXPECT_EQ(status, 0) << ran;
  EXPECT_NE(ran.find("task 1 done"), std::string::npos) << ran;

  std::vector<Request> received;
  for (const fixture::Request& r : server_.Requests()) {
    received.emplace_back(r.method, r.host, r.path);
    if (r.method == "POST") {
      std::string body = r.bytes.substr(r.bytes.find("\r\n\r\n") + 4);
      EXPECT_EQ(body, std::string(kPostBody) + "2");
    }
  }
  std::sort(received.begin(), received.end());
  std::sort(plan.requests.begin(), plan.requests.end());
  EXPECT_EQ(received, plan.requests);

  // Each picture once, in the folder of a thread that shows it.
  std::map<std::string, size_t> saved;  // folder name (UTF-8) -> files
  size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(home_ + "/pics")) {
    if (!entry.is_regular_file()) continue;
    ++files;
    EXPECT_EQ(entry.path().extension(), ".jpg") << entry.path();
    ++saved[entry.path().parent_path().filename().string()];
  }
  EXPECT_EQ(files, plan.pictureTitles.size());
  std::map<std::string, size_t> onlyThere;
  std::set<std::string> titles;
  for (const auto& [url, named] : plan.pictureTitles) {
    for (const std::string& title : named) titles.insert(Utf8(title));
    if (named.size() == 1) ++onlyThere[Utf8(*named.begin())];
  }
  for (const auto& [folder, count] : saved) {
    EXPECT_EQ(titles.count(folder), 1u) << folder;
    EXPECT_GE(count, onlyThere[folder]) << folder;
  }
}

void PrintTo(const BoardCrawl& board, std::ostream* os) { *os << board.name; }

INSTANTIATE_TEST_SUITE_P(Forums, BoardCrawlTest, testing::ValuesIn(kCrawls),
                         [](const testing::TestParamInfo<BoardCrawl>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace harvio::test
