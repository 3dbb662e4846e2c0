// Form1, the program's one window: what the check does, the version, the
// button (Command1) that starts one check run, and under the notice the
// choices for the run. The window stays open after a run, so several
// archives can be checked one after the other.
#pragma once

#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <chrono>
#include <optional>
#include <string>

#include "app/run_check.h"
#include "app/window/fonts.h"
#include "app/window/options_panel.h"
#include "app/window/window_platform.h"
#include "app/window/window_services.h"
#include "run/run_state.h"

namespace kenshin::window {

inline const QString kWindowTitle = QStringLiteral("特定健診簡易データチェック(東湖県)");
inline const QString kFailureSentence =
    QStringLiteral("予期しないエラーが発生したため、チェックを最後まで行えませんでした。");
inline const QString kNotFoundMessage = QStringLiteral("「%1」が見つかりません。");
inline const QString kIsFolderMessage = QStringLiteral("「%1」はフォルダです。zipファイルを指定してください。");
inline const QString kStoppedMessage = QStringLiteral("チェックを中止しました。ERR.txt は書き換えていません。");
inline const QString kLastReportMissing = QStringLiteral("前回の結果「%1」が見つかりません。");
inline const QString kLastReportReplaced =
    QStringLiteral("前回の結果「%1」は、その後ほかのチェックで書き換えられています。");
inline const QString kNoRecentArchive = QStringLiteral("（なし）");
// Short enough that a long run shows progress at once, long enough that a
// small archive does not flash a dialog.
inline constexpr std::chrono::milliseconds kProgressDelay{300};

class Form1 : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(WindowServices& services, std::chrono::milliseconds progress_delay = kProgressDelay,
                 const Faces& faces = default_faces(), std::chrono::milliseconds progress_interval = kProgressInterval);

  // One check run on this archive, without the file dialog (a dropped file,
  // the command line). Ignored while a run is going on; a path that is no
  // file is refused with a message and leaves ERR.txt as it was.
  void check_archive(const QString& path);

  // The same, once the window is on the screen where the desktop placed
  // it: an archive given at start, whose messages and progress should stand
  // over the window. Call after show().
  void check_archive_once_shown(const QString& path);

  bool running() const { return running_; }

  // Opens the report the window showed last (at this or an earlier start)
  // in the viewer, titled with its archive and run time; says so instead
  // when the file is gone or another run has written it since.
  void open_last_report();

  // "特定健診簡易データチェック(東湖県)" and the version, for the About box.
  static QString about_text();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build_menus();
  void fill_recent_menu();
  void place_controls();
  void choices_changed(const RunChoices& choices);
  void run(std::optional<std::string> archive);

  WindowServices& services_;
  std::chrono::milliseconds progress_delay_;
  std::chrono::milliseconds progress_interval_;
  RunState run_state_;  // lives as long as the window; every run resets what it uses
  bool running_ = false;
  StopAsked stop_asked_ = StopAsked::kNo;
  QPushButton* command1_ = nullptr;
  OptionsPanel* options_ = nullptr;
  QMenuBar* menu_bar_ = nullptr;
  std::optional<QString> archive_once_shown_;
  QMenu* recent_menu_ = nullptr;
};

}  // namespace kenshin::window
