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

#include "app/window/window_services.h"
#include "platform/platform.h"

namespace kenshin::window {

inline const QString kUnpackingProgress = QStringLiteral("展開中　%1 / %2 件");
inline const QString kCheckingProgress = QStringLiteral("チェック中　%1 / %2 件");

class WindowPlatform : public platform::Platform {
 public:
  // `archive`, when given, is checked without asking the user. The progress
  // dialog appears at the first step after `progress_delay` has passed.
  // `stop` is read between steps: once true, the run stops.
  WindowPlatform(WindowServices& services, QWidget& window, std::optional<std::string> archive,
                 std::chrono::milliseconds progress_delay, const bool& stop);
  ~WindowPlatform() override;

  std::string desktop_folder() override;
  std::optional<std::string> choose_archive() override;
  void show_report(const std::string& report_path) override;

  // Both run on the window's thread: they let the window repaint and the
  // progress dialog tell what the run is doing, entry by entry and pair by pair.
  void unpack_progress(int k, int n) override;
  void pair_progress(int k, int n) override;
  bool stop_requested() override { return stop_; }

 private:
  void show_progress(const QString& text, int k, int n);

  WindowServices& services_;
  QWidget& window_;
  std::optional<std::string> archive_;
  std::chrono::milliseconds progress_delay_;
  const bool& stop_;
  QElapsedTimer started_;
  QDateTime run_time_;
  QPointer<QProgressDialog> progress_;
};

}  // namespace kenshin::window
