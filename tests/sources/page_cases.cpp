#include "tests/sources/page_cases.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/new_task.h"
#include "platform/codepage.h"
#include "sources/text_helpers.h"

namespace harvio::test {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string ReadTestData(const std::string& path) {
  return ReadWholeFile(std::string(HARVIO_TEST_DATA) + "/" + path);
}

namespace {

std::string Decode(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    size_t star = field.find('*', i), close = field.find('}', i);
    if (field[i] == '{' && close != std::string::npos && close > star && star > i + 1 &&
        field.find_first_not_of("0123456789", i + 1) == star) {
      std::string text = Decode(field.substr(star + 1, close - star - 1));
      for (int n = std::stoi(field.substr(i + 1, star - i - 1)); n > 0; --n) out += text;
      i = close;
    } else if (field[i] == '\\' && i + 1 < field.size()) {
      char c = field[++i];
      out += c == '0' ? '\0' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
    } else {
      out += field[i];
    }
  }
  return out;
}

}  // namespace

std::vector<Row> ReadRows(const std::string& path) {
  std::vector<Row> rows;
  std::istringstream lines(ReadTestData(path));
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    Row row{number, {}};
    for (size_t start = 0, tab = 0; tab != std::string::npos; start = tab + 1) {
      tab = line.find('\t', start);
      row.fields.push_back(Decode(line.substr(start, tab - start)));
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<PageCase> ReadPageCases(const std::string& path) {
  std::vector<PageCase> cases;
  PageCase item{};
  for (const Row& row : ReadRows(path)) {
    const std::vector<std::string>& f = row.fields;
    if (f[0] == "@") {
      item.sourceId = static_cast<uint32_t>(std::stoul(f.at(1)));
      item.kind = f.at(2) == "WEB1" ? kWeb1 : f.at(2) == "PIC" ? kPic : kWeb2;
      item.url = f.at(3);
      item.title = f.size() > 4 ? f[4] : "";
      item.formats = f.size() > 5 ? f[5] : "";
    } else if (f[0] == "<") {
      cases.push_back(item);
      cases.back().line = row.line;
      cases.back().page = f.size() > 1 ? f[1] : "";
    } else if (!cases.empty()) {
      for (size_t i = 0; i < f.size(); ++i) cases.back().expected += f[i] + (i + 1 < f.size() ? "\t" : "\n");
    }
  }
  return cases;
}

std::vector<PageCase> LoadSamplePages(const std::string& folder) {
  std::vector<PageCase> pages;
  for (const Row& row : ReadRows(folder + "/cases.txt")) {
    std::vector<std::string> f = row.fields;
    f.resize(6);
    std::string page = ReadTestData(folder + "/" + (f[5].empty() ? f[0] : f[5]) + ".html");
    pages.push_back({0, static_cast<uint32_t>(std::stoul(f[1])), f[2] == "WEB1" ? kWeb1 : kWeb2,
                     f[3], f[4], page, ReadTestData(folder + "/" + f[0] + ".expected"), ""});
  }
  return pages;
}

std::string Gbk(const std::string& utf8) {
  std::string out;
  EXPECT_TRUE(platform::Utf8ToGbk(utf8, &out)) << utf8;
  return out;
}

std::string Utf8(const std::string& gbk) {
  std::string out;
  EXPECT_TRUE(platform::GbkToUtf8(gbk, &out));
  return out;
}

PageRun::PageRun(uint32_t sourceId) {
  info.sourceId = sourceId;
  StoreFormats(DefaultFormats(sourceId), &info);
}

std::vector<Admission> PageRun::Run(ItemKind kind, const char* pageUrl,
                                    std::string page, const char* title) {
  UrlQueue scratch;
  scratch.AddUrl(pageUrl, title, "", false);
  const UrlItem* taken = scratch.TakeNext(1);
  if (taken == nullptr) return {};  // not a URL a task could hold
  UrlItem item = *taken;
  std::vector<char> text(page.begin(), page.end());
  text.push_back('\0');
  char* end = text.data() + page.size();
  if (info.sourceId > 160) end = RemoveTabsAndLineBreaks(text.data(), end);
  PageContext ctx{text.data(), end, &item, kind,
                  {&queues[kWeb2], &queues[kWeb1], &queues[kPic]}, &info, this};
  calls.clear();
  DispatchPage(ctx);
  for (const Admission& a : calls) {
    if (a.result == AddResult::kAdmitted) ++admitted_[a.queue];
  }
  for (ItemKind q : {kWeb2, kWeb1, kPic}) {
    EXPECT_EQ(queues[q].Count(), admitted_[q]) << "queue " << q;
  }
  return calls;
}

std::string AdmissionLines(const std::vector<Admission>& calls) {
  static const char* const kQueues[] = {"WEB2", "WEB1", "PIC"};
  static const char* const kResults[] = {"admitted", "invalid", "duplicate"};
  std::string lines;
  for (const Admission& a : calls) {
    lines += std::string(kQueues[a.queue]) + "\t" + a.url + "\t" + a.title + "\t" + a.referer +
             "\t" + (a.checkDuplicate ? "on" : "off") + "\t" +
             kResults[static_cast<int>(a.result)] + "\n";
  }
  return lines;
}

}  // namespace harvio::test
