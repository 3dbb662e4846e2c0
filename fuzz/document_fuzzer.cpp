// One document's bytes, checked as the data document and as the claims
// document of a pair: the claims pre-read, the data checks and the claims
// checks. It turns the XML access's cross-check on: every answer of the fast
// question engine is held against libxml2's own XPath evaluator, and a
// difference aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "claimchecks/claims_check.h"
#include "datachecks/data_check.h"
#include "docs/pair_loop.h"
#include "docs/xml.h"
#include "docs/xml_allocation.h"
#include "report/report.h"
#include "run/run_failure.h"

namespace {

namespace fs = std::filesystem;

// The report goes to a folder made under $TMPDIR on the first input and left
// there: the fuzzer may end the process at any time (tools/fuzz.sh removes its
// $TMPDIR afterwards).
const fs::path& folder() {
  static const fs::path* const path = [] {
    std::string templ = (fs::temp_directory_path() / "kenshin-document-fuzzer.XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr) std::abort();
    return new fs::path(templ);
  }();
  return *path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("KENSHIN_XPATH_CROSSCHECK", "1", 1);  // before the first question, which reads it
  kenshin::docs::set_up_xml_allocation();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace docs = kenshin::docs;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  kenshin::RunState run;
  run.desktop_folder = folder().string();
  kenshin::report::start_report(run);
  run.data_file_list = {"h1.xml"};
  run.claims_file_list = {"c1.xml"};
  run.pair_count = 1;
  run.pair_index = 1;
  try {
    std::optional<docs::Document> claims = docs::parse_document(bytes, docs::Bindings::kClaims);
    docs::claims_pre_read(run, claims ? &*claims : nullptr);
    std::optional<docs::Document> data_document = docs::parse_document(bytes, docs::Bindings::kData);
    kenshin::datachecks::check_data_document(run, data_document ? &*data_document : nullptr);
    kenshin::claimchecks::check_claims_document(run, claims ? &*claims : nullptr);
  } catch (const kenshin::RunFailure&) {
    // Text that is not a number where a rule needs one ends the run as a failure; that is fine here.
  }
  kenshin::report::abandon_report(run);
  return 0;
}
