// Form1 offscreen: its controls as the user sees them, and check runs started
// by the button or a drop, with the file dialog and the message box replaced.

#include "app/window/form1.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "support/check_kit.h"
#include "version.h"

namespace fs = std::filesystem;
using namespace kenshin;
using namespace kenshin::window;

// The real viewer; a file dialog that answers at once; failures recorded instead of shown.
class TestServices : public WindowServices {
 public:
  std::optional<QString> choose_archive(QWidget*) override { return ++dialogs, answer; }
  void show_failure(QWidget*, const QString& message) override { failures << message; }
  std::optional<QString> answer;
  int dialogs = 0;
  QStringList failures;
};

bool japanese_face(const QFont& font) {
  return QFontDatabase::writingSystems(QFontInfo(font).family()).contains(QFontDatabase::Japanese);
}

class Form1Test : public QObject {
  Q_OBJECT

  std::unique_ptr<testing::TempDir> home_;
  TestServices services_;
  std::unique_ptr<Form1> form_;

  void open_form(std::chrono::milliseconds progress_delay = kProgressDelay) {
    form_ = std::make_unique<Form1>(services_, progress_delay);
    form_->show();
  }
  QString archive(const testing::Archive& archive = testing::complete_archive()) {
    std::string path = home_->path() + "/" + archive.name;
    testing::write_zip(path, archive.entries);
    return QString::fromStdString(path);
  }
  QString report_path() const { return QString::fromStdString(home_->path() + "/Desktop/ERR.txt"); }
  QPushButton* command1() const { return form_->findChild<QPushButton*>("Command1"); }
  ReportViewer* viewer() const { return form_->findChild<ReportViewer*>(); }
  void click() { QTest::mouseClick(command1(), Qt::LeftButton); }

 private Q_SLOTS:
  void init() {
    home_ = std::make_unique<testing::TempDir>();
    fs::create_directories(home_->path() + "/Desktop");
    qputenv("HOME", QByteArray::fromStdString(home_->path()));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home_->path() + "/.config"));
    services_ = TestServices();
    open_form();
  }

  void cleanup() {
    form_.reset();
    for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
  }

  void controls_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<int>("alignment");
    const int left = Qt::AlignLeft, centre = Qt::AlignHCenter, right = Qt::AlignRight;
    QTest::newRow("Label1") << "平成３０年度　特定健診簡易データチェック" << QRect(600, 600, 5655, 495) << centre;
    QTest::newRow("Label2") << "提出するzipファイルを選択してください" << QRect(480, 1560, 5775, 375) << centre;
    QTest::newRow("Command1") << "zipファイル選択" << QRect(1440, 2160, 3975, 735) << 0;
    QTest::newRow("Label7") << "注）" << QRect(1680, 3240, 495, 255) << left;
    QTest::newRow("Label4") << "過年度は正常なチェックが出来ません" << QRect(2040, 3240, 3615, 255) << left;
    QTest::newRow("Label5") << "単価等の最低限のチェックのみです" << QRect(2040, 3600, 3615, 255) << left;
    QTest::newRow("Label6") << "請求時には異なるエラーが出る場合があります" << QRect(2040, 3960, 3615, 255) << left;
    QTest::newRow("Label3") << QString("Ver ") + kVersion << QRect(4560, 120, 1935, 255) << right;
  }

  void controls() {
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    QFETCH(int, alignment);
    auto x = [&](int t) { return qRound(t * form_->logicalDpiX() / 1440.0); };
    auto y = [&](int t) { return qRound(t * form_->logicalDpiY() / 1440.0); };
    QCOMPARE(form_->size(), QSize(x(6630), y(4380)));
    QWidget* control = form_->findChild<QWidget*>(QTest::currentDataTag());
    QVERIFY(control != nullptr);
    QCOMPARE(control->geometry(), QRect(x(twips.x()), y(twips.y()), x(twips.width()), y(twips.height())));
    QVERIFY(japanese_face(control->font()));
    QCOMPARE(control->property("text").toString(), caption);
    QVERIFY2(control->sizeHint().width() <= control->width(), "the caption would be cut off");
    if (auto* label = qobject_cast<QLabel*>(control)) {
      QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), alignment);
    }
  }

  void arrangement_reads_top_to_bottom() {
    auto at = [this](const char* name) { return form_->findChild<QWidget*>(name)->geometry(); };
    const char* order[] = {"Label3", "Label1", "Label2", "Command1", "Label4", "Label5", "Label6"};
    for (size_t i = 1; i < std::size(order); ++i) QVERIFY2(at(order[i - 1]).bottom() < at(order[i]).top(), order[i]);
    QVERIFY(at("Label7").top() == at("Label4").top() && at("Label7").left() < at("Label4").left());
    QVERIFY(at("Label3").right() >= at("Label1").right());  // the version stands at the top right
  }

  void window_title_and_title_font() {
    QCOMPARE(form_->objectName(), QString("Form1"));
    QCOMPARE(form_->windowTitle(), QString("特定健診簡易データチェック(東湖県)"));
    QFontInfo title(form_->findChild<QLabel*>("Label1")->font());
    QVERIFY2(title.family().contains("Mincho"), qPrintable(title.family()));
    QCOMPARE(title.pointSize(), 12);
  }

  void file_dialog_title_and_filter() {
    QString title;
    QStringList filters;
    QTimer closer;  // answers the dialog as soon as it is up
    connect(&closer, &QTimer::timeout, [&] {
      if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        dialog->reject();
      }
    });
    closer.start(10);
    WindowServices real;
    QCOMPARE(real.choose_archive(form_.get()), std::optional<QString>());
    QCOMPARE(title, QString("ＺＩＰファイル選択"));
    QCOMPARE(filters, QStringList{"ＺＩＰファイル(*.zip)"});
  }

  void cancelled_or_empty_choice_ends_silently_data() {
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::newRow("cancelled") << std::optional<QString>();
    QTest::newRow("empty name") << std::optional<QString>(QString());
  }
  void cancelled_or_empty_choice_ends_silently() {
    QFETCH(std::optional<QString>, answer);
    services_.answer = answer;
    click();
    QCOMPARE(services_.dialogs, 1);
    QVERIFY(!QFileInfo::exists(report_path()) && viewer() == nullptr && services_.failures.isEmpty());
    QVERIFY(command1()->isEnabled());
  }

  void each_run_shows_its_report_in_the_viewer() {
    services_.answer = archive();
    click();
    ReportViewer* shown = viewer();
    QVERIFY(shown != nullptr && shown->isVisible() && shown->isReadOnly() && shown->isWindow());
    QCOMPARE(shown->windowTitle(), report_path());
    QCOMPARE(shown->lines(), QStringList{testing::kNoError});
    QTRY_COMPARE(QApplication::activeWindow(), shown);
    QVERIFY(japanese_face(shown->font()));

    testing::Archive wrong_kind = testing::complete_archive();
    wrong_kind.name = "1311234567_95899071_201812060_2.zip";
    services_.answer = archive(wrong_kind);
    click();
    QCOMPARE(viewer(), shown);
    QCOMPARE(shown->lines(), QStringList{"特定健診の請求ファイルではありません"});
  }

  void failed_run_tells_the_user_and_leaves_the_window_usable() {
    fs::create_directory(report_path().toStdString());  // ERR.txt cannot be created
    services_.answer = archive();
    click();
    QCOMPARE(services_.failures.size(), 1);
    QVERIFY(services_.failures[0].startsWith(kFailureSentence + "\n\n"));
    QVERIFY(services_.failures[0].size() > kFailureSentence.size() + 2);  // and what went wrong
    QVERIFY(viewer() == nullptr && command1()->isEnabled());

    fs::remove(report_path().toStdString());
    click();
    QVERIFY(viewer() != nullptr);
    QCOMPARE(viewer()->lines(), QStringList{testing::kNoError});
  }

  void progress_data() {
    QTest::addColumn<int>("delay_ms");
    QTest::addColumn<QStringList>("progress");
    QTest::newRow("quick run") << int(kProgressDelay.count()) << QStringList();
    QTest::newRow("long run") << 0 << QStringList{"1 / 3", "2 / 3", "3 / 3"};
  }
  void progress() {
    QFETCH(int, delay_ms);
    QFETCH(QStringList, progress);
    open_form(std::chrono::milliseconds(delay_ms));
    testing::Archive three;
    for (int n = 1; n <= 3; ++n) three.add_pair(testing::XmlDoc::data(), testing::XmlDoc::claims(), n);
    services_.answer = archive(three);
    QStringList seen;
    QTimer during_run;  // fires whenever the run lets events through
    connect(&during_run, &QTimer::timeout, [&] {
      auto* dialog = form_->findChild<QProgressDialog*>();
      if (dialog == nullptr || seen.contains(dialog->labelText())) return;
      seen << dialog->labelText();
      QVERIFY(!command1()->isEnabled());
      form_->check_archive(services_.answer.value());  // refused while running
    });
    during_run.start(0);
    click();
    during_run.stop();
    QCOMPARE(seen, progress);
    QVERIFY(form_->findChild<QProgressDialog*>() == nullptr);
    QCOMPARE(viewer()->lines(), QStringList{testing::kNoError});
    QCOMPARE(services_.dialogs, 1);
  }

  void drop_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("checked");
    QTest::newRow("archive") << QStringList{testing::kArchiveName} << true;
    QTest::newRow("text file") << QStringList{"notes.txt"} << false;
    QTest::newRow("two archives") << QStringList{testing::kArchiveName, testing::kArchiveName} << false;
    QTest::newRow("missing archive") << QStringList{"1311234567_95899071_201812060_9.zip"} << false;
  }
  void drop() {
    QFETCH(QStringList, files);
    QFETCH(bool, checked);
    archive();
    testing::write_file(home_->path() + "/notes.txt", "x");
    QList<QUrl> urls;
    for (const QString& file : files) urls << QUrl::fromLocalFile(QString::fromStdString(home_->path()) + "/" + file);
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &enter);
    QApplication::sendEvent(form_.get(), &drop);
    QCOMPARE(enter.isAccepted(), checked);
    QCOMPARE(drop.isAccepted(), checked);
    QTest::qWait(20);  // the run starts once the drop has returned
    QCOMPARE(viewer() != nullptr, checked);
    if (checked) QCOMPARE(viewer()->lines(), QStringList{testing::kNoError});
    QCOMPARE(services_.dialogs, 0);
  }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
