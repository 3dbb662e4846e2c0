// Form1, the program's one window: what the check does, the version, and
// the button (Command1) that starts one check run. The window stays open
// after a run, so several archives can be checked one after the other.
#pragma once

#include <QPushButton>
#include <QString>
#include <QWidget>
#include <chrono>
#include <optional>
#include <string>

#include "app/run_check.h"
#include "run/run_state.h"
#include "app/window/window_services.h"

namespace kenshin::window {

inline const QString kWindowTitle = QStringLiteral("特定健診簡易データチェック(東湖県)");
inline const QString kFailureSentence =
    QStringLiteral("予期しないエラーが発生したため、チェックを最後まで行えませんでした。");
inline constexpr std::chrono::milliseconds kProgressDelay{1000};

class Form1 : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(WindowServices& services, std::chrono::milliseconds progress_delay = kProgressDelay);

  // One check run on this archive, without the file dialog (a dropped file,
  // the command line). Ignored while a run is going on.
  void check_archive(const QString& path);

  bool running() const { return running_; }

 Q_SIGNALS:
  void run_finished(kenshin::RunOutcome outcome);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void place_controls();
  void run(std::optional<std::string> archive);

  WindowServices& services_;
  std::chrono::milliseconds progress_delay_;
  RunState run_state_;  // lives as long as the window; every run resets what it uses
  bool running_ = false;
  QPushButton* command1_ = nullptr;
};

}  // namespace kenshin::window
