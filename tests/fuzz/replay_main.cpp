// Without libFuzzer (a g++ build): runs a fuzz target over the given
// corpus files and over every prefix of each (inputs that end anywhere);
// then the target's own extra inputs, if it has any (the page target: 1 MiB
// pages of one repeated byte or tag for every SourceId).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Defined by a target with inputs of its own beyond the corpus.
__attribute__((weak)) void RunExtraInputs();

namespace {

void RunOne(const std::string& input) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()),
                         input.size());
}

void RunWithPrefixes(const std::string& input) {
  for (size_t n = 0; n <= input.size(); ++n) RunOne(input.substr(0, n));
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
  if (RunExtraInputs) RunExtraInputs();
  std::printf("%d corpus files and their prefixes run\n", files);
  return 0;
}
