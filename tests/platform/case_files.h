// Case files under tests/data: one case a line, its fields separated by
// tabs, written in UTF-8 and handed to the rules in the program's GBK;
// blank lines and lines starting with "#" are comments.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/codepage.h"

namespace harvio::testing {

using Fields = std::vector<std::string>;

inline std::string Joined(const Fields& fields, const char* separator = "\t") {
  std::string text;
  for (size_t i = 0; i < fields.size(); ++i) text += (i == 0 ? "" : separator) + fields[i];
  return text;
}

// TEXT with every FROM replaced by TO.
inline std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The numbers of a field written "1 -2 3", and back.
inline std::vector<int32_t> Numbers(const std::string& field) {
  std::istringstream in(field);
  std::vector<int32_t> numbers;
  for (long long n; in >> n;) numbers.push_back(static_cast<int32_t>(n));
  return numbers;
}
inline std::string Spaced(std::initializer_list<long long> numbers) {
  std::string text;
  for (long long n : numbers) text += (text.empty() ? "" : " ") + std::to_string(n);
  return text;
}

// A rule takes a case's first `inputs` fields after its name and gives the
// text of the fields that follow them.
struct CaseRule {
  size_t inputs;
  std::function<std::string(const Fields&)> run;
};

// Checks every case of tests/data/NAME by the rule its first field names;
// every rule must be used.
inline void CheckCaseFile(const std::string& name, const std::map<std::string, CaseRule>& rules) {
  std::ifstream in(std::string(HARVIO_TEST_DATA) + "/" + name);
  ASSERT_TRUE(in.good()) << name;
  std::map<std::string, int> used;
  int number = 0;
  for (std::string line, gbk; std::getline(in, line);) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    ASSERT_TRUE(platform::Utf8ToGbk(line, &gbk)) << name << ":" << number;
    Fields fields;
    for (size_t start = 0, tab = 0; tab != std::string::npos; start = tab + 1) {
      tab = gbk.find('\t', start);
      fields.push_back(gbk.substr(start, tab - start));
    }
    auto rule = rules.find(fields[0]);
    ASSERT_TRUE(rule != rules.end() && fields.size() > rule->second.inputs)
        << name << ":" << number;
    const auto inputsEnd = fields.begin() + 1 + static_cast<long>(rule->second.inputs);
    EXPECT_EQ(rule->second.run(Fields(fields.begin() + 1, inputsEnd)),
              Joined(Fields(inputsEnd, fields.end())))
        << name << ":" << number;
    ++used[fields[0]];
  }
  for (const auto& rule : rules) EXPECT_GT(used[rule.first], 0) << name << ": " << rule.first;
}

}  // namespace harvio::testing
