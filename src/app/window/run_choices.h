// What the user chooses for the next check run besides the archive: the
// further checks and the edition of the national standard with its fiscal
// year. The window remembers them from one run, and one start, to the next.
#pragma once

#include <QString>

#include "base/edition.h"
#include "extrachecks/extra_checks.h"
#include "run/run_state.h"

namespace kenshin::window {

struct RunChoices {
  bool schema = false;          // also validate against the national schemas
  bool archive_checks = false;  // also compare the index and summary documents with the archive
  base::Edition edition = base::Edition::k2018;
  int fiscal_year = base::kFirstYear2024;  // read only in the 2024 edition
  bool operator==(const RunChoices&) const = default;
};

// The window's title line: the 2018 edition's own, or the chosen fiscal
// year in the era, e.g. 「令和８年度　特定健診簡易データチェック」 for 2026.
QString title_caption(const RunChoices& choices);

// The run's edition and fiscal year, as the command line sets them.
void apply_edition(const RunChoices& choices, RunState& run);

extrachecks::ExtraCheckOptions extra_check_options(const RunChoices& choices);

}  // namespace kenshin::window
