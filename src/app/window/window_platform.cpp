#include "app/window/window_platform.h"

#include <QCoreApplication>

#include "platform/desktop_folder.h"

namespace kenshin::window {

WindowPlatform::WindowPlatform(WindowServices& services, QWidget& window, std::optional<std::string> archive,
                               std::chrono::milliseconds progress_delay, const bool& stop)
    : services_(services),
      window_(window),
      archive_(std::move(archive)),
      progress_delay_(progress_delay),
      stop_(stop) {
  started_.start();
  run_time_ = QDateTime::currentDateTime();
}

WindowPlatform::~WindowPlatform() { delete progress_; }

std::string WindowPlatform::desktop_folder() { return platform::default_desktop_folder(); }

std::optional<std::string> WindowPlatform::choose_archive() {
  if (!archive_) {
    std::optional<QString> chosen = services_.choose_archive(&window_);
    if (!chosen) return std::nullopt;
    archive_ = chosen->toStdString();  // kept for the viewer's title
  }
  return archive_;
}

void WindowPlatform::show_report(const std::string& report_path) {
  services_.show_report(&window_, QString::fromStdString(report_path), QString::fromStdString(archive_.value_or(std::string())),
                        run_time_);
}

void WindowPlatform::unpack_progress(int k, int n) { show_progress(kUnpackingProgress.arg(k).arg(n), k, n); }

void WindowPlatform::pair_progress(int k, int n) { show_progress(kCheckingProgress.arg(k).arg(n), k, n); }

void WindowPlatform::show_progress(const QString& text, int k, int n) {
  if (progress_ == nullptr && started_.elapsed() >= progress_delay_.count()) {
    progress_ = new QProgressDialog(&window_);
    progress_->setObjectName(QStringLiteral("ProgressDialog"));
    progress_->setWindowTitle(window_.windowTitle());
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setCancelButton(nullptr);  // closing the window asks whether to stop
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    progress_->setMinimumWidth(window_.width() * 2 / 3);
    progress_->setLabelText(text);
    progress_->adjustSize();
    // Over the window, also when the run starts before the window has been placed.
    progress_->move(window_.geometry().center() - progress_->rect().center());
    progress_->show();
  }
  if (progress_ != nullptr) {
    // Esc closes a dialog; this one has to stay while the run goes on.
    if (!progress_->isVisible()) progress_->show();
    progress_->setLabelText(text);
    progress_->setMaximum(n);
    progress_->setValue(k);
  }
  QCoreApplication::processEvents();
}

}  // namespace kenshin::window
