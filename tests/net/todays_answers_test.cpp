// What servers of today answer: header names in any letter case, PNG and
// WebP, every redirect status for pictures and for pages, and pictures
// larger than 1 MiB when the options allow them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/picture_formats.h"
#include "tests/net/engine_fixture.h"

namespace harvio::testing {
namespace {

using fixture::Reply;

Reply Raw(const std::string& header, const std::string& body) {
  Reply reply;
  reply.raw = "HTTP/1.0 200 OK\r\n" + header + "\r\n\r\n" + body;
  return reply;
}

Reply Redirect(int status, const std::string& name, const std::string& to) {
  Reply reply = Body("<html></html>", "text/html");
  reply.status = "HTTP/1.1 " + std::to_string(status) + " Moved";
  reply.headers.push_back(name + ": " + to);
  return reply;
}

std::vector<std::string> Extensions(const std::vector<std::string>& names) {
  std::vector<std::string> extensions;
  for (const std::string& name : names) extensions.push_back(name.substr(name.rfind('.')));
  std::sort(extensions.begin(), extensions.end());
  return extensions;
}

using TodaysAnswersTest = EngineTest;

// Each picture is saved whole under the extension of its type, whatever the
// letter case of the header names; a name mentioned inside another field's
// value is not that field.
TEST_F(TodaysAnswersTest, HeaderNamesInAnyCaseAndEveryFormat) {
  const struct {
    std::string path;
    Reply reply;
    std::string saved;  // "" when nothing is kept
  } cases[] = {
      {"/lower.jpg", Raw("content-type: image/jpeg\r\ncontent-length: 5000", Bytes(5000, 'l')),
       Bytes(5000, 'l')},
      {"/python.jpg",
       Raw("Server: SimpleHTTP/0.6 Python/3.11\r\nContent-type: image/jpeg\r\nContent-Length: 6000",
           Bytes(6000, 'p')),
       Bytes(6000, 'p')},
      {"/tight.png", Raw("CONTENT-TYPE:image/png\r\nContent-Length:\t7000", Bytes(7000, 'n')),
       Bytes(7000, 'n')},
      {"/w.webp", Body(Bytes(8000, 'w'), "image/webp"), Bytes(8000, 'w')},
      {"/mention.jpg", Raw("X-Note: content-type: image/jpeg", Bytes(5000)), ""},
      // An announced length in lower case now counts: the excess is left out.
      {"/long.jpg", Raw("Content-Type: image/jpeg\r\ncontent-length: 3000", Bytes(3500, 'x')),
       Bytes(3000, 'x')}};
  Task* task = NewTask();
  StoreFormats(kEveryFormat, &task->info);
  std::vector<std::string> wanted;
  for (const auto& c : cases) {
    Serve(c.path, c.reply);
    task->queues[kPic].AddUrl(Url(c.path).c_str(), "", "", true);
    if (!c.saved.empty()) wanted.push_back(c.saved);
  }
  EXPECT_EQ(RunUntilStopped(task), -1);
  std::sort(wanted.begin(), wanted.end());
  EXPECT_TRUE(SavedContents() == wanted);
  EXPECT_EQ(Extensions(SavedFiles()),
            (std::vector<std::string>{".jpg", ".jpg", ".jpg", ".png", ".webp"}));
}

// A 162 task: every redirect status is followed, for the page and for its
// picture, in upper or lower case; the pictures land once each.
TEST_F(TodaysAnswersTest, EveryRedirectStatusForPagesAndPictures) {
  Task* task = NewTask(162);
  std::vector<std::string> wanted;
  for (int status : {301, 302, 303, 307, 308}) {
    std::string n = std::to_string(status);
    const char* name = status == 303 ? "location" : "Location";
    Serve("/p" + n + ".html", Redirect(status, name, Url("/page" + n + ".html", kPageHost)));
    Serve("/page" + n + ".html",
          Body("<html><img src=\"/r" + n + ".jpg\">" + Bytes(2000, ' ') + "</html>", "text/html"));
    Serve("/r" + n + ".jpg", Redirect(status, name, "/pic" + n + ".jpg"));
    Serve("/pic" + n + ".jpg", Body(Bytes(20000, static_cast<char>('a' + status % 10))));
    wanted.push_back(Bytes(20000, static_cast<char>('a' + status % 10)));
    task->queues[kWeb1].AddUrl(Url("/p" + n + ".html", kPageHost).c_str(), "", "", true);
  }
  EXPECT_EQ(RunUntilStopped(task), -1);
  std::sort(wanted.begin(), wanted.end());
  EXPECT_TRUE(SavedContents() == wanted);
  for (int status : {301, 302, 303, 307, 308}) {
    std::string n = std::to_string(status);
    EXPECT_EQ(RequestsFor("/page" + n + ".html").size(), 1u) << n;
    ASSERT_EQ(RequestsFor("/pic" + n + ".jpg").size(), 1u) << n;
    // The picture names the address that redirected as its referer.
    EXPECT_NE(RequestsFor("/pic" + n + ".jpg")[0].find("Referer: http://pages.test/r" + n + ".jpg\r\n"),
              std::string::npos);
  }
}

// A 3 MiB picture is refused under the default limit and saved whole with
// MaxPictureKB=4096, with or without an announced length; a page stays at
// most 1 MiB whatever the limit.
TEST_F(TodaysAnswersTest, LargePicturesUpToMaxPictureKB) {
  const std::string picture = Bytes(3 * 1048576, 'B');
  Reply unannounced = Body(picture);
  unannounced.autoLength = false;
  Serve("/big.jpg", Body(picture));
  Serve("/big-unannounced.jpg", unannounced);
  Serve("/big.html", Body("<img src=\"/x.jpg\">" + Bytes(2 * 1048576, ' '), "text/html"));
  Serve("/x.jpg", Body(Bytes(20000)));
  for (uint32_t limitKB : {1024u, 4096u}) {
    options_.MaxPictureKB = limitKB;
    Task* task = NewTask(162);
    task->queues[kPic].AddUrl(Url("/big.jpg").c_str(), "", "", true);
    task->queues[kPic].AddUrl(Url("/big-unannounced.jpg").c_str(), "", "", true);
    task->queues[kWeb1].AddUrl(Url("/big.html", kPageHost).c_str(), "", "", true);
    EXPECT_EQ(RunUntilStopped(task), -1) << limitKB;
    EXPECT_EQ(task->pictureCount.load(), limitKB == 1024 ? 0 : 2) << limitKB;
  }
  EXPECT_TRUE(RequestsFor("/x.jpg").empty());
  EXPECT_TRUE(SavedContents() == std::vector<std::string>(2, picture));
}

}  // namespace
}  // namespace harvio::testing
