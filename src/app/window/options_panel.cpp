#include "app/window/options_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <algorithm>

namespace kenshin::window {

namespace {

struct EditionRow {
  base::Edition edition;
  const char* caption;
};

constexpr EditionRow kEditions[] = {
    {base::Edition::k2018, "2018年度版"},
    {base::Edition::k2024, "2024年度版"},
};

}  // namespace

OptionsPanel::OptionsPanel(const RunChoices& choices, int today_fiscal_year, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Options"));
  schema_ = new QCheckBox(kSchemaCaption, this);
  schema_->setObjectName(QStringLiteral("SchemaCheck"));
  schema_->setChecked(choices.schema);
  archive_checks_ = new QCheckBox(kArchiveChecksCaption, this);
  archive_checks_->setObjectName(QStringLiteral("ArchiveChecks"));
  archive_checks_->setChecked(choices.archive_checks);

  edition_ = new QComboBox(this);
  edition_->setObjectName(QStringLiteral("EditionChoice"));
  for (const EditionRow& row : kEditions) edition_->addItem(QString::fromUtf8(row.caption), static_cast<int>(row.edition));
  edition_->setCurrentIndex(edition_->findData(static_cast<int>(choices.edition)));

  fiscal_year_ = new QComboBox(this);
  fiscal_year_->setObjectName(QStringLiteral("FiscalYearChoice"));
  const int last = std::max(today_fiscal_year + 1, choices.fiscal_year);
  for (int year = base::kFirstYear2024; year <= last; ++year) {
    fiscal_year_->addItem(QStringLiteral("%1年度").arg(year), year);
  }
  fiscal_year_->setCurrentIndex(std::max(0, fiscal_year_->findData(choices.fiscal_year)));
  fiscal_year_->setEnabled(choices.edition == base::Edition::k2024);

  auto* edition_label = new QLabel(kEditionCaption, this);
  edition_label->setBuddy(edition_);
  auto* year_label = new QLabel(kFiscalYearCaption, this);
  year_label->setBuddy(fiscal_year_);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(schema_, 0, 0, 1, 2);
  grid->addWidget(archive_checks_, 0, 2, 1, 2);
  grid->addWidget(edition_label, 1, 0);
  grid->addWidget(edition_, 1, 1);
  grid->addWidget(year_label, 1, 2);
  grid->addWidget(fiscal_year_, 1, 3);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);

  auto emit_changed = [this] {
    fiscal_year_->setEnabled(edition_->currentData().toInt() == static_cast<int>(base::Edition::k2024));
    Q_EMIT changed(this->choices());
  };
  connect(schema_, &QCheckBox::toggled, this, emit_changed);
  connect(archive_checks_, &QCheckBox::toggled, this, emit_changed);
  connect(edition_, &QComboBox::currentIndexChanged, this, emit_changed);
  connect(fiscal_year_, &QComboBox::currentIndexChanged, this, emit_changed);
}

RunChoices OptionsPanel::choices() const {
  RunChoices choices;
  choices.schema = schema_->isChecked();
  choices.archive_checks = archive_checks_->isChecked();
  choices.edition = static_cast<base::Edition>(edition_->currentData().toInt());
  choices.fiscal_year = fiscal_year_->currentData().toInt();
  return choices;
}

}  // namespace kenshin::window
