// Without libFuzzer (a g++ build): runs the fuzz target over the given
// corpus files, over every prefix of each (pages that end anywhere), and
// over 1 MiB pages of one repeated byte or tag for every SourceId.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void RunOne(const std::string& input) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()),
                         input.size());
}

void RunWithPrefixes(const std::string& input) {
  for (size_t n = 0; n <= input.size(); ++n) RunOne(input.substr(0, n));
}

// One SourceId per parser, the last of each board range (whose markers are
// data per board) and two without a parser.
constexpr unsigned kSourcesPerParser[] = {
    1,  2,  3,  11, 12, 13, 14, 15, 16, 21,  22,  31,  36,  41,  51,  61,
    68, 71, 79, 81, 89, 91, 95, 101, 109, 111, 135, 141, 153, 161, 162, 163, 164};

// Pages as large as the engine takes, made of one repeated piece.
void RunLargePages() {
  const std::string kPieces[] = {"<", "a", "=", "\"", " ", std::string(1, '\0'),
                                 "<img src=", "<a href=x><img src=y.jpg></a>",
                                 "<a href=", "</"};
  constexpr size_t kPageBytes = 1048576;
  for (const std::string& piece : kPieces) {
    std::string page;
    while (page.size() + piece.size() <= kPageBytes) page += piece;
    for (unsigned source : kSourcesPerParser) {
      for (char mode : {'\x0f', '\x0e'}) {  // WEB1 and WEB2, all formats
        RunOne(std::string{static_cast<char>(source), mode} + page);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 1;
    }
    std::string input((std::istreambuf_iterator<char>(in)),
                      std::istreambuf_iterator<char>());
    RunWithPrefixes(input);
    ++files;
  }
  RunLargePages();
  std::printf("%d corpus files and the large pages parsed\n", files);
  return 0;
}
