// Replays fuzz inputs through a fuzz target's entry without libFuzzer, so that the kept corpus
// runs with every native and sanitizer test run:
//
//   fuzz_X_replay FILE-OR-FOLDER...
//
// Every file named, and every file inside a folder named (its subfolders too, in name order),
// is read and handed once to LLVMFuzzerTestOneInput in a buffer of exactly its size, as
// libFuzzer hands it, so that the sanitizers see a read past the end. A target reports a
// fault by aborting; the replay names the input first, so that the failing file is known.
// Finding no input at all is a failure too: a corpus folder that moved would otherwise pass.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path given(argv[i]);
    std::error_code ec;
    if (fs::is_directory(given, ec)) {
      std::vector<fs::path> found;
      for (fs::recursive_directory_iterator it(given, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec)) found.push_back(it->path());
      std::sort(found.begin(), found.end());
      inputs.insert(inputs.end(), found.begin(), found.end());
    } else if (fs::is_regular_file(given, ec)) {
      inputs.push_back(given);
    } else {
      std::fprintf(stderr, "fuzz replay: no file or folder %s\n", argv[i]);
    }
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...\n", argv[0]);
    return 2;
  }
  const std::vector<fs::path> inputs = Inputs(argc, argv);
  if (inputs.empty()) {
    std::fprintf(stderr, "fuzz replay: no inputs found\n");
    return 1;
  }
  for (const fs::path& input : inputs) {
    std::ifstream in(input, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
      std::fprintf(stderr, "fuzz replay: cannot read %s\n", input.string().c_str());
      return 1;
    }
    std::fprintf(stderr, "%s\n", input.string().c_str());
    std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[bytes.size()]);
    std::memcpy(data.get(), bytes.data(), bytes.size());
    LLVMFuzzerTestOneInput(data.get(), bytes.size());
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}
