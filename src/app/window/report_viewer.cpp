#include "app/window/report_viewer.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QStatusBar>
#include <QTextDocument>

#include "app/window/fonts.h"
#include "report/report.h"

namespace kenshin::window {

namespace {

const QString kDataFileHeader = QStringLiteral("○健診情報　");
const QString kClaimsFileHeader = QStringLiteral("○決済情報　");
const QString kNameMissingLine = QStringLiteral("　受診者名がありません");
const QString kSaveFilter = QStringLiteral("テキストファイル (*.txt)");

}  // namespace

ReportCounts count_report(const QStringList& lines) {
  ReportCounts counts;
  const QString no_error = QString::fromUtf8(report::kNoErrorLine.data(), report::kNoErrorLine.size());
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QString& line = lines[i];
    const bool before_name_missing = i + 1 < lines.size() && lines[i + 1] == kNameMissingLine;
    if (line.isEmpty()) {
      // An empty line opens an examinee's record; the next line names the examinee.
      ++counts.examinees;
      ++i;
    } else if (before_name_missing && !line.startsWith(QChar(0x3000))) {
      ++counts.examinees;  // the document's file name stands in for the missing name
    } else if (!line.startsWith(kDataFileHeader) && !line.startsWith(kClaimsFileHeader) && line != no_error) {
      ++counts.findings;
    }
  }
  return counts;
}

QString viewer_title(const QString& archive_path, const QDateTime& run_time) {
  return QStringLiteral("ERR.txt - %1 - %2")
      .arg(QFileInfo(archive_path).fileName(), run_time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
}

QString status_text(const ReportCounts& counts) {
  return QStringLiteral("指摘 %1 件　受診者 %2 名").arg(counts.findings).arg(counts.examinees);
}

QString default_save_name(const QString& archive_path) {
  return QFileInfo(archive_path).completeBaseName() + QStringLiteral("_ERR.txt");
}

ReportViewer::ReportViewer(QWidget* owner) : QMainWindow(owner) {
  setObjectName(QStringLiteral("ReportViewer"));
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);

  text_ = new QPlainTextEdit(this);
  text_->setReadOnly(true);
  // Findings are long single lines; wrapping them would hide where one ends.
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont fixed = face_font(default_faces().fixed_gothic, 10);
  fixed.setStyleHint(QFont::Monospace);
  fixed.setFixedPitch(true);
  text_->setFont(fixed);
  setCentralWidget(text_);

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
  build_menus();

  QFontMetrics metrics(text_->font());
  resize(metrics.horizontalAdvance(QLatin1Char('0')) * 100, metrics.lineSpacing() * 32);
}

void ReportViewer::build_menus() {
  auto add = [this](QMenu* menu, const QString& text, QList<QKeySequence> keys, auto slot) {
    QAction* action = menu->addAction(text);
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  add(file, QStringLiteral("名前を付けて保存(&A)..."), {QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { save_as(); });
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

void ReportViewer::load(const QString& path, const QString& archive_path, const QDateTime& run_time) {
  report_path_ = path;
  archive_path_ = archive_path;
  QFile file(path);
  report_bytes_ = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  setWindowTitle(viewer_title(archive_path, run_time));
  setWindowFilePath(path);
  QStringList lines;
  for (const std::string& line : report::read_report_lines(path.toStdString())) lines << QString::fromStdString(line);
  text_->setPlainText(lines.join(QLatin1Char('\n')));
  counts_->setText(status_text(count_report(lines)));
}

QStringList ReportViewer::lines() const { return text_->toPlainText().split(QLatin1Char('\n')); }

void ReportViewer::show_find_bar() {
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

void ReportViewer::save_as() {
  const QString folder = QFileInfo(report_path_).absolutePath();
  const QString path = ask_save_path(this, QDir(folder).filePath(default_save_name(archive_path_)));
  if (path.isEmpty()) return;
  if (!save_to(path)) {
    QMessageBox::warning(this, windowTitle(),
                         QStringLiteral("「%1」に保存できませんでした。").arg(QDir::toNativeSeparators(path)));
  }
}

void ReportViewer::print_to(QPrinter& printer) {
  printer.setDocName(windowTitle());
  text_->document()->print(&printer);
}

void ReportViewer::print() {
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("印刷"));
  if (dialog.exec() == QDialog::Accepted) print_to(printer);
}

}  // namespace kenshin::window
