// Replays fuzz inputs through the fuzz target without libFuzzer: every file named on the command line, or
// every file of the folders named. Exits non-zero when an input fails (the target traps on a broken promise).
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static int Replay(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return 1;
}

int main(int argc, char** argv) {
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    struct stat st;
    if (stat(argv[i], &st) != 0) { std::fprintf(stderr, "%s: cannot read\n", argv[i]); return 2; }
    if (S_ISDIR(st.st_mode)) {
      DIR* d = opendir(argv[i]);
      while (dirent* e = d ? readdir(d) : nullptr)
        if (e->d_name[0] != '.') count += Replay(std::string(argv[i]) + "/" + e->d_name);
      if (d) closedir(d);
    } else {
      count += Replay(argv[i]);
    }
  }
  std::printf("replayed %d inputs\n", count);
  return 0;
}
