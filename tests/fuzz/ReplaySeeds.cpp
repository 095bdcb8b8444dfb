// The fuzzers' harnesses as plain programs: each file in the folders named
// on the command line (and the empty input) is given to the harness once,
// so the harnesses keep building against the library and their seeds run
// in every build, the sanitizer build included. scripts/fuzz.sh runs the
// same harnesses under libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  LLVMFuzzerTestOneInput(nullptr, 0);
  for (int i = 1; i < argc; ++i) {
    int inputs = 0;
    std::error_code e;
    for (const auto& entry : std::filesystem::directory_iterator(argv[i], e)) {
      std::ifstream in(entry.path(), std::ios::binary);
      const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++inputs;
    }
    std::printf("%s: %d inputs\n", argv[i], inputs);
    if (inputs == 0) return 1;  // the seeds are missing
  }
  return 0;
}
