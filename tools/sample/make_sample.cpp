// Builds the sample submission archives that ./run.sh checks: five examinees
// laid out like a real submission, with a few deliberate faults so that the
// report shows what findings look like, and the FY2024 twin, with faults
// and without.
//
//   kenshin-make-sample OUT_FOLDER   → OUT_FOLDER/1311234567_95899071_201812060_1.zip
//                                      OUT_FOLDER/2024/1311234567_95899071_202412060_1.zip
//                                      OUT_FOLDER/2024-clean/1311234567_95899071_202412060_1.zip

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
    const std::string out = argv[1];
    fs::create_directories(out + "/2024");
    fs::create_directories(out + "/2024-clean");
    for (const auto& [path, archive] : {std::pair{out + "/" + kArchiveName, sample_archive()},
                                        std::pair{out + "/2024/" + kSample2024Name, sample_archive_2024(true)},
                                        std::pair{out + "/2024-clean/" + kSample2024Name, sample_archive_2024(false)}}) {
      write_zip(path, archive.entries);
      std::printf("%s\n", path.c_str());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kenshin-make-sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
