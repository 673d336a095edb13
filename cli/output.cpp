#include <cstdio>

#include "cli/cli_context.h"
#include "platform/codepage.h"

namespace harvio::cli {
namespace {

void PrintTo(std::FILE* stream, const std::string& gbk) {
  std::string utf8;
  // A text that is not valid GBK is shown as it is rather than lost.
  if (!platform::GbkToUtf8(gbk, &utf8)) utf8 = gbk;
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fputc('\n', stream);
}

}  // namespace

void Print(const std::string& gbk) { PrintTo(stdout, gbk); }
void PrintError(const std::string& gbk) { PrintTo(stderr, gbk); }

}  // namespace harvio::cli
