#include "app/window/window_services.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

namespace kenshin::window {

std::optional<QString> WindowServices::choose_archive(QWidget* window) {
  // Archives of one provider arrive in the same folder month after month.
  QSettings settings(kSettingsOrganisation, kSettingsApplication);
  QFileDialog dialog(window, kDialogTitle, settings.value(kLastFolderKey).toString(), kDialogFilter);
  dialog.setObjectName(QStringLiteral("CommonDialog1"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return QString();
  // A typed name goes past the dialog's filter; only an archive may replace the last report.
  if (!files.first().endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive)) {
    show_refusal(window, kNotArchiveMessage.arg(QDir::toNativeSeparators(files.first())));
    return std::nullopt;
  }
  settings.setValue(kLastFolderKey, QFileInfo(files.first()).absolutePath());
  return files.first();
}

void WindowServices::show_report(QWidget* window, RunReport report) {
  if (viewer_ == nullptr) viewer_ = new ReportViewer(window);
  viewer_->load(std::move(report));
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

void WindowServices::show_stopped(QWidget* window, const QString& message) {
  QMessageBox::information(window, window->windowTitle(), message);
}

void WindowServices::show_refusal(QWidget* window, const QString& message) {
  QMessageBox::warning(window, window->windowTitle(), message);
}

}  // namespace kenshin::window
