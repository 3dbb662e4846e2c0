#include "app/window/findings_model.h"

namespace kenshin::window {

namespace {

constexpr const char* kHeaders[kColumnCount] = {
    "番号", "受診者名", "保険者番号", "受診券整理番号", "種別", "ファイル", "項目", "値", "メッセージ",
};

QString text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QString kind_words(FindingKind kind) {
  switch (kind) {
    case FindingKind::kArchive: return QStringLiteral("zipファイル");
    case FindingKind::kData: return QStringLiteral("健診情報");
    case FindingKind::kSettlement: return QStringLiteral("決済情報");
    case FindingKind::kSchema: return QStringLiteral("スキーマ");
    case FindingKind::kCrossCheck: return QStringLiteral("照合");
  }
  return {};
}

void FindingsModel::set_findings(std::vector<Finding> findings) {
  beginResetModel();
  findings_ = std::move(findings);
  endResetModel();
}

int FindingsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(findings_.size());
}

int FindingsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant FindingsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != kSortRole)) return {};
  const Finding& f = findings_.at(static_cast<size_t>(index.row()));
  switch (index.column()) {
    case kNumberColumn: return role == kSortRole ? QVariant(index.row()) : QVariant(QString::number(index.row() + 1));
    case kNameColumn: return text(f.examinee_name);
    case kInsurerColumn: return text(f.insurer_number);
    case kTicketColumn: return text(f.ticket_number);
    case kKindColumn: return role == kSortRole ? QVariant(static_cast<int>(f.kind)) : QVariant(kind_words(f.kind));
    case kDocumentColumn: return text(f.document);
    case kItemColumn: return text(f.item_code);
    case kValueColumn: return text(f.value);
    case kMessageColumn: return text(f.message);
  }
  return {};
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumnCount) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return QString::fromUtf8(kHeaders[section]);
}

FindingsFilter::FindingsFilter(QObject* parent) : QSortFilterProxyModel(parent) {
  setSortRole(FindingsModel::kSortRole);
  setSortLocaleAware(true);
}

void FindingsFilter::set_text(const QString& text) {
  text_ = text;
  invalidateRowsFilter();
}

void FindingsFilter::set_kind(std::optional<FindingKind> kind) {
  kind_ = kind;
  invalidateRowsFilter();
}

bool FindingsFilter::filterAcceptsRow(int source_row, const QModelIndex& source_parent) const {
  const auto* model = static_cast<const FindingsModel*>(sourceModel());
  const Finding& f = model->findings().at(static_cast<size_t>(source_row));
  if (kind_ && f.kind != *kind_) return false;
  if (text_.isEmpty()) return true;
  for (int column = 0; column < kColumnCount; ++column) {
    const QString cell = model->index(source_row, column, source_parent).data().toString();
    if (cell.contains(text_, Qt::CaseInsensitive)) return true;
  }
  return false;
}

}  // namespace kenshin::window
