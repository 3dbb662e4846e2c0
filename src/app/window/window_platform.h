// The platform of one check run started from the window: the desktop folder
// the command line uses too, the window's file dialog (skipped when the
// archive came by drag and drop), its report viewer, and a progress dialog
// once a run takes longer than a moment.
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

class WindowPlatform : public platform::Platform {
 public:
  // `archive`, when given, is checked without asking the user. The progress
  // dialog appears at the first pair after `progress_delay` has passed.
  WindowPlatform(WindowServices& services, QWidget& window, std::optional<std::string> archive,
                 std::chrono::milliseconds progress_delay);
  ~WindowPlatform() override;

  std::string desktop_folder() override;
  std::optional<std::string> choose_archive() override;
  void show_report(const std::string& report_path) override;

  // Runs on the window's thread: lets the window repaint and the progress
  // dialog count "k / n" between pairs.
  void pair_progress(int k, int n) override;

 private:
  WindowServices& services_;
  QWidget& window_;
  std::optional<std::string> archive_;
  std::chrono::milliseconds progress_delay_;
  QElapsedTimer started_;
  QDateTime run_time_;
  QPointer<QProgressDialog> progress_;
};

}  // namespace kenshin::window
