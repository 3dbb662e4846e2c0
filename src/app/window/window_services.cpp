#include "app/window/window_services.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QSettings>
#include <QTimer>
#include <QStyle>
#include <QTreeView>
#include <algorithm>
#include <chrono>

namespace kenshin::window {

namespace {

// The file list in detail view, its name column wide enough for a whole
// archive name: the part that tells one provider's archives apart is in the
// middle, where the view would otherwise cut the name.
void widen_name_column(QFileDialog& dialog) {
  dialog.setViewMode(QFileDialog::Detail);
  auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  if (list == nullptr) return;  // the desktop's own dialog
  // The icon, the margins around it and the name, and two letters to spare.
  const QFontMetrics metrics = list->fontMetrics();
  const int name_width = metrics.horizontalAdvance(kLongestArchiveName) + list->iconSize().width() +
                         list->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, list) * 4 + list->indentation() +
                         metrics.averageCharWidth() * 2;
  const int grown = std::max(0, name_width - list->header()->sectionSize(0));
  if (grown == 0) return;
  list->header()->resizeSection(0, name_width);
  dialog.resize(dialog.sizeHint().width() + grown, dialog.sizeHint().height());
  // Size, type and date as wide as what they show, once the folder is read.
  if (auto* files = qobject_cast<QFileSystemModel*>(list->model())) {
    QObject::connect(files, &QFileSystemModel::directoryLoaded, list, [list] {
      for (int column = 1; column < list->header()->count(); ++column) list->resizeColumnToContents(column);
    });
  }
}

// A message box over the window. The window may not be placed yet when a
// message comes at start (an archive given on the command line); the box is
// moved once it is up, when the window's place is known.
int exec_over(QMessageBox& box, QWidget* window) {
  QTimer::singleShot(0, &box, [&box, window] {
    if (window != nullptr && box.isVisible()) box.move(window->frameGeometry().center() - box.rect().center());
  });
  return box.exec();
}

QMessageBox::StandardButton ask(QWidget* window, const QString& question) {
  QMessageBox box(QMessageBox::Question, window->windowTitle(), question, QMessageBox::Yes | QMessageBox::No, window);
  box.setDefaultButton(QMessageBox::No);
  return static_cast<QMessageBox::StandardButton>(exec_over(box, window));
}

void tell(QWidget* window, QMessageBox::Icon icon, const QString& message) {
  QMessageBox box(icon, window->windowTitle(), message, QMessageBox::Ok, window);
  exec_over(box, window);
}

const QString kReportPathKey = kLastReportGroup + QStringLiteral("/path");
const QString kReportArchiveKey = kLastReportGroup + QStringLiteral("/archive");
const QString kReportRunTimeKey = kLastReportGroup + QStringLiteral("/run_time");
const QString kReportWrittenKey = kLastReportGroup + QStringLiteral("/written");

const QString kSchemaKey = kChoicesGroup + QStringLiteral("/schema");
const QString kArchiveChecksKey = kChoicesGroup + QStringLiteral("/archive_checks");
const QString kEditionKey = kChoicesGroup + QStringLiteral("/edition");
const QString kFiscalYearKey = kChoicesGroup + QStringLiteral("/fiscal_year");

}  // namespace

QString guide_path() {
  const QString candidates[] = {
      QCoreApplication::applicationDirPath() + QStringLiteral("/") + QString::fromUtf8(KENSHIN_GUIDE_FROM_BINDIR),
      QString::fromUtf8(KENSHIN_INSTALLED_GUIDE),
      QString::fromUtf8(KENSHIN_SOURCE_GUIDE),
  };
  for (const QString& path : candidates) {
    if (QFileInfo(path).isFile()) return QFileInfo(path).canonicalFilePath();
  }
  return QString();
}

std::optional<QString> WindowServices::choose_archive(QWidget* window) {
  // Archives of one provider arrive in the same folder month after month.
  QSettings settings(kSettingsOrganisation, kSettingsApplication);
  QFileDialog dialog(window, kDialogTitle, settings.value(kLastFolderKey).toString(), kDialogFilter);
  dialog.setObjectName(QStringLiteral("CommonDialog1"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  widen_name_column(dialog);
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
  tell(window, QMessageBox::Critical, message);
}

bool WindowServices::confirm_stop(QWidget* window) { return ask(window, kConfirmStop) == QMessageBox::Yes; }

void WindowServices::show_stopped(QWidget* window, const QString& message) {
  tell(window, QMessageBox::Information, message);
}

void WindowServices::show_refusal(QWidget* window, const QString& message) {
  tell(window, QMessageBox::Warning, message);
}

bool WindowServices::confirm_close(QWidget* window) { return ask(window, kConfirmClose) == QMessageBox::Yes; }

int WindowServices::today_fiscal_year() { return base::fiscal_year_in_japan(std::chrono::system_clock::now()); }

void WindowServices::show_guide(QWidget* window) {
  const QString path = guide_path();
  if (path.isEmpty()) {
    tell(window, QMessageBox::Warning, kGuideMissing.arg(QStringLiteral("guide.html")));
    return;
  }
  if (guide_ == nullptr) {
    guide_ = new QDialog(window, Qt::Window);
    guide_->setObjectName(QStringLiteral("Guide"));
    guide_->setWindowTitle(kGuideTitle);
    guide_->setAttribute(Qt::WA_DeleteOnClose);
    auto* text = new QTextBrowser(guide_);
    text->setObjectName(QStringLiteral("GuideText"));
    text->setOpenLinks(false);  // the guide is all there is; nothing is fetched
    text->setSource(QUrl::fromLocalFile(path));
    auto* layout = new QVBoxLayout(guide_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text);
    const QFontMetrics metrics(text->font());
    guide_->resize(metrics.averageCharWidth() * 90, metrics.lineSpacing() * 36);
  }
  guide_->show();
  guide_->raise();
  guide_->activateWindow();
}

void WindowServices::show_about(QWidget* window, const QString& text) {
  QMessageBox box(QMessageBox::Information, kAboutTitle, text, QMessageBox::Ok, window);
  exec_over(box, window);
}

QStringList WindowServices::recent_archives() {
  QSettings settings(kSettingsOrganisation, kSettingsApplication);
  const QStringList remembered = settings.value(kRecentArchivesKey).toStringList();
  QStringList present;
  for (const QString& path : remembered) {
    if (QFileInfo(path).isFile()) present << path;
  }
  if (present != remembered) settings.setValue(kRecentArchivesKey, present);
  return present;
}

void WindowServices::remember_archive(const QString& path) {
  QSettings settings(kSettingsOrganisation, kSettingsApplication);
  QStringList recent = settings.value(kRecentArchivesKey).toStringList();
  recent.removeAll(path);
  recent.prepend(path);
  while (recent.size() > kRecentArchiveCount) recent.removeLast();
  settings.setValue(kRecentArchivesKey, recent);
}

std::optional<LastReport> WindowServices::last_report() {
  QSettings settings(kSettingsOrganisation, kSettingsApplication);
  if (!settings.contains(kReportPathKey)) return std::nullopt;
  return LastReport{settings.value(kReportPathKey).toString(), settings.value(kReportArchiveKey).toString(),
                    settings.value(kReportRunTimeKey).toDateTime(), settings.value(kReportWrittenKey).toDateTime()};
}

void WindowServices::remember_report(const LastReport& report) {
  QSettings settings(kSettingsOrganisation, kSettingsApplication);
  settings.setValue(kReportPathKey, report.path);
  settings.setValue(kReportArchiveKey, report.archive);
  settings.setValue(kReportRunTimeKey, report.run_time);
  settings.setValue(kReportWrittenKey, report.written);
}

RunChoices WindowServices::load_choices() {
  QSettings settings(kSettingsOrganisation, kSettingsApplication);
  RunChoices choices;
  choices.schema = settings.value(kSchemaKey, false).toBool();
  choices.archive_checks = settings.value(kArchiveChecksKey, false).toBool();
  choices.edition = base::parse_edition(settings.value(kEditionKey).toString().toStdString()).value_or(base::Edition::k2018);
  const int year = settings.value(kFiscalYearKey).toInt();
  choices.fiscal_year = year >= base::kFirstYear2024 ? year : today_fiscal_year();
  return choices;
}

void WindowServices::save_choices(const RunChoices& choices) {
  QSettings settings(kSettingsOrganisation, kSettingsApplication);
  settings.setValue(kSchemaKey, choices.schema);
  settings.setValue(kArchiveChecksKey, choices.archive_checks);
  settings.setValue(kEditionKey, choices.edition == base::Edition::k2024 ? QStringLiteral("2024") : QStringLiteral("2018"));
  // The year of today is the default, not a choice: kept, it would hold the
  // window in a past year once April comes.
  if (choices.fiscal_year == today_fiscal_year()) {
    settings.remove(kFiscalYearKey);
  } else {
    settings.setValue(kFiscalYearKey, choices.fiscal_year);
  }
}

}  // namespace kenshin::window
