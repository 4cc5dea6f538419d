// Runs a fuzz target's entry on each file of the directories (or files)
// named on the command line, for builds without the fuzzing engine: the
// seed corpus, and every input a fuzzer found a fault with, stay tests of
// the normal and the sanitizer builds.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "xerrors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) __attribute__((weak));

namespace {

void Collect(const std::string &path, std::vector<std::string> *files) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return;
  if (!S_ISDIR(st.st_mode)) {
    files->push_back(path);
    return;
  }
  DIR *d = ::opendir(path.c_str());
  if (!d) return;
  while (struct dirent *e = ::readdir(d))
    if (e->d_name[0] != '.') Collect(path + "/" + e->d_name, files);
  ::closedir(d);
}

}  // namespace

int main(int argc, char **argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) Collect(argv[i], &files);
  std::sort(files.begin(), files.end());
  for (const std::string &f : files) {
    std::ifstream in(f, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("%zu inputs\n", files.size());
  // An X protocol error on the module's connection is a fault.
  if (qevtest::xErrorCount() > 0) {
    std::fprintf(stderr, "%d X protocol errors\n", qevtest::xErrorCount());
    return 1;
  }
  return files.empty() ? 1 : 0;
}
