#include "app/window/run_choices.h"

namespace kenshin::window {

namespace {

const QString kTitle2018 = QStringLiteral("平成３０年度　特定健診簡易データチェック");
const QString kTitleForYear = QStringLiteral("%1年度　特定健診簡易データチェック");

}  // namespace

QString title_caption(const RunChoices& choices) {
  if (choices.edition != base::Edition::k2024) return kTitle2018;
  return kTitleForYear.arg(QString::fromStdString(base::era_year(choices.fiscal_year)));
}

void apply_edition(const RunChoices& choices, RunState& run) {
  run.edition = choices.edition;
  run.fiscal_year = choices.edition == base::Edition::k2024 ? choices.fiscal_year : base::kEdition2018Year;
}

extrachecks::ExtraCheckOptions extra_check_options(const RunChoices& choices) {
  extrachecks::ExtraCheckOptions options;
  options.schema = choices.schema;
  options.archive_checks = choices.archive_checks;
  return options;
}

}  // namespace kenshin::window
