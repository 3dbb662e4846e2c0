// The run's finding records as a table for the viewer: one row per record in
// report order, a proxy that sorts by any column and filters by text and by
// kind, and the counts the status line shows.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>
#include <optional>
#include <vector>

#include "run/finding.h"

namespace kenshin::window {

enum FindingColumn {
  kNumberColumn,  // the finding's place in the report, from 1
  kNameColumn,
  kInsurerColumn,
  kTicketColumn,
  kKindColumn,
  kDocumentColumn,
  kItemColumn,
  kValueColumn,
  kMessageColumn,
  kColumnCount,
};

// 「健診情報」, 「決済情報」, …: the kind as the desk says it.
QString kind_words(FindingKind kind);
inline constexpr FindingKind kAllKinds[] = {FindingKind::kArchive, FindingKind::kData, FindingKind::kSettlement,
                                            FindingKind::kSchema, FindingKind::kCrossCheck};

class FindingsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit FindingsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  void set_findings(std::vector<Finding> findings);
  const std::vector<Finding>& findings() const { return findings_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  // Qt::DisplayRole: the cell's text; kSortRole: what the column sorts by.
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  static constexpr int kSortRole = Qt::UserRole;

 private:
  std::vector<Finding> findings_;
};

// Sorting keeps the report's order among equal cells (a stable sort), so
// sorting by name keeps each examinee's findings together and in order.
class FindingsFilter : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  explicit FindingsFilter(QObject* parent = nullptr);

  // Rows where some cell holds the text (case ignored); every row for "".
  void set_text(const QString& text);
  // Rows of one kind only; every kind for nullopt.
  void set_kind(std::optional<FindingKind> kind);

 protected:
  bool filterAcceptsRow(int source_row, const QModelIndex& source_parent) const override;

 private:
  QString text_;
  std::optional<FindingKind> kind_;
};

}  // namespace kenshin::window
