// How answers are judged and written: statuses, redirects, types, lengths,
// size classes, header limits, broken and silent connections, resumes, pages
// at the write buffer's edge, and the folders pictures land in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tests/net/engine_fixture.h"

namespace harvio::testing {
namespace {

using fixture::RangeMode;
using fixture::Reply;

Reply Status(const std::string& status, const std::string& header = "") {
  Reply reply = Body("<html></html>", "text/html");
  reply.status = "HTTP/1.0 " + status;
  if (!header.empty()) reply.headers.push_back(header);
  return reply;
}

// A JPEG answer written byte for byte, with `length` as its length line.
Reply Raw(const std::string& length, const std::string& body) {
  Reply reply;
  reply.raw = "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n" + length +
              "\r\n\r\n" + body;
  return reply;
}

using ResponseTest = EngineTest;

// One picture task meets every kind of answer: how often each path is asked
// for and which bodies end up saved, whole.
TEST_F(ResponseTest, EachAnswerIsSavedRetriedOrDropped) {
  options_.PICRetryTimes = 1;
  Reply cut = Body(Bytes(40000, 'c'));
  cut.closeAfterBody = 15000;
  Reply silent;  // abandoned after DataTimeout, then answered
  silent.silent = true;
  Reply nothing;
  nothing.closeWithoutAnswer = true;
  Reply chunked = Body(Bytes(5000));
  chunked.headers.push_back("Transfer-Encoding: chunked");
  Reply hugeHeader = Body(Bytes(5000));
  hugeHeader.headers.push_back("X-Filler: " + std::string(9000, 'f'));
  const struct Case {
    std::string path;
    Reply reply;
    size_t requests;
    std::string saved;        // "" when nothing is kept
    bool thenResume = false;  // a second answer serves `saved`, honouring a Range
  } cases[] = {
      {"/301.jpg", Status("301 Moved Permanently"), 1, ""},
      {"/404.jpg", Status("404 Not Found"), 1, ""},
      {"/500.jpg", Status("500 Internal Server Error"), 1, ""},
      {"/moved.jpg", Status("302 Found", "Location: /target.jpg"), 1, ""},
      {"/moved.png", Status("302 Found", "Location: http://pics.test/target.png"), 1, ""},
      {"/png.jpg", Body(Bytes(5000), "image/png"), 1, ""},
      {"/page.jpg", Body(Bytes(5000), "text/html"), 1, ""},
      {"/quoted.jpg", Body(Bytes(5000, 'q'), "application/x \"a.jpg\""), 1, Bytes(5000, 'q')},
      {"/huge-header.jpg", hugeHeader, 1, ""},
      {"/lower.jpg", Raw("content-length: 70000", Bytes(70000, 'l')), 1, Bytes(70000, 'l')},
      // The announced bytes are the picture; the excess is left out.
      {"/long.jpg", Raw("Content-Length: 2000", Bytes(2500, 'L')), 1, Bytes(2500, 'L').substr(0, 2000)},
      {"/chunked.jpg", chunked, 1, ""},
      {"/nothing.jpg", nothing, 1, ""},
      {"/l0.gif", Body("", "image/gif"), 1, ""},
      {"/l1023.gif", Body(Bytes(1023), "image/gif"), 1, ""},
      {"/l1024.gif", Body(Bytes(1024, 'g'), "image/gif"), 1, Bytes(1024, 'g')},
      {"/l1048576.gif", Body(Bytes(1048576, 'G'), "image/gif"), 1, Bytes(1048576, 'G')},
      {"/l1048577.gif", Body(Bytes(1048577), "image/gif"), 1, ""},
      {"/cut.jpg", cut, 2, Bytes(40000, 'c'), true},
      {"/silent.jpg", silent, 2, Bytes(6000, 's'), true}};
  Task* task = NewTask();
  for (const Case& c : cases) {
    if (c.thenResume) {
      ServeThenResume(c.path, c.reply, c.saved);
    } else {
      Serve(c.path, c.reply);
    }
    task->queues[kPic].AddUrl(Url(c.path).c_str(), "", "", true);
  }
  Serve("/target.jpg", Body(Bytes(5000, 't')));
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(task->info.state, kDone);

  std::vector<std::string> wanted{Bytes(5000, 't')};
  for (const Case& c : cases) {
    EXPECT_EQ(RequestsFor(c.path).size(), c.requests) << c.path;
    if (!c.saved.empty()) wanted.push_back(c.saved);
  }
  std::sort(wanted.begin(), wanted.end());
  EXPECT_TRUE(SavedContents() == wanted);
  EXPECT_EQ(task->pictureCount.load(), static_cast<int>(wanted.size()));
  EXPECT_EQ(task->queues[kPic].Count(), wanted.size());  // the rest dropped
  // The wanted redirect target remembers where it came from.
  ASSERT_EQ(RequestsFor("/target.jpg").size(), 1u);
  EXPECT_NE(RequestsFor("/target.jpg")[0].find("Referer: http://pics.test/moved.jpg\r\n"),
            std::string::npos);
  EXPECT_TRUE(RequestsFor("/target.png").empty());
  // An early close is resumed where the body broke off.
  ASSERT_EQ(RequestsFor("/cut.jpg").size(), 2u);
  EXPECT_NE(RequestsFor("/cut.jpg")[1].find("Range: bytes=15000-\r\n"), std::string::npos);
}

// Entries that already hold part of their picture: a 206 continues the
// partial file, a 200 restarts it, a 416 queues the URL afresh.
TEST_F(ResponseTest, ResumedEntriesContinueRestartOrStartAfresh) {
  std::string body = Bytes(20000), replaced = Bytes(30000, 'x');
  Reply resumable = Body(body);
  resumable.range = RangeMode::kHonour;
  Reply refusing = Body(body);
  refusing.range = RangeMode::kRefuse;
  Serve("/resumed.jpg", resumable);
  Serve("/restart.jpg", Body(replaced));
  Serve("/refused.jpg", refusing);
  // A 206 that does not continue the file restarts the entry from zero:
  // other bytes than asked for, no Content-Range at all, or a length that
  // is not the rest.
  const struct { const char* path; std::string body, range; } restarts[] = {
      {"/shifted.jpg", body.substr(1000), "bytes 1000-19999/20000"},
      {"/norange.jpg", body, ""},
      {"/badlength.jpg", body, "bytes 4000-19999/20000"}};
  for (const auto& r : restarts) {
    Reply wrong = Body(r.body);
    wrong.status = "HTTP/1.0 206 Partial Content";
    if (!r.range.empty()) wrong.headers.push_back("Content-Range: " + r.range);
    wrong.times = 1;
    Serve(r.path, wrong);
    Serve(r.path, Body(body));
  }
  Task* task = NewTask();
  const struct { const char* path; std::string partial; uint32_t done; } entries[] = {
      {"/resumed.jpg", body, 5000},
      {"/restart.jpg", Bytes(30000, 'q'), 12000},
      {"/refused.jpg", body, 3000},
      {"/shifted.jpg", body, 4000},
      {"/norange.jpg", body, 4000},
      {"/badlength.jpg", body, 4000}};
  for (int i = 0; i < 6; ++i) {
    const auto& e = entries[i];
    UrlItem item = StoredEntry(e.path);
    std::snprintf(item.fileName, sizeof(item.fileName),
                  "{%08d-2222-3333-4444-555555555555}.jpg", i);
    item.size = static_cast<uint32_t>(e.partial.size());
    item.done = e.done;
    task->queues[kPic].AppendCopy(item);
    WriteSaved(std::string(item.fileName) + ".!", e.partial.substr(0, e.done));
  }
  EXPECT_EQ(RunUntilStopped(task), -1);
  std::string resumed = FreshRequest(kPicHost, "/resumed.jpg");
  resumed.insert(resumed.find("User-Agent"), "Range: bytes=5000-\r\n");
  EXPECT_EQ(RequestsFor("/resumed.jpg"), std::vector<std::string>{resumed});
  std::vector<std::string> refused = RequestsFor("/refused.jpg");
  ASSERT_EQ(refused.size(), 2u);
  EXPECT_NE(refused[0].find("Range: bytes=3000-"), std::string::npos);
  EXPECT_EQ(refused[1], FreshRequest(kPicHost, "/refused.jpg"));
  EXPECT_EQ(ReadSaved("{00000000-2222-3333-4444-555555555555}.jpg"), body);
  EXPECT_EQ(ReadSaved("{00000001-2222-3333-4444-555555555555}.jpg"), replaced);
  for (const auto& r : restarts) {
    std::vector<std::string> asks = RequestsFor(r.path);
    ASSERT_EQ(asks.size(), 2u) << r.path;
    EXPECT_NE(asks[0].find("Range: bytes=4000-"), std::string::npos);
    EXPECT_EQ(asks[1], FreshRequest(kPicHost, r.path));
  }
  for (int i = 3; i < 6; ++i) {
    char name[64];
    std::snprintf(name, sizeof(name), "{%08d-2222-3333-4444-555555555555}.jpg", i);
    EXPECT_EQ(ReadSaved(name), body) << name;
  }
  // Six whole pictures and no partial file: the refused one went with
  // its entry.
  std::vector<std::string> all{body, body, body, body, body, replaced};
  std::sort(all.begin(), all.end());
  EXPECT_TRUE(SavedContents() == all);
}

// Answers that would keep a picture going forever: a redirect loop, an
// endless redirect chain, a body cut short whose rest is refused (416).
TEST_F(ResponseTest, RedirectLoopsChainsAndRefusedRestsEnd) {
  Serve("/x.jpg", Status("302 Found", "Location: /y.jpg"));
  Serve("/y.jpg", Status("302 Found", "Location: /x.jpg"));
  for (int hop = 1; hop <= 7; ++hop) {
    Serve("/c" + std::to_string(hop) + ".jpg",
          Status("302 Found", "Location: /c" + std::to_string(hop + 1) + ".jpg"));
  }
  Reply cutThenRefused = Body(Bytes(8000));
  cutThenRefused.closeAfterBody = 3000;
  cutThenRefused.range = RangeMode::kRefuse;
  Serve("/cut416.jpg", cutThenRefused);
  options_.PICRetryTimes = 1;
  Task* task = NewTask();
  for (const char* path : {"/x.jpg", "/c1.jpg", "/cut416.jpg"}) {
    task->queues[kPic].AddUrl(Url(path).c_str(), "", "", true);
  }
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(RequestsFor("/x.jpg").size(), 1u);
  EXPECT_EQ(RequestsFor("/y.jpg").size(), 1u);
  // The first URL and five hops.
  for (int hop = 1; hop <= 7; ++hop) {
    EXPECT_EQ(RequestsFor("/c" + std::to_string(hop) + ".jpg").size(), hop <= 6 ? 1u : 0u)
        << hop;
  }
  // Fresh, resumed (416), fresh once more, resumed (416): then dropped.
  EXPECT_EQ(RequestsFor("/cut416.jpg").size(), 4u);
  EXPECT_TRUE(SavedFiles().empty());
}

// 16384 bytes is the smallest large JPEG.
TEST_F(ResponseTest, JpegSizeClassesChooseWhatIsKept) {
  Serve("/j16383.jpg", Body(Bytes(16383)));
  Serve("/j16384.jpg", Body(Bytes(16384)));
  for (bool large : {false, true}) {
    Task* task = NewTask();
    (large ? task->info.jpgSmall : task->info.jpgLarge) = 0;
    task->queues[kPic].AddUrl(Url("/j16383.jpg").c_str(), "", "", true);
    task->queues[kPic].AddUrl(Url("/j16384.jpg").c_str(), "", "", true);
    EXPECT_EQ(RunUntilStopped(task), -1);
    EXPECT_EQ(task->pictureCount.load(), 1);
  }
  EXPECT_EQ(SavedContents(),
            (std::vector<std::string>{Bytes(16383), Bytes(16384)}));
}

// Each page ends with a picture tag, so a parse that missed the end of the
// page would queue nothing.
TEST_F(ResponseTest, PagesAtTheWriteBufferEdgeAreParsed) {
  Task* task = NewTask(162);
  for (size_t length : {307200u, 307201u}) {
    std::string n = std::to_string(length);
    std::string tag = "<img src=\"/from" + n + ".jpg\">";
    Serve("/page" + n + ".html",
          Body(std::string(length - tag.size(), ' ') + tag, "text/html"));
    Serve("/from" + n + ".jpg", Body(Bytes(4000)));
    task->queues[kWeb1].AddUrl(Url("/page" + n + ".html", kPageHost).c_str(), "", "", true);
  }
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(RequestsFor("/from307200.jpg").size(), 1u);
  EXPECT_EQ(RequestsFor("/from307201.jpg").size(), 1u);
  EXPECT_EQ(task->pictureCount.load(), 2);
  EXPECT_EQ(SavedFiles().size(), 2u);  // no page file left
}

// Pictures of a classified forum task land in their title's folder; titles
// and file names from a damaged task file never lead outside the save folder.
TEST_F(ResponseTest, TitleFoldersAndNamesStayInsideTheSaveFolder) {
  WriteSaved("victim.!", "keep me");
  for (const char* p : {"/t1.jpg", "/t2.jpg", "/named.jpg", "/lone.jpg", "/unmapped.jpg",
                        "/con.jpg", "/com1.jpg"}) {
    Serve(p, Body(Bytes(3000)));
  }
  Task* task = NewTask(31);
  task->info.classifyByTitle = 1;
  task->queues[kPic].AddUrl(Url("/t1.jpg").c_str(), "a/b", "", true);
  // Device names Windows keeps get a "_" on every system.
  task->queues[kPic].AddUrl(Url("/con.jpg").c_str(), "CON", "", true);
  task->queues[kPic].AddUrl(Url("/com1.jpg").c_str(), "com1 ", "", true);
  // A lead byte without its trail, and a character code page 936 lacks.
  task->queues[kPic].AddUrl(Url("/lone.jpg").c_str(), "lone\x81", "", true);
  task->queues[kPic].AddUrl(Url("/unmapped.jpg").c_str(), "un\xD7\xFAmapped", "", true);
  UrlItem sneaky = StoredEntry("/t2.jpg");
  std::strcpy(sneaky.title, "..\\..\\escape");
  task->queues[kPic].AppendCopy(sneaky);
  UrlItem named = StoredEntry("/named.jpg");
  std::strcpy(named.fileName, "..\\pics\\victim");
  task->queues[kPic].AppendCopy(named);
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(SavedFiles("a b").size(), 1u);
  EXPECT_EQ(SavedFiles("lone").size(), 1u);
  EXPECT_EQ(SavedFiles("CON_").size(), 1u);
  EXPECT_EQ(SavedFiles("com1_").size(), 1u);
  EXPECT_EQ(SavedFiles("un  mapped").size(), 1u);
  // victim.!, the sneaky one, and the named one under a name of its own.
  EXPECT_EQ(SavedFiles().size(), 3u);
  EXPECT_EQ(ReadSaved("victim.!"), "keep me");
  EXPECT_EQ(task->pictureCount.load(), 7);
}

}  // namespace
}  // namespace harvio::testing
