// How answers are judged and written, all in one run of four tasks that
// differ in the pictures they want: statuses, redirects of every kind,
// types and header names in any letter case, lengths, size classes, the
// picture limit of the options, broken, silent and dripping connections,
// resumes of entries a task file holds, pages at the write buffer's edge,
// and the folders pictures land in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/picture_formats.h"
#include "tests/net/engine_fixture.h"

namespace harvio::testing {
namespace {

using fixture::RangeMode;
using fixture::Reply;

// The tasks of the run, by the pictures they want.
enum Wants { kServedOnly = -1, kWantsJpegGif, kWantsEvery, kWantsLarge, kWantsSmall };

struct Case {
  int task;         // the task it is queued in; kServedOnly: reached by a link
  std::string path;
  Reply reply;
  size_t requests;  // how often the path is asked for
  std::string saved = "";   // "" when nothing is kept
  bool thenResume = false;  // a second answer serves `saved`, honouring a Range
};

std::vector<Case> Cases() {
  Reply cut = Body(Bytes(40000, 'c'));
  cut.closeAfterBody = 15000;
  Reply silent;  // abandoned after DataTimeout, then answered
  silent.silent = true;
  Reply drip = Body(Bytes(5000, 'r'));  // never 1024 bytes within DataTimeout
  drip.dripBytes = 1;
  drip.dripMs = 100;
  Reply nothing;
  nothing.closeWithoutAnswer = true;
  Reply chunked = Body(Bytes(5000));
  chunked.headers.push_back("Transfer-Encoding: chunked");
  Reply hugeHeader = Body(Bytes(5000));
  hugeHeader.headers.push_back("X-Filler: " + std::string(9000, 'f'));
  Reply cutThenRefused = Body(Bytes(8000));
  cutThenRefused.closeAfterBody = 3000;
  cutThenRefused.range = RangeMode::kRefuse;
  Reply unannounced = Body(Bytes(1049600, 'u'));
  unannounced.autoLength = false;
  Reply overUnannounced = Body(Bytes(1049601));
  overUnannounced.autoLength = false;
  std::vector<Case> cases = {
      {kWantsJpegGif, "/301.jpg", Status("301 Moved Permanently"), 1},
      {kWantsJpegGif, "/404.jpg", Status("404 Not Found"), 1},
      {kWantsJpegGif, "/500.jpg", Status("500 Internal Server Error"), 1},
      {kWantsJpegGif, "/moved.jpg", Status("302 Found", "Location: /target.jpg"), 1},
      {kServedOnly, "/target.jpg", Body(Bytes(5000, 't')), 1, Bytes(5000, 't')},
      {kWantsJpegGif, "/moved.png", Status("302 Found", "Location: http://pics.test/target.png"), 1},
      {kServedOnly, "/target.png", Body(Bytes(5000), "image/png"), 0},
      // A redirect loop and an endless chain end: the first URL and five hops.
      {kWantsJpegGif, "/x.jpg", Status("302 Found", "Location: /y.jpg"), 1},
      {kServedOnly, "/y.jpg", Status("302 Found", "Location: /x.jpg"), 1},
      {kWantsJpegGif, "/png.jpg", Body(Bytes(5000), "image/png"), 1},
      {kWantsJpegGif, "/page.jpg", Body(Bytes(5000), "text/html"), 1},
      {kWantsJpegGif, "/quoted.jpg", Body(Bytes(5000, 'q'), "application/x \"a.jpg\""), 1,
       Bytes(5000, 'q')},
      {kWantsJpegGif, "/huge-header.jpg", hugeHeader, 1},
      {kWantsJpegGif, "/lower.jpg", Raw("content-type: image/jpeg\r\ncontent-length: 70000",
                                      Bytes(70000, 'l')), 1, Bytes(70000, 'l')},
      // The announced bytes are the picture; the excess is left out.
      {kWantsJpegGif, "/long.jpg", Raw("Content-Type: image/jpeg\r\nContent-Length: 2000",
                                     Bytes(2500, 'L')), 1, Bytes(2000, 'L')},
      {kWantsJpegGif, "/chunked.jpg", chunked, 1},
      {kWantsJpegGif, "/nothing.jpg", nothing, 1},
      {kWantsJpegGif, "/l0.gif", Body("", "image/gif"), 1},
      {kWantsJpegGif, "/l1023.gif", Body(Bytes(1023), "image/gif"), 1},
      {kWantsJpegGif, "/l1024.gif", Body(Bytes(1024, 'g'), "image/gif"), 1, Bytes(1024, 'g')},
      // MaxPictureKB is 1025 in this run; a page stays at most 1 MiB.
      {kWantsJpegGif, "/l1049600.gif", Body(Bytes(1049600, 'G'), "image/gif"), 1,
       Bytes(1049600, 'G')},
      {kWantsJpegGif, "/l1049601.gif", Body(Bytes(1049601), "image/gif"), 1},
      {kWantsJpegGif, "/unannounced.jpg", unannounced, 1, Bytes(1049600, 'u')},
      {kWantsJpegGif, "/over-unannounced.jpg", overUnannounced, 2},  // tried again
      {kWantsJpegGif, "/big.html", Body("<img src=/in-big.jpg>" + Bytes(1048577), "text/html"),
       1},
      {kServedOnly, "/in-big.jpg", Body(Bytes(5000)), 0},
      {kWantsJpegGif, "/cut.jpg", cut, 2, Bytes(40000, 'c'), true},
      {kWantsJpegGif, "/silent.jpg", silent, 2, Bytes(6000, 's'), true},
      {kWantsJpegGif, "/drip.jpg", drip, 2, Bytes(5000, 'r'), true},
      // Fresh, resumed (416), fresh once more, resumed (416): then dropped.
      {kWantsJpegGif, "/cut416.jpg", cutThenRefused, 4},
      // Header names in any case, blanks after the colon or none; a name
      // mentioned inside another field's value is not that field.
      {kWantsEvery, "/python.jpg",
       Raw("Server: SimpleHTTP/0.6 Python/3.11\r\nContent-type: image/jpeg\r\n"
           "Content-Length: 6000", Bytes(6000, 'p')), 1, Bytes(6000, 'p')},
      {kWantsEvery, "/tight.png",
       Raw("CONTENT-TYPE:image/png\r\ncontent-length:\t3000", Bytes(3500, 'n')), 1,
       Bytes(3000, 'n')},
      {kWantsEvery, "/w.webp", Body(Bytes(8000, 'w'), "image/webp"), 1, Bytes(8000, 'w')},
      {kWantsEvery, "/mention.jpg", Raw("X-Note: content-type: image/jpeg", Bytes(5000)), 1},
      // 16384 bytes is the smallest large JPEG.
      {kWantsLarge, "/large16383.jpg", Body(Bytes(16383)), 1},
      {kWantsLarge, "/large16384.jpg", Body(Bytes(16384, 'B')), 1, Bytes(16384, 'B')},
      {kWantsSmall, "/small16383.jpg", Body(Bytes(16383, 'S')), 1, Bytes(16383, 'S')},
      {kWantsSmall, "/small16384.jpg", Body(Bytes(16384)), 1},
  };
  for (int hop = 1; hop <= 7; ++hop) {
    std::string next = "Location: /c" + std::to_string(hop + 1) + ".jpg";
    cases.push_back({hop == 1 ? kWantsJpegGif : kServedOnly, "/c" + std::to_string(hop) + ".jpg",
                     Status("302 Found", next), hop <= 6 ? 1u : 0u});
  }
  // Each page ends with its picture tag, so a parse that missed the end of
  // the page would queue nothing.
  for (size_t length : {307200u, 307201u}) {
    std::string n = std::to_string(length), tag = "<img src=\"/from" + n + ".jpg\">";
    cases.push_back({kWantsJpegGif, "/edge" + n + ".html",
                     Body(std::string(length - tag.size(), ' ') + tag, "text/html"), 1});
    cases.push_back({kServedOnly, "/from" + n + ".jpg", Body(Bytes(4000, n[5])), 1,
                     Bytes(4000, n[5])});
  }
  // Every redirect status, for a page and for its picture, the field name
  // in either case.
  for (int status : {301, 302, 303, 307, 308}) {
    std::string n = std::to_string(status);
    std::string name = status == 303 ? "location: " : "Location: ";
    std::string body = Bytes(20000, static_cast<char>('a' + status % 10));
    cases.push_back({kWantsJpegGif, "/p" + n + ".html",
                     Status(n + " Moved", name + "http://pages.test/page" + n + ".html"), 1});
    cases.push_back({kServedOnly, "/page" + n + ".html",
                     Body("<img src=\"/r" + n + ".jpg\">" + Bytes(2000, ' '), "text/html"), 1});
    cases.push_back({kServedOnly, "/r" + n + ".jpg", Status(n + " Moved", name + "/pic" + n + ".jpg"), 1});
    cases.push_back({kServedOnly, "/pic" + n + ".jpg", Body(body), 1, body});
  }
  return cases;
}

// Entries a task file holds with part of their picture on disk: a 206
// continues the partial file, a 200 restarts it, a 416 queues the URL
// afresh, and a 206 that does not continue the file restarts it from zero
// (other bytes than asked for, no Content-Range, a length that is not the
// rest).
struct Stored {
  const char* path;
  uint32_t done;
  std::string partial;  // the whole picture the partial file began
};

using ResponseTest = EngineTest;

TEST_F(ResponseTest, EachAnswerIsSavedRetriedOrDropped) {
  options_.PICRetryTimes = 1;
  options_.MaxPictureKB = 1025;
  std::vector<Case> cases = Cases();
  std::vector<Task*> tasks;
  for (int i = 0; i < 4; ++i) tasks.push_back(NewTask(162));
  StoreFormats(kEveryFormat, &tasks[kWantsEvery]->info);
  tasks[kWantsLarge]->info.jpgSmall = tasks[kWantsSmall]->info.jpgLarge = 0;
  for (const Case& c : cases) {
    if (c.thenResume) {
      ServeThenResume(c.path, c.reply, c.saved);
    } else {
      Serve(c.path, c.reply);
    }
    if (c.task != kServedOnly) Queue(tasks[c.task], c.path);
  }

  const std::string body = Bytes(20000, 'o'), replaced = Bytes(30000, 'x');
  Reply resumable = Body(body), refusing = Body(body);
  resumable.range = RangeMode::kHonour;
  refusing.range = RangeMode::kRefuse;
  Serve("/resumed.jpg", resumable);
  Serve("/restart.jpg", Body(replaced));
  Serve("/refused.jpg", refusing);
  const struct { const char* path; std::string body, range; } wrong206[] = {
      {"/shifted.jpg", body.substr(1000), "bytes 1000-19999/20000"},
      {"/norange.jpg", body, ""},
      {"/badlength.jpg", body, "bytes 4000-19999/20000"}};
  for (const auto& w : wrong206) {
    Reply wrong = Body(w.body);
    wrong.status = "HTTP/1.0 206 Partial Content";
    if (!w.range.empty()) wrong.headers.push_back("Content-Range: " + w.range);
    wrong.times = 1;
    Serve(w.path, wrong);
    Serve(w.path, Body(body));
  }
  const Stored stored[] = {{"/resumed.jpg", 5000, body},   {"/restart.jpg", 12000, Bytes(30000, 'q')},
                           {"/refused.jpg", 3000, body},   {"/shifted.jpg", 4000, body},
                           {"/norange.jpg", 4000, body},   {"/badlength.jpg", 4000, body}};
  auto storedName = [](int i) {
    char name[64];
    std::snprintf(name, sizeof(name), "{%08d-2222-3333-4444-555555555555}.jpg", i);
    return std::string(name);
  };
  for (int i = 0; i < 6; ++i) {
    UrlItem item = StoredEntry(stored[i].path);
    std::strcpy(item.fileName, storedName(i).c_str());
    item.size = static_cast<uint32_t>(stored[i].partial.size());
    item.done = stored[i].done;
    tasks[kWantsJpegGif]->queues[kPic].AppendCopy(item);
    WriteSaved(storedName(i) + ".!", stored[i].partial.substr(0, stored[i].done));
  }

  EXPECT_EQ(RunUntilStopped(tasks), -1);
  std::vector<std::string> wanted{body, body, body, body, body, replaced};
  int pictures = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(RequestsFor(c.path).size(), c.requests) << c.path;
    if (!c.saved.empty()) wanted.push_back(c.saved);
  }
  for (Task* task : tasks) {
    EXPECT_EQ(task->info.state, kDone);
    EXPECT_EQ(task->queues[kPic].Count(), static_cast<size_t>(task->pictureCount.load()));
    pictures += task->pictureCount.load();
  }
  std::sort(wanted.begin(), wanted.end());
  EXPECT_TRUE(SavedContents() == wanted);  // no partial file left either
  EXPECT_EQ(pictures, static_cast<int>(wanted.size()));
  // Each picture is saved under the extension of its type.
  for (const std::string& name : SavedFiles()) {
    std::string extension = name.substr(name.rfind('.')), content = ReadSaved(name);
    for (const Case& c : cases) {
      if (c.saved == content) {
        EXPECT_EQ(c.path.substr(c.path.rfind('.')), extension) << c.path;
      }
    }
  }

  // A redirect target names the address that redirected as its referer.
  EXPECT_NE(RequestsFor("/target.jpg")[0].find("Referer: http://pics.test/moved.jpg\r\n"),
            std::string::npos);
  for (int status : {301, 302, 303, 307, 308}) {
    std::string n = std::to_string(status);
    EXPECT_NE(RequestsFor("/pic" + n + ".jpg")[0].find("Referer: http://pages.test/r" + n +
                                                       ".jpg\r\n"), std::string::npos) << n;
  }
  // An early close is resumed where the body broke off.
  EXPECT_NE(RequestsFor("/cut.jpg")[1].find("Range: bytes=15000-\r\n"), std::string::npos);
  std::string resumed = FreshRequest(kPicHost, "/resumed.jpg");
  resumed.insert(resumed.find("User-Agent"), "Range: bytes=5000-\r\n");
  EXPECT_EQ(RequestsFor("/resumed.jpg"), std::vector<std::string>{resumed});
  EXPECT_EQ(ReadSaved(storedName(0)), body);
  EXPECT_EQ(ReadSaved(storedName(1)), replaced);
  for (int i = 2; i < 6; ++i) {
    std::vector<std::string> asks = RequestsFor(stored[i].path);
    ASSERT_EQ(asks.size(), 2u) << stored[i].path;
    EXPECT_NE(asks[0].find("Range: bytes=" + std::to_string(stored[i].done) + "-"),
              std::string::npos);
    EXPECT_EQ(asks[1], FreshRequest(kPicHost, stored[i].path));
    if (i > 2) {
      EXPECT_EQ(ReadSaved(storedName(i)), body) << storedName(i);
    }
  }
}

// Pictures of a classified forum task land in their title's folder; titles
// and file names from a damaged task file never lead outside the save folder.
TEST_F(ResponseTest, TitleFoldersAndNamesStayInsideTheSaveFolder) {
  WriteSaved("victim.!", "keep me");
  Serve("*", Body(Bytes(3000)));
  Task* task = NewTask(31);
  task->info.classifyByTitle = 1;
  Queue(task, "/t1.jpg", "a/b");
  // Device names Windows keeps get a "_" on every system.
  Queue(task, "/con.jpg", "CON");
  Queue(task, "/com1.jpg", "com1 ");
  // A lead byte without its trail, and a character code page 936 lacks.
  Queue(task, "/lone.jpg", "lone\x81");
  Queue(task, "/unmapped.jpg", "un\xD7\xFAmapped");
  UrlItem sneaky = StoredEntry("/t2.jpg");
  std::strcpy(sneaky.title, "..\\..\\escape");
  task->queues[kPic].AppendCopy(sneaky);
  UrlItem named = StoredEntry("/named.jpg");
  std::strcpy(named.fileName, "..\\pics\\victim");
  task->queues[kPic].AppendCopy(named);
  EXPECT_EQ(RunUntilStopped(task), -1);
  for (const char* folder : {"a b", "lone", "CON_", "com1_", "un  mapped"}) {
    EXPECT_EQ(SavedFiles(folder).size(), 1u) << folder;
  }
  // victim.!, the sneaky one, and the named one under a name of its own.
  EXPECT_EQ(SavedFiles().size(), 3u);
  EXPECT_EQ(ReadSaved("victim.!"), "keep me");
  EXPECT_EQ(task->pictureCount.load(), 7);
}

}  // namespace
}  // namespace harvio::testing
