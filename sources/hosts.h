// Host names of every site the catalog crawls, in one place. The start URLs,
// the site roots of the parsers and the picture hosts all come from here.
#pragma once

namespace harvio::hosts {

// Image search engines.
inline constexpr const char kGoogleImages[] = "images.google.com";
inline constexpr const char kYahooImages[] = "images.search.yahoo.com";
inline constexpr const char kMsnSearch[] = "search.msn.com";
inline constexpr const char kBaiduImages[] = "image.baidu.com";
inline constexpr const char kIaskPictures[] = "p.iask.com";
inline constexpr const char kZhongsouImages[] = "image.zhongsou.com";
inline constexpr const char kSogouPictures[] = "pic.sogou.com";
inline constexpr const char kYahooChinaImages[] = "image.cn.yahoo.com";

// Keyword forums.
inline constexpr const char kBaiduTieba[] = "post.baidu.com";
inline constexpr const char kSogouShuoba[] = "shuoba.sogou.com";

// Forum boards.
inline constexpr const char kVocForum[] = "bbs.voc.com.cn";
inline constexpr const char kTomEntertainment[] = "bbs.ent.tom.com";
inline constexpr const char kTomTechnology[] = "bbs.tech.tom.com";
inline constexpr const char kTomSports[] = "bbs.sports.tom.com";
inline constexpr const char kQqForum[] = "bbs.qq.com";
inline constexpr const char kQqPictures0[] = "bbsimg.qq.com";
inline constexpr const char kQqPictures1[] = "bbsimg1.qq.com";
inline constexpr const char kSohuEntertainment[] = "club.yule.sohu.com";
inline constexpr const char kSohuTravel[] = "club.travel.sohu.com";
inline constexpr const char kSohuAuto[] = "club.auto.sohu.com";
inline constexpr const char kSohuNews[] = "club.news.sohu.com";
inline constexpr const char kXimanniForum[] = "bbs.ximanni.com";
inline constexpr const char kXimanniPictures[] = "pic.ximanni.com";
inline constexpr const char kMeituTieba[] = "www.meitu8.com";
inline constexpr const char kTianya[] = "www.tianyaclub.com";
inline constexpr const char kMopClub[] = "club.mop.com";
inline constexpr const char kMopPictures[] = "img.club.mop.com";
// 西陆: each board has a host of its own, SourceId 41..51 in order.
inline constexpr const char* const kXiluBoards[11] = {
    "haoqq.xilu.com",   "zjdd.xilu.com", "haokk.xilu.com",
    "gogo.xilu.com",    "pastime.xilu.com", "mm.xilu.com",
    "mp8.xilu.com",     "sex.xilu.com",  "bbcaking.xilu.com",
    "goto.xilu.com",    "hebowen.xilu.com"};

}  // namespace harvio::hosts
