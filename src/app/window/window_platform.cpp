#include "app/window/window_platform.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPushButton>

#include "platform/desktop_folder.h"

namespace kenshin::window {

WindowPlatform::WindowPlatform(WindowServices& services, QWidget& window, std::optional<std::string> archive,
                               std::chrono::milliseconds progress_delay, std::chrono::milliseconds progress_interval,
                               StopAsked& stop, RunState& run)
    : services_(services),
      window_(window),
      archive_(std::move(archive)),
      progress_delay_(progress_delay),
      progress_interval_(progress_interval),
      stop_(stop),
      run_(run) {
  started_.start();
}

WindowPlatform::~WindowPlatform() { delete progress_; }

std::string WindowPlatform::desktop_folder() { return platform::default_desktop_folder(); }

std::optional<std::string> WindowPlatform::choose_archive() {
  if (!archive_) {
    std::optional<QString> chosen = services_.choose_archive(&window_);
    if (!chosen) return std::nullopt;
    archive_ = chosen->toStdString();  // kept for the viewer's title
  }
  // The check runs from here; the time the file dialog stood open is not its own.
  run_time_ = QDateTime::currentDateTime();
  started_.start();
  return archive_;
}

void WindowPlatform::show_report(const std::string& report_path) {
  RunReport report;
  report.report_path = QString::fromStdString(report_path);
  report.documents = {QString::fromStdString(archive_.value_or(std::string())), run_.data_folder, run_.claims_folder,
                      run_.extraction_folder};
  report.run_time = run_time_;
  report.findings = std::move(run_.findings);  // the run is over: the viewer holds them alone
  run_.findings.clear();
  services_.remember_archive(report.documents.archive_path);
  services_.remember_report(
      {report.report_path, report.documents.archive_path, run_time_, QFileInfo(report.report_path).lastModified()});
  report_ = std::move(report);
}

void WindowPlatform::read_progress(int k, int n) { show_progress(kReadingProgress, k, n); }

void WindowPlatform::pair_progress(int k, int n) { show_progress(kCheckingProgress, k, n); }

// Called for every entry and every pair: the text is made only when shown.
void WindowPlatform::show_progress(const QString& text_template, int k, int n) {
  const qint64 now = started_.elapsed();
  if (progress_ == nullptr && now < progress_delay_.count()) return;
  if (progress_ != nullptr && k != n && now - last_shown_ < progress_interval_.count()) return;
  last_shown_ = now;
  const QString text = text_template.arg(k).arg(n);
  if (progress_ == nullptr) {
    progress_ = new QProgressDialog(&window_);
    progress_->setObjectName(QStringLiteral("ProgressDialog"));
    progress_->setWindowTitle(window_.windowTitle());
    // Not modal: a modal dialog would keep the window's close button from
    // reaching the window, and closing the window is one way to stop.
    progress_->setWindowModality(Qt::NonModal);
    // The button alone stops; Esc or the dialog's own close button only hide
    // it, and it comes back at the next step.
    auto* stop_button = new QPushButton(kStopButton);
    stop_button->setObjectName(QStringLiteral("StopButton"));
    progress_->setCancelButton(stop_button);
    QObject::disconnect(progress_, &QProgressDialog::canceled, progress_, &QProgressDialog::cancel);
    QObject::connect(stop_button, &QPushButton::clicked, progress_, [this] {
      if (stop_ == StopAsked::kNo) stop_ = StopAsked::kByButton;
    });
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
