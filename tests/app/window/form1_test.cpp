#include "app/window/form1.h"

#include <QMimeData>
#include <QProgressDialog>
#include <QtTest>
#include <filesystem>

#include "support/check_kit.h"
#include "version.h"

using namespace kenshin;
using namespace kenshin::window;

class TestServices : public WindowServices {  // the real viewer; dialog and message box do not wait
 public:
  std::optional<QString> choose_archive(QWidget*) override { return ++dialogs, answer; }
  void show_failure(QWidget*, const QString& message) override { failures << message; }
  std::optional<QString> answer;
  int dialogs = 0;
  QStringList failures;
};

class Form1Test : public QObject {
  Q_OBJECT

  std::unique_ptr<testkit::TempDir> home_;
  TestServices services_;
  std::unique_ptr<Form1> form_;

  QString archive(const testkit::Archive& archive = testkit::complete_archive()) {
    testkit::write_zip(home_->path() + "/" + archive.name, archive.entries);
    return QString::fromStdString(home_->path() + "/" + archive.name);
  }
  std::string report_path() const { return home_->path() + "/Desktop/ERR.txt"; }
  QPushButton* command1() const { return form_->findChild<QPushButton*>("Command1"); }
  ReportViewer* viewer() const { return form_->findChild<ReportViewer*>(); }
  void click() { QTest::mouseClick(command1(), Qt::LeftButton); }

 private Q_SLOTS:
  void init() {
    home_ = std::make_unique<testkit::TempDir>();
    std::filesystem::create_directories(home_->path() + "/Desktop");
    qputenv("HOME", QByteArray::fromStdString(home_->path()));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home_->path() + "/.config"));
    services_ = TestServices();
    form_ = std::make_unique<Form1>(services_, std::chrono::milliseconds(0));  // progress from the first pair on
    form_->show();
  }

  void cleanup() {
    form_.reset();
    for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
  }

  void controls_read_top_to_bottom_with_the_version_at_top_right() {
    const std::pair<const char*, QString> controls[] = {
        {"Label3", QString("Ver ") + kVersion},
        {"Label1", "平成３０年度　特定健診簡易データチェック"},
        {"Label2", "提出するzipファイルを選択してください"},
        {"Command1", "zipファイル選択"},
        {"Label4", "過年度は正常なチェックが出来ません"},
        {"Label5", "単価等の最低限のチェックのみです"},
        {"Label6", "請求時には異なるエラーが出る場合があります"},
        {"Label7", "注）"},  // beside Label4, to its left
    };
    QVERIFY(form_->objectName() == "Form1" && form_->windowTitle() == "特定健診簡易データチェック(東湖県)");
    auto at = [this](const char* name) { return form_->findChild<QWidget*>(name)->geometry(); };
    for (size_t i = 0; i < std::size(controls); ++i) {
      QCOMPARE(form_->findChild<QWidget*>(controls[i].first)->property("text").toString(), controls[i].second);
      if (i > 0 && i < 7) QVERIFY2(at(controls[i - 1].first).bottom() < at(controls[i].first).top(), controls[i].first);
    }
    QVERIFY(at("Label7").top() == at("Label4").top() && at("Label7").left() < at("Label4").left());
    QVERIFY(at("Label3").right() >= at("Label1").right());
    QFontInfo title(form_->findChild<QWidget*>("Label1")->font());
    QVERIFY2(title.family().contains("Mincho") && title.pointSize() == 12, qPrintable(title.family()));
  }

  void runs_one_after_another_in_the_same_window() {
    click();  // cancelled: nothing happens
    QVERIFY(services_.dialogs == 1 && !std::filesystem::exists(report_path()) && viewer() == nullptr);

    std::filesystem::create_directory(report_path());  // ERR.txt cannot be created
    services_.answer = archive();
    click();
    QVERIFY(services_.failures.size() == 1 && services_.failures[0].startsWith(kFailureSentence + "\n\n"));

    std::filesystem::remove(report_path());
    testkit::Archive three;
    for (int n = 1; n <= 3; ++n) three.add_pair(testkit::XmlDoc::data(), testkit::XmlDoc::claims(), n);
    services_.answer = archive(three);
    QStringList progress;
    QTimer during_run;  // fires whenever the run lets events through
    connect(&during_run, &QTimer::timeout, [&] {
      auto* dialog = form_->findChild<QProgressDialog*>();
      QString text = dialog ? dialog->labelText() + (command1()->isEnabled() ? " with the button enabled" : "") : "";
      if (dialog && !progress.contains(text)) progress << text;
    });
    during_run.start(0);
    click();
    QCOMPARE(progress, (QStringList{"1 / 3", "2 / 3", "3 / 3"}));
    ReportViewer* shown = viewer();
    QVERIFY(shown != nullptr && shown->isVisible() && shown->isReadOnly() && command1()->isEnabled());
    QCOMPARE(shown->lines(), QStringList{testkit::kNoError});

    testkit::Archive other = testkit::complete_archive();
    other.name = "1311234567_95899071_201812060_2.zip";
    services_.answer = archive(other);
    click();
    QCOMPARE(viewer(), shown);
    QCOMPARE(shown->lines(), QStringList{"特定健診の請求ファイルではありません"});
  }

  void dropped_zip_starts_a_run_other_files_are_refused() {
    auto drop = [this](const std::string& path) {
      QMimeData mime;
      mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
      QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(form_.get(), &enter);
      QApplication::sendEvent(form_.get(), &drop);
      QTest::qWait(20);  // the run starts once the drop has returned
      return enter.isAccepted() && drop.isAccepted();
    };
    QVERIFY(!drop(home_->path() + "/notes.txt") && viewer() == nullptr);
    QVERIFY(drop(archive().toStdString()));
    QVERIFY(viewer()->lines() == QStringList{testkit::kNoError} && services_.dialogs == 0);
  }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
