// The platform of one check run started from the window: the desktop folder
// the command line uses too, the window's file dialog (skipped when the
// archive came by drag and drop), its report viewer, and a progress dialog
// over the window once a run takes longer than a moment.
#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include "app/window/window_services.h"
#include "platform/platform.h"
#include "run/run_state.h"

namespace kenshin::window {

inline const QString kReadingProgress = QStringLiteral("読込中　%1 / %2 件");
inline const QString kCheckingProgress = QStringLiteral("チェック中　%1 / %2 件");
inline const QString kStopButton = QStringLiteral("中止");
// Often enough to look alive, seldom enough that redrawing costs the run nothing.
inline constexpr std::chrono::milliseconds kProgressInterval{250};

// Why a run was asked to stop: the window decides what follows.
enum class StopAsked { kNo, kByButton, kByClosing };

class WindowPlatform : public platform::Platform {
 public:
  // `archive`, when given, is checked without asking the user. The progress
  // dialog appears at the first step after `progress_delay` has passed.
  // After that it is brought up to date at most once per `progress_interval`
  // and at the last step of each stage. `stop` is read between steps: once
  // set, the run stops; the dialog's 中止 button sets it.
  WindowPlatform(WindowServices& services, QWidget& window, std::optional<std::string> archive,
                 std::chrono::milliseconds progress_delay, std::chrono::milliseconds progress_interval,
                 StopAsked& stop, RunState& run);
  ~WindowPlatform() override;

  std::string desktop_folder() override;
  std::optional<std::string> choose_archive() override;
  // Hands the run's findings to the report kept for the viewer: it is shown
  // once the run is over and its archive freed (take_report).
  void show_report(const std::string& report_path) override;
  std::optional<RunReport> take_report() { return std::exchange(report_, std::nullopt); }

  // Both run on the window's thread: they let the window repaint and the
  // progress dialog tell what the run is doing, a few times a second.
  void read_progress(int k, int n) override;
  void pair_progress(int k, int n) override;
  bool stop_requested() override { return stop_ != StopAsked::kNo; }

 private:
  void show_progress(const QString& text_template, int k, int n);

  WindowServices& services_;
  QWidget& window_;
  std::optional<std::string> archive_;
  std::chrono::milliseconds progress_delay_;
  std::chrono::milliseconds progress_interval_;
  StopAsked& stop_;
  RunState& run_;  // what the viewer is handed: the findings and where their documents are
  std::optional<RunReport> report_;
  QElapsedTimer started_;
  qint64 last_shown_ = 0;  // ms after the start
  QDateTime run_time_;
  QPointer<QProgressDialog> progress_;
};

}  // namespace kenshin::window
