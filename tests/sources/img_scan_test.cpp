// The img scan, run the way the custom source 162 runs it: a WEB1 page whose
// pictures go to the PIC queue.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/sources/page_run.h"

namespace harvio::test {
namespace {

constexpr char kPage[] = "http://www.h.cn/a/b.html";

std::vector<std::string> PicturesOf(const std::string& page,
                                    PageRun* run = nullptr) {
  PageRun local(162);
  if (run == nullptr) run = &local;
  std::vector<std::string> urls;
  for (const Admission& a : run->Run(kWeb1, kPage, page, "Album")) {
    EXPECT_EQ(a.queue, kPic);
    urls.push_back(a.url);
  }
  return urls;
}

using Urls = std::vector<std::string>;

TEST(ImgScan, FindsTagsInAnyCaseWithAnyQuoting) {
  EXPECT_EQ(PicturesOf("<IMG SRC='x/1.jpg'><img src=\"2.jpg\"><iMg alt=b "
                       "Src=3.jpg border=0>"),
            (Urls{"http://www.h.cn/a/x/1.jpg", "http://www.h.cn/a/2.jpg",
                  "http://www.h.cn/a/3.jpg"}));
  EXPECT_EQ(PicturesOf("<img src=   /p.jpg>"), (Urls{"http://www.h.cn/p.jpg"}));
}

TEST(ImgScan, SkipsWhatIsNotAnImgTagWithASpacedSrc) {
  EXPECT_EQ(PicturesOf("<image src=1.jpg><imgsrc=2.jpg><img data-src=3.jpg>"
                       "<img src=4.jpg>"),
            (Urls{"http://www.h.cn/a/4.jpg"}));
}

TEST(ImgScan, TagWithoutSrcTakesTheNextSrcFurtherOn) {
  EXPECT_EQ(PicturesOf("<img alt=x><script src=later.js></script>"
                       "<img src=next.jpg>"),
            (Urls{"http://www.h.cn/a/later.js", "http://www.h.cn/a/next.jpg"}));
}

TEST(ImgScan, DecodesResolvesAndFiltersByFormat) {
  PageRun run(162);
  run.info.gif = 0;
  EXPECT_EQ(PicturesOf("<img src=\"http%3A%2F%2Fo.cn%2Fq.jpg?a=1&amp;b=2\">"
                       "<img src=a.png><img src=b.bmp><img src=c.gif>"
                       "<img src=' sp.jpg'>",
                       &run),
            // A value ends at its first blank, so ' sp.jpg' is empty; the
            // queue refuses it.
            (Urls{"http://o.cn/q.jpg?a=1&b=2", ""}));
}

TEST(ImgScan, AdmitsWithTheItemTitleThePageAsRefererAndTheDuplicateCheck) {
  PageRun run(162);
  auto calls = run.Run(kWeb1, kPage, "<img src=1.jpg><img src=1.JPG>", "T");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].title, "T");
  EXPECT_EQ(calls[0].referer, kPage);
  EXPECT_TRUE(calls[0].checkDuplicate);
  EXPECT_EQ(calls[0].result, AddResult::kAdmitted);
  EXPECT_EQ(calls[1].result, AddResult::kDuplicate);
}

TEST(ImgScan, TruncatedOrOverlongTagEndsTheScanKeepingEarlierPictures) {
  EXPECT_EQ(PicturesOf("<img src=1.jpg><img src=2.jpg"),
            (Urls{"http://www.h.cn/a/1.jpg"}));
  EXPECT_EQ(PicturesOf("<img src=1.jpg><img src=\"2.jpg\" alt=x"),
            (Urls{"http://www.h.cn/a/1.jpg"}));
  EXPECT_EQ(PicturesOf("<img src=1.jpg><img src="), (Urls{"http://www.h.cn/a/1.jpg"}));
  EXPECT_EQ(PicturesOf("<img src=1.jpg><img "), (Urls{"http://www.h.cn/a/1.jpg"}));
  std::string tooLong(1025, 'x');
  EXPECT_EQ(PicturesOf("<img src=1.jpg><img src=" + tooLong +
                       ".jpg><img src=3.jpg>"),
            (Urls{"http://www.h.cn/a/1.jpg"}));
}

TEST(ImgScan, ReadsPastNulBytesInsideThePage) {
  std::string page = "<img src=1.jpg>";
  page += '\0';
  page += "<img src=2.jpg>";
  EXPECT_EQ(PicturesOf(page),
            (Urls{"http://www.h.cn/a/1.jpg", "http://www.h.cn/a/2.jpg"}));
}

}  // namespace
}  // namespace harvio::test
