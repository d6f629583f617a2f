// A fuzz target run over its corpus, one file after another: natively, under the unit tests' sanitizers, every
// seed and every input the fuzzer kept is a regression test of the target's own checks.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i)
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      std::ifstream in(entry.path(), std::ios::binary);
      const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      static const uint8_t none = 0;  // as libFuzzer does, never a null pointer, even for an empty input
      LLVMFuzzerTestOneInput(bytes.empty() ? &none : bytes.data(), bytes.size());
      ++inputs;
    }
  return inputs > 0 ? 0 : 1;  // a corpus that was not found proves nothing
}
