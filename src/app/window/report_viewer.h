// The program's own viewer of a run's report, a window of its own, titled
// with the archive and the time of the run. Its first tab is a workbench over
// the run's finding records: a table that sorts by any column and filters by
// text and kind, and below it the document of the chosen finding with the
// finding's line marked. The second tab is ERR.txt as written, decoded from
// code page 932 in a fixed-width face, with find. Save as, CSV, print
// (with a preview) and a status line that counts findings and examinees.
// The report file itself is never changed.
#pragma once

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <functional>
#include <vector>

#include "app/window/document_pane.h"
#include "app/window/findings_model.h"
#include "run/finding.h"

class QPrinter;

namespace kenshin::window {

// What one run hands its viewer.
struct RunReport {
  QString report_path;  // ERR.txt
  ArchiveDocuments documents;
  QDateTime run_time;
  std::vector<Finding> findings;  // in report order
};

// What the status line counts: the findings, and the examinees they are about.
struct ReportCounts {
  int findings = 0;
  int examinees = 0;
  bool operator==(const ReportCounts&) const = default;
};
ReportCounts count_findings(const std::vector<Finding>& findings);

QString viewer_title(const QString& archive_path, const QDateTime& run_time);
QString status_text(const ReportCounts& counts);
QString hit_count_text(int shown, int all);
QString default_save_name(const QString& archive_path);  // "<archive stem>_ERR.txt"
QString default_csv_name(const QString& archive_path);   // "<archive stem>_ERR.csv"
// The heading of every printed page: the archive, the run's time and the page.
QString page_heading(const QString& archive_path, const QDateTime& run_time, int page, int pages);

class ReportViewer : public QMainWindow {
  Q_OBJECT

 public:
  // A window of its own that closes with `owner`.
  explicit ReportViewer(QWidget* owner);

  // Reads the report (again) and shows it with the run's findings.
  void load(RunReport report);

  QStringList lines() const;
  QPlainTextEdit* text() const { return text_; }
  QTableView* table() const { return table_; }
  DocumentPane* document_pane() const { return document_pane_; }
  QTabWidget* tabs() const { return tabs_; }

  // Looks for the find field's text after (or before) the cursor, round the
  // end of the report; selects it and returns whether it was found.
  bool find_next(bool backwards = false);

  // Writes the report as it was read, byte for byte, to `path`.
  bool save_to(const QString& path);
  // Writes the run's findings as the command line's --csv does.
  bool save_csv_to(const QString& path);
  void print_to(QPrinter& printer);

  // Ask for the file name to save under; the file dialog unless replaced (tests).
  std::function<QString(QWidget*, const QString& suggested)> ask_save_path;
  std::function<QString(QWidget*, const QString& suggested)> ask_csv_path;

 private:
  QWidget* build_workbench();
  void build_menus();
  void show_find_bar();
  void save_as();
  void save_csv();
  void print();
  void update_hit_count();
  void show_current_finding();
  void choose_finding(int index);
  // ERR.txt's text is laid out only when first wanted: for a large report the
  // text view costs more than the table.
  void show_text() const;

  QTabWidget* tabs_ = nullptr;
  QTableView* table_ = nullptr;
  FindingsModel* model_ = nullptr;
  FindingsFilter* filter_ = nullptr;
  QLineEdit* filter_field_ = nullptr;
  QComboBox* kind_choice_ = nullptr;
  QLabel* hit_count_ = nullptr;
  DocumentPane* document_pane_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
  QToolBar* find_bar_ = nullptr;
  QLineEdit* find_field_ = nullptr;
  QLabel* counts_ = nullptr;
  RunReport report_;
  QByteArray report_bytes_;
  mutable bool text_shown_ = false;
};

}  // namespace kenshin::window
