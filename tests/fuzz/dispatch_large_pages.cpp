// The page target's extra inputs for the replay runner: long pages made of
// one repeated piece, for one SourceId per parser. 128 KiB is past any
// 16-bit offset or count, and an eighth of the largest page the engine
// takes, so the run stays short; a parser that went quadratic would still
// take minutes.
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// One SourceId per parser, the last of each board range (whose markers are
// data per board) and two without a parser.
constexpr unsigned kSourcesPerParser[] = {
    1,  2,  3,  11, 12, 13, 14, 15, 16, 21,  22,  31,  36,  41,  51,  61,
    68, 71, 79, 81, 89, 91, 95, 101, 109, 111, 135, 141, 153, 161, 162, 163, 164};

}  // namespace

void RunExtraInputs() {
  const std::string kPieces[] = {"<", "a", "=", "\"", " ", std::string(1, '\0'),
                                 "<img src=", "<a href=x><img src=y.jpg></a>",
                                 "<a href=", "</"};
  constexpr size_t kPageBytes = 131072;
  for (const std::string& piece : kPieces) {
    std::string page;
    while (page.size() + piece.size() <= kPageBytes) page += piece;
    for (unsigned source : kSourcesPerParser) {
      for (char mode : {'\x0f', '\x0e'}) {  // WEB1 and WEB2, all formats
        std::string input = std::string{static_cast<char>(source), mode} + page;
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()),
                               input.size());
      }
    }
  }
}
