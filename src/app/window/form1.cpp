#include "app/window/form1.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include "app/window/fonts.h"
#include "app/window/window_platform.h"
#include "report/read_back.h"
#include "version.h"

namespace kenshin::window {

namespace {

// Placement in twips (1/1440 inch), converted at the screen's logical DPI.
struct Placement {
  int left, top, width, height;
};

inline constexpr Placement kClientArea{0, 0, 6630, 4380};

struct LabelRow {
  const char* name;
  const char* caption;  // nullptr: filled in at start (the version)
  Placement placement;
  Qt::Alignment alignment;
};

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignTop;
constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignTop;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignTop;

constexpr LabelRow kLabels[] = {
    {"Label1", "平成３０年度　特定健診簡易データチェック", {600, 600, 5655, 495}, kCentred},
    {"Label2", "提出するzipファイルを選択してください", {480, 1560, 5775, 375}, kCentred},
    {"Label7", "注）", {1680, 3240, 495, 255}, kLeft},
    {"Label4", "過年度は正常なチェックが出来ません", {2040, 3240, 3615, 255}, kLeft},
    {"Label5", "単価等の最低限のチェックのみです", {2040, 3600, 3615, 255}, kLeft},
    {"Label6", "請求時には異なるエラーが出る場合があります", {2040, 3960, 3615, 255}, kLeft},
    {"Label3", nullptr, {4560, 120, 1935, 255}, kRight},
};

constexpr const char kCommand1Caption[] = "zipファイル選択";
constexpr Placement kCommand1{1440, 2160, 3975, 735};
// Under the notice, as wide as the instruction; as high as its two rows need.
constexpr Placement kOptions{480, 4380, 5775, 0};
constexpr int kBottomMargin = 240;

// The boxes were drawn for the Windows faces; a face with a wider advance or
// taller line (Noto CJK) would clip a caption. Such a box grows just enough,
// from the side its text is aligned to, so the arrangement stays the same.
QRect fitted(QRect box, QSize text, Qt::Alignment alignment) {
  if (text.width() > box.width()) {
    const int extra = text.width() - box.width();
    if (alignment & Qt::AlignHCenter) {
      box.adjust(-extra / 2, 0, extra - extra / 2, 0);
    } else if (alignment & Qt::AlignRight) {
      box.setLeft(box.left() - extra);
    } else {
      box.setWidth(text.width());
    }
  }
  if (text.height() > box.height()) box.setHeight(text.height());
  return box;
}

QString version_text() {
  return QStringLiteral("Ver %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch);
}

// The archive a drag carries: exactly one local .zip file.
std::optional<QString> dropped_archive(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1) return std::nullopt;
  const QUrl url = mime->urls().first();
  if (!url.isLocalFile()) return std::nullopt;
  const QString path = url.toLocalFile();
  if (!path.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive) || !QFileInfo(path).isFile()) return std::nullopt;
  return path;
}

}  // namespace

Form1::Form1(WindowServices& services, std::chrono::milliseconds progress_delay, const Faces& faces,
             std::chrono::milliseconds progress_interval)
    : services_(services), progress_delay_(progress_delay), progress_interval_(progress_interval) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(kWindowTitle);
  setFont(face_font(faces.gothic, 9));
  setAcceptDrops(true);

  for (const LabelRow& row : kLabels) {
    auto* label = new QLabel(row.caption != nullptr ? QString::fromUtf8(row.caption) : version_text(), this);
    label->setObjectName(QString::fromUtf8(row.name));
    label->setAlignment(row.alignment);
  }
  findChild<QLabel*>(QStringLiteral("Label1"))->setFont(face_font(faces.mincho, 12));

  const RunChoices choices = services_.load_choices();
  findChild<QLabel*>(QStringLiteral("Label1"))->setText(title_caption(choices));
  options_ = new OptionsPanel(choices, services_.today_fiscal_year(), this);
  connect(options_, &OptionsPanel::changed, this, &Form1::choices_changed);

  build_menus();
  command1_ = new QPushButton(QString::fromUtf8(kCommand1Caption), this);
  command1_->setObjectName(QStringLiteral("Command1"));
  connect(command1_, &QPushButton::clicked, this, [this] { run(std::nullopt); });

  place_controls();
}

void Form1::build_menus() {
  menu_bar_ = new QMenuBar(this);
  menu_bar_->setObjectName(QStringLiteral("MenuBar"));
  QMenu* file = menu_bar_->addMenu(QStringLiteral("ファイル(&F)"));
  recent_menu_ = file->addMenu(QStringLiteral("最近使ったファイル(&R)"));
  recent_menu_->setObjectName(QStringLiteral("RecentMenu"));
  connect(recent_menu_, &QMenu::aboutToShow, this, &Form1::fill_recent_menu);
  QAction* last = file->addAction(QStringLiteral("前回の結果を開く(&L)"), this, &Form1::open_last_report);
  last->setObjectName(QStringLiteral("OpenLastReport"));
  connect(file, &QMenu::aboutToShow, this, [this, last] {
    last->setEnabled(!running_ && services_.last_report().has_value());
    fill_recent_menu();
  });
  file->addSeparator();
  file->addAction(QStringLiteral("終了(&X)"), this, &QWidget::close);

  QMenu* help = menu_bar_->addMenu(QStringLiteral("ヘルプ(&H)"));
  QAction* guide = help->addAction(QStringLiteral("操作の手引き(&G)"), this, [this] { services_.show_guide(this); });
  guide->setObjectName(QStringLiteral("ShowGuide"));
  guide->setShortcut(QKeySequence(Qt::Key_F1));
  addAction(guide);  // F1 wherever the focus is in the window
  QAction* about = help->addAction(QStringLiteral("バージョン情報(&A)"), this,
                                   [this] { services_.show_about(this, about_text()); });
  about->setObjectName(QStringLiteral("ShowAbout"));
}

void Form1::fill_recent_menu() {
  recent_menu_->clear();
  const QStringList recent = services_.recent_archives();
  for (qsizetype i = 0; i < recent.size(); ++i) {
    const QString& path = recent[i];
    QAction* action = recent_menu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()),
                                              this, [this, path] { check_archive(path); });
    action->setStatusTip(QDir::toNativeSeparators(path));
    action->setToolTip(QDir::toNativeSeparators(path));
    action->setEnabled(!running_);
  }
  recent_menu_->setToolTipsVisible(true);
  if (recent.isEmpty()) recent_menu_->addAction(kNoRecentArchive)->setEnabled(false);
}

void Form1::open_last_report() {
  if (running_) return;
  const std::optional<LastReport> last = services_.last_report();
  if (!last) return;
  const QFileInfo report(last->path);
  if (!report.isFile()) {
    services_.show_refusal(this, kLastReportMissing.arg(QDir::toNativeSeparators(last->path)));
  } else if (report.lastModified() != last->written) {
    services_.show_refusal(this, kLastReportReplaced.arg(QDir::toNativeSeparators(last->path)));
  } else {
    // The run's records went with the run; ERR.txt holds enough of them for
    // the table. Where the documents were in the archive it does not hold.
    QFile file(last->path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    RunReport report;
    report.report_path = last->path;
    report.documents.archive_path = last->archive;
    report.run_time = last->run_time;
    report.findings = report::read_back(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                                        QFileInfo(last->archive).fileName().toStdString());
    services_.show_report(this, std::move(report));
  }
}

QString Form1::about_text() { return kWindowTitle + QStringLiteral("\n") + version_text(); }

void Form1::place_controls() {
  const double dpi_x = logicalDpiX();
  const double dpi_y = logicalDpiY();
  const int menu_height = menu_bar_->sizeHint().height();
  auto to_pixels = [&](const Placement& p) {
    auto x = [&](int twips) { return qRound(twips * dpi_x / 1440.0); };
    auto y = [&](int twips) { return qRound(twips * dpi_y / 1440.0); };
    return QRect(x(p.left), y(p.top) + menu_height, x(p.width), y(p.height));
  };
  QRect client = to_pixels(kClientArea);
  for (const LabelRow& row : kLabels) {
    auto* label = findChild<QLabel*>(QString::fromUtf8(row.name));
    label->setGeometry(fitted(to_pixels(row.placement), label->sizeHint(), row.alignment));
    client = client.united(label->geometry());
  }
  command1_->setGeometry(to_pixels(kCommand1));
  QRect options = to_pixels(kOptions);
  options.setHeight(options_->sizeHint().height());
  options_->setGeometry(options);
  client = client.united(options.adjusted(0, 0, 0, to_pixels({0, 0, 0, kBottomMargin}).height()));
  client.setTop(0);
  menu_bar_->setGeometry(0, 0, client.width(), menu_height);
  setFixedSize(client.size());
}

void Form1::choices_changed(const RunChoices& choices) {
  services_.save_choices(choices);
  findChild<QLabel*>(QStringLiteral("Label1"))->setText(title_caption(choices));
  place_controls();  // a longer era title may need a wider box
}

void Form1::check_archive(const QString& path) {
  // A path typed on the command line is not what the file dialog would have
  // allowed; refusing it here keeps the last report as it was.
  const QFileInfo archive(path);
  if (archive.isDir()) {
    services_.show_refusal(this, kIsFolderMessage.arg(QDir::toNativeSeparators(path)));
  } else if (!archive.isFile()) {
    services_.show_refusal(this, kNotFoundMessage.arg(QDir::toNativeSeparators(path)));
  } else {
    run(archive.absoluteFilePath().toStdString());
  }
}

void Form1::check_archive_once_shown(const QString& path) {
  QWindow* window = windowHandle();
  if (window == nullptr || window->isExposed()) {
    QTimer::singleShot(0, this, [this, path] { check_archive(path); });
    return;
  }
  // A desktop places a new window a moment after it was shown; until the
  // window is exposed its place is not known, and a message box meant to
  // stand over it would come up at the screen's corner.
  archive_once_shown_ = path;
  window->installEventFilter(this);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  QWindow* window = windowHandle();
  if (watched == window && event->type() == QEvent::Expose && window->isExposed() && archive_once_shown_) {
    window->removeEventFilter(this);
    QTimer::singleShot(0, this, [this, path = *archive_once_shown_] { check_archive(path); });
    archive_once_shown_.reset();
  }
  return QWidget::eventFilter(watched, event);
}

void Form1::run(std::optional<std::string> archive) {
  if (running_) return;
  running_ = true;
  stop_asked_ = StopAsked::kNo;
  command1_->setEnabled(false);
  options_->setEnabled(false);
  const RunChoices choices = options_->choices();
  apply_edition(choices, run_state_);
  extrachecks::ExtraChecks extra(extra_check_options(choices));
  FurtherChecks* further = extra_check_options(choices).any() ? &extra : nullptr;
  RunResult result;
  std::optional<RunReport> report;
  {
    WindowPlatform platform(services_, *this, std::move(archive), progress_delay_, progress_interval_, stop_asked_,
                             run_state_);
    result = run_check(run_state_, platform, further);
    report = platform.take_report();
  }
  options_->setEnabled(true);
  command1_->setEnabled(true);
  running_ = false;
  // Shown only now that the run's archive is freed: the viewer's table and
  // the archive's directory are never held at once.
  if (report) services_.show_report(this, std::move(*report));
  if (result.outcome == RunOutcome::kFailed) {
    services_.show_failure(this, kFailureSentence + QStringLiteral("\n\n") + QString::fromStdString(result.failure));
  }
  if (result.outcome == RunOutcome::kStopped) {
    if (stop_asked_ == StopAsked::kByClosing) {
      close();
    } else {
      services_.show_stopped(this, kStoppedMessage);
    }
  }
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  if (!running_ && dropped_archive(event->mimeData())) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
  std::optional<QString> path = dropped_archive(event->mimeData());
  if (running_ || !path) return;
  event->acceptProposedAction();
  // Run once the drop has returned, so the program the file came from is not kept waiting.
  QTimer::singleShot(0, this, [this, archive = *path] { check_archive(archive); });
}

void Form1::keyPressEvent(QKeyEvent* event) {
  // The window has one button: Return presses it, wherever the focus is.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && event->modifiers() == Qt::NoModifier && command1_->isEnabled()) {
    command1_->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void Form1::closeEvent(QCloseEvent* event) {
  // The run is on the window's thread: it stops at its next step and closes
  // the window once it has cleaned up.
  if (running_) {
    event->ignore();
    if (stop_asked_ == StopAsked::kNo && services_.confirm_stop(this)) stop_asked_ = StopAsked::kByClosing;
    return;
  }
  // Closing the window closes the report too; a report being read is not
  // taken away without asking. After a stop asked for by closing, the user has answered already.
  const bool report_open = services_.viewer() != nullptr && services_.viewer()->isVisible();
  if (report_open && stop_asked_ != StopAsked::kByClosing && !services_.confirm_close(this)) {
    event->ignore();
    return;
  }
  if (report_open) services_.viewer()->close();
  QWidget::closeEvent(event);
}

}  // namespace kenshin::window
