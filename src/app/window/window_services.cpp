#include "app/window/window_services.h"

#include <QFileDialog>
#include <QMessageBox>

namespace kenshin::window {

std::optional<QString> WindowServices::choose_archive(QWidget* window) {
  QFileDialog dialog(window, kDialogTitle, QString(), kDialogFilter);
  dialog.setObjectName(QStringLiteral("CommonDialog1"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.first();
}

void WindowServices::show_report(QWidget* window, const QString& path, const QString& archive,
                                 const QDateTime& run_time) {
  if (viewer_ == nullptr) viewer_ = new ReportViewer(window);
  viewer_->load(path, archive, run_time);
  viewer_->show();
  viewer_->raise();
  viewer_->activateWindow();
}

void WindowServices::show_failure(QWidget* window, const QString& message) {
  QMessageBox::critical(window, window->windowTitle(), message);
}

bool WindowServices::confirm_stop(QWidget* window) {
  return QMessageBox::question(window, window->windowTitle(), kConfirmStop, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

void WindowServices::show_refusal(QWidget* window, const QString& message) {
  QMessageBox::warning(window, window->windowTitle(), message);
}

}  // namespace kenshin::window
