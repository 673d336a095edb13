// How responses are judged and written: statuses, types, lengths, size
// classes, header limits, resumes, pages from memory and from a mapping,
// and the folders pictures land in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "core/item_folder.h"
#include "core/task_store.h"
#include "net/response.h"
#include "tests/net/engine_fixture.h"

namespace harvio::testing {
namespace {

using fixture::RangeMode;
using fixture::Reply;

class ResponseTest : public EngineTest {
 protected:
  // Fetches one picture URL per path in a 161 task until it stops.
  Task* FetchPictures(const std::vector<std::string>& paths,
                      uint32_t sourceId = 161) {
    Task* task = NewTask(sourceId);
    for (const std::string& p : paths) {
      task->queues[kPic].AddUrl(Url(p).c_str(), "", "", true);
    }
    EXPECT_EQ(RunUntilStopped(task), -1);
    return task;
  }
  // An entry that already received `done` of `body` into its partial file.
  Task* PartlyFetched(const std::string& path, const std::string& body,
                      uint32_t done) {
    Task* task = NewTask();
    UrlItem item = StoredEntry(path);
    std::strcpy(item.fileName, "{11111111-2222-3333-4444-555555555555}.jpg");
    item.size = static_cast<uint32_t>(body.size());
    item.done = done;
    task->queues[kPic].AppendCopy(item);
    WriteSaved(std::string(item.fileName) + ".!", body.substr(0, done));
    return task;
  }
};

TEST_F(ResponseTest, FreshAndResumedRequestsAreExact) {
  std::string body = Bytes(20000);
  Reply resumable = Body(body);
  resumable.range = RangeMode::kHonour;
  Serve("/fresh.jpg", Body(body));
  Serve("/resumed.jpg", resumable);
  FetchPictures({"/fresh.jpg"});
  ASSERT_EQ(RequestsFor("/fresh.jpg").size(), 1u);
  EXPECT_EQ(RequestsFor("/fresh.jpg")[0], FreshRequest(kPicHost, "/fresh.jpg"));

  Task* task = PartlyFetched("/resumed.jpg", body, 5000);
  EXPECT_EQ(RunUntilStopped(task), -1);
  std::string expected = FreshRequest(kPicHost, "/resumed.jpg");
  expected.insert(expected.find("User-Agent"), "Range: bytes=5000-\r\n");
  ASSERT_EQ(RequestsFor("/resumed.jpg").size(), 1u);
  EXPECT_EQ(RequestsFor("/resumed.jpg")[0], expected);
  // 206 continued the partial file: the picture is whole.
  EXPECT_EQ(ReadSaved("{11111111-2222-3333-4444-555555555555}.jpg"), body);
  EXPECT_EQ(task->pictureCount.load(), 1);
}

TEST_F(ResponseTest, A200ForAResumedItemRestartsThePartialFile) {
  std::string body = Bytes(30000, 'x');
  Serve("/restart.jpg", Body(body));  // ignores the Range
  Task* task = PartlyFetched("/restart.jpg", Bytes(30000, 'q'), 12000);
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(ReadSaved("{11111111-2222-3333-4444-555555555555}.jpg"), body);
}

TEST_F(ResponseTest, RefusedStatusesDropTheItemAtOnce) {
  Reply moved = Body("<html></html>", "text/html");
  moved.status = "HTTP/1.0 301 Moved Permanently";
  Reply missing = moved;
  missing.status = "HTTP/1.0 404 Not Found";
  Reply broken = moved;
  broken.status = "HTTP/1.0 500 Internal Server Error";
  Serve("/301.jpg", moved);
  Serve("/404.jpg", missing);
  Serve("/500.jpg", broken);
  Task* task = FetchPictures({"/301.jpg", "/404.jpg", "/500.jpg"});
  for (const char* p : {"/301.jpg", "/404.jpg", "/500.jpg"}) {
    EXPECT_EQ(RequestsFor(p).size(), 1u) << p;  // no retry
  }
  EXPECT_EQ(task->queues[kPic].Count(), 0u);
  EXPECT_TRUE(SavedFiles().empty());
  EXPECT_EQ(task->info.state, kDone);
}

TEST_F(ResponseTest, RedirectedPictureQueuesItsWantedTargetOnly) {
  Reply toJpeg = Body("", "text/html");
  toJpeg.status = "HTTP/1.0 302 Found";
  toJpeg.headers.push_back("Location: /target.jpg");
  Reply toPng = toJpeg;
  toPng.headers.back() = "Location: http://pics.test/target.png";
  Serve("/moved.jpg", toJpeg);
  Serve("/moved2.jpg", toPng);
  Serve("/target.jpg", Body(Bytes(5000)));
  Task* task = FetchPictures({"/moved.jpg", "/moved2.jpg"});
  EXPECT_EQ(RequestsFor("/target.jpg").size(), 1u);
  EXPECT_TRUE(RequestsFor("/target.png").empty());
  EXPECT_EQ(task->pictureCount.load(), 1);
  // The target remembers where it came from.
  std::string request = RequestsFor("/target.jpg")[0];
  EXPECT_NE(request.find("Referer: http://pics.test/moved.jpg\r\n"),
            std::string::npos);
}

TEST_F(ResponseTest, RefusedRangeQueuesAFreshEntry) {
  std::string body = Bytes(9000);
  Reply refusing = Body(body);
  refusing.range = RangeMode::kRefuse;
  Serve("/refused.jpg", refusing);
  Task* task = PartlyFetched("/refused.jpg", body, 3000);
  EXPECT_EQ(RunUntilStopped(task), -1);
  std::vector<std::string> requests = RequestsFor("/refused.jpg");
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_NE(requests[0].find("Range: bytes=3000-"), std::string::npos);
  EXPECT_EQ(requests[1], FreshRequest(kPicHost, "/refused.jpg"));
  // The old partial file went with its entry; the fresh one is complete.
  std::vector<std::string> files = SavedFiles();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].find("{11111111"), std::string::npos);
  EXPECT_EQ(ReadSaved(files[0]), body);
}

TEST_F(ResponseTest, LengthBoundsAndJpegSizeClasses) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"/l0.gif", 0},        {"/l1023.gif", 1023},       {"/l1024.gif", 1024},
      {"/l1048576.gif", 1048576}, {"/l1048577.gif", 1048577}};
  for (const auto& [path, length] : cases) {
    Reply reply = Body(Bytes(length), "image/gif");
    Serve(path, reply);
  }
  Task* task = FetchPictures({"/l0.gif", "/l1023.gif", "/l1024.gif",
                              "/l1048576.gif", "/l1048577.gif"});
  EXPECT_EQ(task->pictureCount.load(), 2);
  std::vector<size_t> sizes;
  for (const std::string& f : SavedFiles()) sizes.push_back(ReadSaved(f).size());
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<size_t>{1024, 1048576}));

  Serve("/j16383.jpg", Body(Bytes(16383)));
  Serve("/j16384.jpg", Body(Bytes(16384)));
  Task* smallOnly = NewTask();
  smallOnly->info.jpgLarge = 0;
  Task* largeOnly = NewTask();
  largeOnly->info.jpgSmall = 0;
  for (Task* t : {smallOnly, largeOnly}) {
    t->queues[kPic].AddUrl(Url("/j16383.jpg").c_str(), "", "", true);
    t->queues[kPic].AddUrl(Url("/j16384.jpg").c_str(), "", "", true);
    EXPECT_EQ(RunUntilStopped(t), -1);
    EXPECT_EQ(t->pictureCount.load(), 1);
  }
  std::vector<size_t> jpegs;
  for (const std::string& f : SavedFiles()) {
    if (f.find(".jpg") != std::string::npos) jpegs.push_back(ReadSaved(f).size());
  }
  std::sort(jpegs.begin(), jpegs.end());
  EXPECT_EQ(jpegs, (std::vector<size_t>{16383, 16384}));
}

TEST_F(ResponseTest, UnwantedTypesAndOversizedHeadersAreRefused) {
  Serve("/png.jpg", Body(Bytes(5000), "image/png"));
  Serve("/page.jpg", Body(Bytes(5000), "text/html"));
  Reply quoted = Body(Bytes(5000), "application/x \"a.jpg\"");
  Serve("/quoted.jpg", quoted);
  Reply huge = Body(Bytes(5000));
  huge.headers.push_back("X-Filler: " + std::string(9000, 'f'));
  Serve("/huge-header.jpg", huge);
  Task* task = FetchPictures(
      {"/png.jpg", "/page.jpg", "/quoted.jpg", "/huge-header.jpg"});
  EXPECT_EQ(task->pictureCount.load(), 1);  // only the quoted JPEG name
  EXPECT_EQ(RequestsFor("/huge-header.jpg").size(), 1u);
}

TEST_F(ResponseTest, LowerCaseLengthIsReadToTheEnd) {
  std::string body = Bytes(70000);
  Reply reply;
  reply.raw = "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\ncontent-length: " +
              std::to_string(body.size()) + "\r\n\r\n" + body;
  Serve("/lower.jpg", reply);
  Task* task = FetchPictures({"/lower.jpg"});
  EXPECT_EQ(task->pictureCount.load(), 1);
  ASSERT_EQ(SavedFiles().size(), 1u);
  EXPECT_EQ(ReadSaved(SavedFiles()[0]), body);
}

TEST_F(ResponseTest, PagesAtTheWriteBufferEdgeAreParsed) {
  // Each page ends with a picture tag, so a parse that missed the end of
  // the page would queue nothing.
  for (size_t length : {307200u, 307201u}) {
    std::string tag = "<img src=\"/from" + std::to_string(length) + ".jpg\">";
    std::string page = std::string(length - tag.size(), ' ') + tag;
    Serve("/page" + std::to_string(length) + ".html", Body(page, "text/html"));
    Serve("/from" + std::to_string(length) + ".jpg", Body(Bytes(4000)));
  }
  Task* task = NewTask(162);
  task->queues[kWeb1].AddUrl(Url("/page307200.html", kPageHost).c_str(), "", "", true);
  task->queues[kWeb1].AddUrl(Url("/page307201.html", kPageHost).c_str(), "", "", true);
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(RequestsFor("/from307200.jpg").size(), 1u);
  EXPECT_EQ(RequestsFor("/from307201.jpg").size(), 1u);
  EXPECT_EQ(task->pictureCount.load(), 2);
  for (const std::string& f : SavedFiles()) {
    EXPECT_EQ(f.find(".txt"), std::string::npos) << "page file left: " << f;
  }
}

TEST_F(ResponseTest, ThreadPicturesGoToTitleFoldersInsideTheSaveFolder) {
  Serve("/t1.jpg", Body(Bytes(3000)));
  Serve("/t2.jpg", Body(Bytes(3001)));
  Task* task = NewTask(31);
  task->info.classifyByTitle = 1;
  task->queues[kPic].AddUrl(Url("/t1.jpg").c_str(), "a/b", "", true);
  // A title no admission would let through, as a damaged task file has it.
  UrlItem sneaky = StoredEntry("/t2.jpg");
  std::strcpy(sneaky.title, "..\\..\\escape");
  task->queues[kPic].AppendCopy(sneaky);
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(SavedFiles("a b").size(), 1u);
  EXPECT_EQ(SavedFiles().size(), 1u);  // the sneaky one stayed at the top
  EXPECT_EQ(task->pictureCount.load(), 2);
}

TEST(ResponseNames, OnlyProgramMadeFileNamesAreTrusted) {
  EXPECT_TRUE(IsPlainFileName("{0A1B2C3D-1111-2222-3333-444455556666}.jpg"));
  EXPECT_FALSE(IsPlainFileName(""));
  EXPECT_FALSE(IsPlainFileName(".."));
  EXPECT_FALSE(IsPlainFileName("..\\List"));
  EXPECT_FALSE(IsPlainFileName("a/b.jpg"));
  EXPECT_FALSE(IsPlainFileName("C:x.jpg"));
}

TEST_F(ResponseTest, ADamagedFileNameTouchesNothingOutsideTheFolder) {
  WriteSaved("victim.!", "keep me");
  Serve("/named.jpg", Body(Bytes(3000)));
  Task* task = NewTask();
  UrlItem item = StoredEntry("/named.jpg");
  std::strcpy(item.fileName, "..\\pics\\victim");
  task->queues[kPic].AppendCopy(item);
  EXPECT_EQ(RunUntilStopped(task), -1);
  EXPECT_EQ(ReadSaved("victim.!"), "keep me");
  EXPECT_EQ(task->queues[kPic].Count(), 0u);
}

}  // namespace
}  // namespace harvio::testing
