// The program's own viewer for ERR.txt, a window of its own: the report
// decoded from code page 932 in a fixed-width face, titled with the archive
// and the time of the run, with find, print, save-as and a status line that
// counts the findings. The report file itself is never changed.
#pragma once

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <QToolBar>
#include <functional>

class QPrinter;

namespace kenshin::window {

// What the status line counts: finding lines, and the examinees they are about.
struct ReportCounts {
  int findings = 0;
  int examinees = 0;
  bool operator==(const ReportCounts&) const = default;
};
ReportCounts count_report(const QStringList& lines);

QString viewer_title(const QString& archive_path, const QDateTime& run_time);
QString status_text(const ReportCounts& counts);
QString default_save_name(const QString& archive_path);  // "<archive stem>_ERR.txt"

class ReportViewer : public QMainWindow {
  Q_OBJECT

 public:
  // A window of its own that closes with `owner`.
  explicit ReportViewer(QWidget* owner);

  // Reads the report at `path` (again) and shows it as the report of the
  // run on `archive_path` that started at `run_time`.
  void load(const QString& path, const QString& archive_path, const QDateTime& run_time);

  QStringList lines() const;
  QPlainTextEdit* text() const { return text_; }

  // Looks for the find field's text after (or before) the cursor, round the
  // end of the report; selects it and returns whether it was found.
  bool find_next(bool backwards = false);

  // Writes the report as it was read, byte for byte, to `path`.
  bool save_to(const QString& path);
  void print_to(QPrinter& printer);

  // Asks for the file name to save under; the file dialog unless replaced (tests).
  std::function<QString(QWidget*, const QString& suggested)> ask_save_path;

 private:
  void build_menus();
  void show_find_bar();
  void save_as();
  void print();

  QPlainTextEdit* text_ = nullptr;
  QToolBar* find_bar_ = nullptr;
  QLineEdit* find_field_ = nullptr;
  QLabel* counts_ = nullptr;
  QString report_path_;
  QString archive_path_;
  QByteArray report_bytes_;
};

}  // namespace kenshin::window
