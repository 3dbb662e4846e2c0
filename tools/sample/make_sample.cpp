// Builds the sample submission archive that ./run.sh checks: five examinees
// laid out like a real submission, with a few deliberate faults so that the
// report shows what findings look like.
//
//   kenshin-make-sample OUT_FOLDER   → OUT_FOLDER/1311234567_95899071_201812060_1.zip

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/sample_archive.h"

namespace fs = std::filesystem;
using namespace kenshin::testkit;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kenshin-make-sample OUT_FOLDER\n");
    return 2;
  }
  try {
    fs::create_directories(argv[1]);
    std::string path = std::string(argv[1]) + "/" + kArchiveName;
    write_zip(path, sample_archive().entries);
    std::printf("%s\n", path.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kenshin-make-sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
