// What the window needs from the desktop besides the core: the file dialog,
// the report viewer and the message box for a failed run. Tests derive from
// WindowServices and replace the parts that would wait for a user.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>

#include "app/window/report_viewer.h"
#include "app/window/run_choices.h"

namespace kenshin::window {

inline const QString kDialogTitle = QStringLiteral("ＺＩＰファイル選択");
inline const QString kDialogFilter = QStringLiteral("ＺＩＰファイル(*.zip)");
// Where the file dialog remembers the folder of the last archive:
// ~/.config/kenshin-check/kenshin-check-gui.conf
inline const QString kSettingsOrganisation = QStringLiteral("kenshin-check");
inline const QString kSettingsApplication = QStringLiteral("kenshin-check-gui");
inline const QString kLastFolderKey = QStringLiteral("last_folder");
inline const QString kNotArchiveMessage = QStringLiteral("「%1」はzipファイルではありません。zipファイルを指定してください。");
inline const QString kConfirmStop = QStringLiteral("チェック中です。チェックを中止しますか？");
inline const QString kConfirmClose = QStringLiteral("チェック結果を表示中です。終了しますか？");
inline const QString kChoicesGroup = QStringLiteral("choices");
inline const QString kRecentArchivesKey = QStringLiteral("recent_archives");
inline const QString kLastReportGroup = QStringLiteral("last_report");
inline constexpr int kRecentArchiveCount = 5;
inline const QString kAboutTitle = QStringLiteral("バージョン情報");
inline const QString kGuideTitle = QStringLiteral("操作の手引き");
inline const QString kGuideMissing = QStringLiteral("操作の手引き（%1）が見つかりません。");
// The archive names the file dialog must show whole: 35 characters.
inline const QString kLongestArchiveName = QStringLiteral("1311234567_95899071_201812060_1.zip");

// The report the window showed last, to open it again at a later start.
struct LastReport {
  QString path;      // ERR.txt
  QString archive;   // the archive it is the report of
  QDateTime run_time;
  QDateTime written;  // when the file was last changed; a later change is another program's report
};

// The short guide shipped with the program: beside the executable
// (../share/kenshin-check/guide.html), under the install prefix, else in the
// source tree. Empty when none is there.
QString guide_path();

class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // The modal file dialog, opened in the folder of the last archive chosen:
  // the chosen path, an empty text when it returned no name, nullopt when the
  // user cancelled.
  virtual std::optional<QString> choose_archive(QWidget* window);

  // Opens the viewer on a run's report and findings (or refreshes the one
  // already open), does not wait for it, and gives it the focus.
  virtual void show_report(QWidget* window, RunReport report);

  // Tells the user that the check itself failed; returns once the user has
  // read the message.
  virtual void show_failure(QWidget* window, const QString& message);

  // Asks whether to stop the running check (the window is being closed).
  virtual bool confirm_stop(QWidget* window);

  // Tells the user that the run stopped as asked and what was kept.
  virtual void show_stopped(QWidget* window, const QString& message);

  // Tells the user why an archive was not checked at all.
  virtual void show_refusal(QWidget* window, const QString& message);

  // Asks whether to close the window, and the open report with it.
  virtual bool confirm_close(QWidget* window);

  // The fiscal year of today in Japan: the 2024 edition's year until the user chooses one.
  virtual int today_fiscal_year();

  // Shows the guide in a window of its own, or says that it is missing.
  virtual void show_guide(QWidget* window);

  // The program's name and version, in a message box.
  virtual void show_about(QWidget* window, const QString& text);

  // The archives of the last runs that are still there, the newest first;
  // the ones gone are forgotten.
  QStringList recent_archives();
  void remember_archive(const QString& path);

  // The report the window showed last, whatever has become of the file since.
  std::optional<LastReport> last_report();
  void remember_report(const LastReport& report);

  // The choices of the last run, or the defaults.
  RunChoices load_choices();
  void save_choices(const RunChoices& choices);

  ReportViewer* viewer() const { return viewer_; }

 private:
  QPointer<ReportViewer> viewer_;
  QPointer<QDialog> guide_;
};

}  // namespace kenshin::window
