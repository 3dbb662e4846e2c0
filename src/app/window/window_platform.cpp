#include "app/window/window_platform.h"

#include <QCoreApplication>

#include "platform/desktop_folder.h"

namespace kenshin::window {

WindowPlatform::WindowPlatform(WindowServices& services, QWidget& window, std::optional<std::string> archive,
                               std::chrono::milliseconds progress_delay)
    : services_(services), window_(window), archive_(std::move(archive)), progress_delay_(progress_delay) {
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

void WindowPlatform::pair_progress(int k, int n) {
  if (progress_ == nullptr && started_.elapsed() >= progress_delay_.count()) {
    progress_ = new QProgressDialog(&window_);
    progress_->setObjectName(QStringLiteral("ProgressDialog"));
    progress_->setWindowTitle(window_.windowTitle());
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setCancelButton(nullptr);  // a run cannot be stopped half-way
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    progress_->show();
  }
  if (progress_ != nullptr) {
    progress_->setLabelText(QStringLiteral("%1 / %2").arg(k).arg(n));
    progress_->setMaximum(n);
    progress_->setValue(k);
  }
  QCoreApplication::processEvents();
}

}  // namespace kenshin::window
