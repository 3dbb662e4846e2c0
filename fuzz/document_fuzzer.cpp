// One document's bytes, checked as the data document and as the claims
// document of a pair: the claims pre-read, the data checks and the claims
// checks. It is linked with the cross-checking copy of the XML access: every
// answer of the fast question engine is held against libxml2's own XPath
// evaluator, and a difference aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "claimchecks/claims_check.h"
#include "datachecks/data_check.h"
#include "docs/pair_loop.h"
#include "docs/xml.h"
#include "report/report.h"
#include "run/run_failure.h"

namespace {

namespace fs = std::filesystem;

// Made under $TMPDIR on the first input and left there: the fuzzer may end
// the process at any time (tools/fuzz.sh removes its $TMPDIR afterwards).
const fs::path& folder() {
  static const fs::path* const path = [] {
    std::string templ = (fs::temp_directory_path() / "kenshin-document-fuzzer.XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr) std::abort();
    auto made = new fs::path(templ);
    fs::create_directories(*made / "DATA");
    fs::create_directories(*made / "CLAIMS");
    return made;
  }();
  return *path;
}

void write(const fs::path& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path& dir = folder();
  write(dir / "DATA" / "h1.xml", data, size);
  write(dir / "CLAIMS" / "c1.xml", data, size);

  kenshin::RunState run;
  run.desktop_folder = dir.string();
  kenshin::report::start_report(run);
  run.data_folder = (dir / "DATA").string();
  run.claims_folder = (dir / "CLAIMS").string();
  run.data_file_list = {"h1.xml"};
  run.claims_file_list = {"c1.xml"};
  run.pair_count = 1;
  run.pair_index = 1;
  try {
    std::optional<kenshin::docs::Document> claims = kenshin::docs::claims_pre_read(run);
    std::optional<kenshin::docs::Document> data =
        kenshin::docs::load_document(kenshin::docs::data_document_path(run), kenshin::docs::Bindings::kData);
    kenshin::datachecks::check_data_document(run, data ? &*data : nullptr);
    kenshin::claimchecks::check_claims_document(run, claims ? &*claims : nullptr);
  } catch (const kenshin::RunFailure&) {
    // Text that is not a number where a rule needs one ends the run as a failure; that is fine here.
  }
  kenshin::report::abandon_report(run);
  return 0;
}
