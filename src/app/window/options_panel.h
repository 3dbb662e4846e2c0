// The choices under the window's notice: the two further checks as check
// boxes, the edition and, for the 2024 edition, the fiscal year.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QWidget>

#include "app/window/run_choices.h"

namespace kenshin::window {

inline const QString kSchemaCaption = QStringLiteral("スキーマ検証");
inline const QString kArchiveChecksCaption = QStringLiteral("集計情報との照合");
inline const QString kEditionCaption = QStringLiteral("様式の版");
inline const QString kFiscalYearCaption = QStringLiteral("対象年度");

class OptionsPanel : public QWidget {
  Q_OBJECT

 public:
  // Fiscal years from 2024 up to the year after `today_fiscal_year` (and
  // the year of `choices`, should that be later).
  OptionsPanel(const RunChoices& choices, int today_fiscal_year, QWidget* parent);

  RunChoices choices() const;

 Q_SIGNALS:
  void changed(const kenshin::window::RunChoices& choices);

 private:
  QCheckBox* schema_ = nullptr;
  QCheckBox* archive_checks_ = nullptr;
  QComboBox* edition_ = nullptr;
  QComboBox* fiscal_year_ = nullptr;
};

}  // namespace kenshin::window
