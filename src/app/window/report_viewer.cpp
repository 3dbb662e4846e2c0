#include "app/window/report_viewer.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QSplitter>
#include <QStatusBar>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app/window/fonts.h"
#include "report/findings_csv.h"
#include "report/read_back.h"
#include "report/report.h"
#include "run/run_failure.h"

namespace kenshin::window {

namespace {

const QString kSaveFilter = QStringLiteral("テキストファイル (*.txt)");
const QString kCsvFilter = QStringLiteral("CSVファイル (*.csv)");
const QString kCannotSave = QStringLiteral("「%1」に保存できませんでした。");
const QString kAllKindsChoice = QStringLiteral("すべての種別");

QFont fixed_font() {
  QFont fixed = face_font(default_faces().fixed_gothic, 10);
  fixed.setStyleHint(QFont::Monospace);
  fixed.setFixedPitch(true);
  return fixed;
}

}  // namespace

ReportCounts count_findings(const std::vector<Finding>& findings) {
  return {static_cast<int>(findings.size()), report::count_examinees(findings)};
}

QString viewer_title(const QString& archive_path, const QDateTime& run_time) {
  return QStringLiteral("ERR.txt - %1 - %2")
      .arg(QFileInfo(archive_path).fileName(), run_time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
}

QString status_text(const ReportCounts& counts) {
  return QStringLiteral("指摘 %1 件　受診者 %2 名").arg(counts.findings).arg(counts.examinees);
}

QString hit_count_text(int shown, int all) { return QStringLiteral("%1 / %2 件").arg(shown).arg(all); }

QString default_save_name(const QString& archive_path) {
  return QFileInfo(archive_path).completeBaseName() + QStringLiteral("_ERR.txt");
}

QString default_csv_name(const QString& archive_path) {
  return QFileInfo(archive_path).completeBaseName() + QStringLiteral("_ERR.csv");
}

QString page_heading(const QString& archive_path, const QDateTime& run_time, int page, int pages) {
  return QStringLiteral("%1　%2　%3 / %4")
      .arg(QFileInfo(archive_path).fileName(), run_time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")))
      .arg(page)
      .arg(pages);
}

ReportViewer::ReportViewer(QWidget* owner) : QMainWindow(owner) {
  setObjectName(QStringLiteral("ReportViewer"));
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);

  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("ReportText"));
  text_->setReadOnly(true);
  // Findings are long single lines; wrapping them would hide where one ends.
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(fixed_font());

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("Tabs"));
  tabs_->addTab(build_workbench(), QStringLiteral("指摘一覧"));
  tabs_->addTab(text_, QStringLiteral("ERR.txt"));
  connect(tabs_, &QTabWidget::currentChanged, this, [this] {
    if (tabs_->currentWidget() == text_) show_text();
  });
  setCentralWidget(tabs_);

  find_bar_ = new QToolBar(this);
  find_bar_->setObjectName(QStringLiteral("FindBar"));
  find_bar_->setMovable(false);
  find_bar_->addWidget(new QLabel(QStringLiteral("検索："), find_bar_));
  find_field_ = new QLineEdit(find_bar_);
  find_field_->setObjectName(QStringLiteral("FindField"));
  find_bar_->addWidget(find_field_);
  connect(find_field_, &QLineEdit::returnPressed, this, [this] { find_next(); });
  addToolBar(Qt::BottomToolBarArea, find_bar_);
  find_bar_->hide();

  counts_ = new QLabel(this);
  counts_->setObjectName(QStringLiteral("Counts"));
  statusBar()->addPermanentWidget(counts_);

  ask_save_path = [](QWidget* parent, const QString& suggested) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("名前を付けて保存"), suggested, kSaveFilter);
  };
  ask_csv_path = [](QWidget* parent, const QString& suggested) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("CSVで保存"), suggested, kCsvFilter);
  };
  build_menus();

  QFontMetrics metrics(text_->font());
  resize(metrics.horizontalAdvance(QLatin1Char('0')) * 120, metrics.lineSpacing() * 44);
}

QWidget* ReportViewer::build_workbench() {
  auto* bench = new QWidget(this);
  filter_field_ = new QLineEdit(bench);
  filter_field_->setObjectName(QStringLiteral("FilterField"));
  filter_field_->setPlaceholderText(QStringLiteral("絞り込み（受診者名、番号、メッセージなど）"));
  filter_field_->setClearButtonEnabled(true);
  kind_choice_ = new QComboBox(bench);
  kind_choice_->setObjectName(QStringLiteral("KindChoice"));
  kind_choice_->addItem(kAllKindsChoice, -1);
  for (FindingKind kind : kAllKinds) kind_choice_->addItem(kind_words(kind), static_cast<int>(kind));
  hit_count_ = new QLabel(bench);
  hit_count_->setObjectName(QStringLiteral("HitCount"));

  auto* bar = new QHBoxLayout;
  bar->addWidget(new QLabel(QStringLiteral("絞り込み："), bench));
  bar->addWidget(filter_field_, 1);
  bar->addWidget(kind_choice_);
  bar->addWidget(hit_count_);

  model_ = new FindingsModel(this);
  filter_ = new FindingsFilter(this);
  filter_->setSourceModel(model_);
  table_ = new QTableView(bench);
  table_->setObjectName(QStringLiteral("FindingsTable"));
  table_->setModel(filter_);
  table_->setSortingEnabled(true);
  table_->sortByColumn(-1, Qt::AscendingOrder);  // report order until a heading is clicked
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setWordWrap(false);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setStretchLastSection(true);

  document_pane_ = new DocumentPane(bench);
  document_pane_->setObjectName(QStringLiteral("DocumentPane"));
  auto* splitter = new QSplitter(Qt::Vertical, bench);
  splitter->addWidget(table_);
  splitter->addWidget(document_pane_);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);

  auto* layout = new QVBoxLayout(bench);
  layout->addLayout(bar);
  layout->addWidget(splitter, 1);

  connect(filter_field_, &QLineEdit::textChanged, this, [this](const QString& text) {
    filter_->set_text(text);
    update_hit_count();
  });
  connect(kind_choice_, &QComboBox::currentIndexChanged, this, [this] {
    const int kind = kind_choice_->currentData().toInt();
    filter_->set_kind(kind < 0 ? std::nullopt : std::optional(static_cast<FindingKind>(kind)));
    update_hit_count();
  });
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { show_current_finding(); });
  connect(document_pane_, &DocumentPane::finding_chosen, this, [this](int index) { choose_finding(index); });
  return bench;
}

void ReportViewer::build_menus() {
  auto add = [this](QMenu* menu, const QString& text, const QList<QKeySequence>& keys, auto slot) {
    QAction* action = menu->addAction(text);
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  add(file, QStringLiteral("名前を付けて保存(&A)..."), {QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { save_as(); });
  add(file, QStringLiteral("CSVで保存(&V)..."), {}, [this] { save_csv(); });
  add(file, QStringLiteral("印刷(&P)..."), {QKeySequence(Qt::CTRL | Qt::Key_P)}, [this] { print(); });
  file->addSeparator();
  add(file, QStringLiteral("閉じる(&C)"), {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)}, [this] {
    // Esc in the find field leaves the search, not the report.
    if (find_field_->hasFocus()) {
      find_bar_->hide();
      text_->setFocus();
    } else {
      close();
    }
  });

  QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
  add(edit, QStringLiteral("コピー(&C)"), {QKeySequence(Qt::CTRL | Qt::Key_C)}, [this] { text_->copy(); });
  add(edit, QStringLiteral("すべて選択(&A)"), {QKeySequence(Qt::CTRL | Qt::Key_A)}, [this] { text_->selectAll(); });
  edit->addSeparator();
  add(edit, QStringLiteral("検索(&F)..."), {QKeySequence(Qt::CTRL | Qt::Key_F)}, [this] { show_find_bar(); });
  add(edit, QStringLiteral("次を検索(&N)"), {QKeySequence(Qt::Key_F3)}, [this] { find_next(false); });
  add(edit, QStringLiteral("前を検索(&V)"), {QKeySequence(Qt::SHIFT | Qt::Key_F3)}, [this] { find_next(true); });
}

void ReportViewer::load(RunReport report) {
  report_ = std::move(report);
  QFile file(report_.report_path);
  report_bytes_ = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  setWindowTitle(viewer_title(report_.documents.archive_path, report_.run_time));
  setWindowFilePath(report_.report_path);
  text_shown_ = false;
  text_->clear();
  if (tabs_->currentWidget() == text_) show_text();

  counts_->setText(status_text(count_findings(report_.findings)));
  model_->set_findings(std::move(report_.findings));
  report_.findings.clear();
  document_pane_->set_run(report_.documents, &model_->findings());
  table_->resizeColumnsToContents();
  update_hit_count();
  // The first finding's document at once: the desk usually starts at the top.
  if (model_->rowCount() > 0) table_->selectRow(0);
}

QStringList ReportViewer::lines() const {
  show_text();
  return text_->toPlainText().split(QLatin1Char('\n'));
}

void ReportViewer::show_text() const {
  if (text_shown_) return;
  text_shown_ = true;
  QStringList lines;
  for (const std::string& line :
       report::report_lines(std::string_view(report_bytes_.constData(), static_cast<size_t>(report_bytes_.size())))) {
    lines << QString::fromStdString(line);
  }
  text_->setPlainText(lines.join(QLatin1Char('\n')));
}

void ReportViewer::update_hit_count() { hit_count_->setText(hit_count_text(filter_->rowCount(), model_->rowCount())); }

void ReportViewer::show_current_finding() {
  const QModelIndex current = filter_->mapToSource(table_->currentIndex());
  if (current.isValid()) document_pane_->show_finding(current.row());
}

void ReportViewer::choose_finding(int index) {
  const QModelIndex shown = filter_->mapFromSource(model_->index(index, 0));
  if (shown.isValid()) {
    table_->setCurrentIndex(shown);
  } else {
    document_pane_->show_finding(index);  // filtered out of the table; shown all the same
  }
}

void ReportViewer::show_find_bar() {
  tabs_->setCurrentWidget(text_);
  find_bar_->show();
  find_field_->setFocus();
  find_field_->selectAll();
}

bool ReportViewer::find_next(bool backwards) {
  const QString wanted = find_field_->text();
  if (wanted.isEmpty()) {
    show_find_bar();
    return false;
  }
  tabs_->setCurrentWidget(text_);
  const QTextDocument::FindFlags flags = backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  if (text_->find(wanted, flags)) return true;
  // Round the end of the report, the way a text editor does.
  QTextCursor from = text_->textCursor();
  from.movePosition(backwards ? QTextCursor::End : QTextCursor::Start);
  QTextCursor found = text_->document()->find(wanted, from, flags);
  if (found.isNull()) {
    statusBar()->showMessage(QStringLiteral("「%1」は見つかりません").arg(wanted), 5000);
    return false;
  }
  text_->setTextCursor(found);
  return true;
}

bool ReportViewer::save_to(const QString& path) {
  QSaveFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(report_bytes_) == report_bytes_.size() && file.commit();
}

bool ReportViewer::save_csv_to(const QString& path) {
  try {
    report::write_findings_csv(path.toStdString(), model_->findings());
    return true;
  } catch (const RunFailure&) {
    return false;
  }
}

void ReportViewer::save_as() {
  const QString folder = QFileInfo(report_.report_path).absolutePath();
  const QString path = ask_save_path(this, QDir(folder).filePath(default_save_name(report_.documents.archive_path)));
  if (path.isEmpty()) return;
  if (!save_to(path)) QMessageBox::warning(this, windowTitle(), kCannotSave.arg(QDir::toNativeSeparators(path)));
}

void ReportViewer::save_csv() {
  const QString folder = QFileInfo(report_.report_path).absolutePath();
  const QString path = ask_csv_path(this, QDir(folder).filePath(default_csv_name(report_.documents.archive_path)));
  if (path.isEmpty()) return;
  if (!save_csv_to(path)) QMessageBox::warning(this, windowTitle(), kCannotSave.arg(QDir::toNativeSeparators(path)));
}

void ReportViewer::print_to(QPrinter& printer) {
  show_text();
  printer.setDocName(windowTitle());
  QPainter painter;
  if (!painter.begin(&printer)) return;
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  const QFont body_font = fixed_font();
  const QFont heading_font(body_font.family(), 9);
  const QFontMetricsF heading_metrics(heading_font, &printer);
  const qreal heading_height = heading_metrics.lineSpacing() * 2;

  QTextDocument body;
  body.documentLayout()->setPaintDevice(&printer);
  body.setDefaultFont(body_font);
  body.setPlainText(text_->toPlainText());
  body.setPageSize(QSizeF(page.width(), page.height() - heading_height));
  const int pages = body.pageCount();
  const qreal body_height = page.height() - heading_height;
  for (int k = 0; k < pages; ++k) {
    if (k > 0) printer.newPage();
    painter.setFont(heading_font);
    painter.drawText(QRectF(0, 0, page.width(), heading_metrics.lineSpacing()), Qt::AlignLeft | Qt::AlignVCenter,
                     page_heading(report_.documents.archive_path, report_.run_time, k + 1, pages));
    const qreal rule = heading_metrics.lineSpacing() * 1.5;
    painter.drawLine(QPointF(0, rule), QPointF(page.width(), rule));
    painter.save();
    painter.translate(0, heading_height - k * body_height);
    body.drawContents(&painter, QRectF(0, k * body_height, page.width(), body_height));
    painter.restore();
  }
  painter.end();
}

void ReportViewer::print() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintPreviewDialog preview(&printer, this);
  preview.setWindowTitle(QStringLiteral("印刷プレビュー"));
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { print_to(*p); });
  preview.exec();
}

}  // namespace kenshin::window
