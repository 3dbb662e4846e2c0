#include "app/window/document_pane.h"

#include <QHBoxLayout>
#include <QSplitter>
#include <QTextBlock>

#include "app/window/fonts.h"
#include "docs/xml.h"
#include "platform/zip_archive.h"

namespace kenshin::window {

namespace {

const QString kCannotRead = QStringLiteral("「%1」を読めません。");
const QString kNotInArchive = QStringLiteral("「%1」はzipファイルの中にありません。");
const QString kCannotLayOut = QStringLiteral("「%1」はXMLとして読めません。");
const QString kNotAtHand =
    QStringLiteral("「%1」は表示できません。前回の結果を開いたため、zipファイルのどこにあるかがわかりません。");

QString listed(const Finding& f) {
  const QString message = QString::fromStdString(f.message);
  return f.line > 0 ? QStringLiteral("%1行　%2").arg(f.line).arg(message) : message;
}

}  // namespace

DocumentPane::DocumentPane(QWidget* parent) : QWidget(parent) {
  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("DocumentText"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont fixed = face_font(default_faces().fixed_gothic, 10);
  fixed.setStyleHint(QFont::Monospace);
  fixed.setFixedPitch(true);
  text_->setFont(fixed);

  document_findings_ = new QListWidget(this);
  document_findings_->setObjectName(QStringLiteral("DocumentFindings"));
  connect(document_findings_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    Q_EMIT finding_chosen(item->data(Qt::UserRole).toInt());
  });
  connect(document_findings_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    Q_EMIT finding_chosen(item->data(Qt::UserRole).toInt());
  });

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(text_);
  splitter->addWidget(document_findings_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);
}

DocumentPane::~DocumentPane() = default;

void DocumentPane::set_run(const ArchiveDocuments& documents, const std::vector<Finding>* findings) {
  documents_ = documents;
  findings_ = findings;
  archive_.reset();
  shown_document_.clear();
  laid_out_.reset();
  text_->clear();
  document_findings_->clear();
  mark_line(0);
}

std::optional<docs::LaidOutDocument> DocumentPane::read_document(const std::string& document, FindingKind kind,
                                                                 QString& why) {
  const QString name = QString::fromStdString(document);
  // A report opened again later holds only ERR.txt: the archive's folders are not known.
  if (documents_.data_folder.empty() && documents_.claims_folder.empty() && documents_.top_folder.empty()) {
    why = kNotAtHand.arg(name);
    return std::nullopt;
  }
  try {
    if (!archive_) {
      auto archive = std::make_unique<platform::ZipArchive>();
      if (archive->open(documents_.archive_path.toStdString()) != platform::ArchiveResult::kOk) {
        why = kCannotRead.arg(documents_.archive_path);
        return std::nullopt;
      }
      archive_ = std::move(archive);
    }
    // A document's own folder first; the further checks also report on files of the top folder.
    const std::string* folders[] = {&documents_.data_folder, &documents_.claims_folder, &documents_.top_folder};
    if (kind == FindingKind::kSettlement) std::swap(folders[0], folders[1]);
    for (const std::string* folder : folders) {
      if (folder->empty()) continue;
      const std::string path = *folder + "/" + document;
      if (!archive_->is_file(path)) continue;
      platform::ZipReader reader(*archive_);
      std::optional<std::string_view> bytes = reader.read(path, docs::kMaxDocumentSize);
      std::optional<docs::LaidOutDocument> laid_out = bytes ? docs::lay_out_document(*bytes) : std::nullopt;
      if (!laid_out) why = kCannotLayOut.arg(name);
      return laid_out;
    }
    why = kNotInArchive.arg(name);
  } catch (const platform::DamagedArchive&) {
    // The archive changed or broke since the run; the next choice opens it afresh.
    archive_.reset();
    why = kCannotRead.arg(documents_.archive_path);
  }
  return std::nullopt;
}

void DocumentPane::show_finding(int index) {
  if (findings_ == nullptr || index < 0 || index >= static_cast<int>(findings_->size())) return;
  const Finding& finding = (*findings_)[static_cast<size_t>(index)];
  const bool has_document = finding.kind != FindingKind::kArchive && !finding.document.empty();
  if (!has_document) {
    shown_document_.clear();
    laid_out_.reset();
    text_->clear();
    document_findings_->clear();
    mark_line(0);
    return;
  }
  if (finding.document != shown_document_) {
    shown_document_ = finding.document;
    QString why;
    laid_out_ = read_document(finding.document, finding.kind, why);
    text_->setPlainText(laid_out_ ? QString::fromStdString(laid_out_->text) : why);
    document_findings_->clear();
    for (size_t i = 0; i < findings_->size(); ++i) {
      const Finding& other = (*findings_)[i];
      if (other.kind == FindingKind::kArchive || other.document != finding.document) continue;
      auto* item = new QListWidgetItem(listed(other), document_findings_);
      item->setData(Qt::UserRole, static_cast<int>(i));
    }
  }
  for (int row = 0; row < document_findings_->count(); ++row) {
    QListWidgetItem* item = document_findings_->item(row);
    if (item->data(Qt::UserRole).toInt() == index) document_findings_->setCurrentItem(item);
  }
  mark_line(laid_out_ ? laid_out_->shown_line(finding.line) : 0);
}

void DocumentPane::mark_line(int line) {
  marked_line_ = line;
  if (line <= 0) {
    text_->setExtraSelections({});
    text_->moveCursor(QTextCursor::Start);
    return;
  }
  QTextEdit::ExtraSelection mark;
  mark.cursor = QTextCursor(text_->document()->findBlockByNumber(line - 1));
  mark.format.setBackground(palette().color(QPalette::Highlight).lighter(160));
  mark.format.setProperty(QTextFormat::FullWidthSelection, true);
  text_->setExtraSelections({mark});
  text_->setTextCursor(mark.cursor);
  text_->centerCursor();
}

}  // namespace kenshin::window
