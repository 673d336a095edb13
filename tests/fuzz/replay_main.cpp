// Without libFuzzer (a g++ build): runs a fuzz target over the given
// corpus files and over every prefix of each (inputs that end anywhere,
// each in a buffer of exactly its size); then the target's own extra
// inputs, if it has any (the page target: long pages of one repeated piece
// for every parser).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Defined by a target with inputs of its own beyond the corpus.
__attribute__((weak)) void RunExtraInputs();

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 1;
    }
    std::string input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (size_t n = 0; n <= input.size(); ++n) {
      std::string prefix = input.substr(0, n);
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(prefix.data()), n);
    }
  }
  if (RunExtraInputs) RunExtraInputs();
  std::printf("%d corpus files and their prefixes run\n", argc - 1);
  return 0;
}
