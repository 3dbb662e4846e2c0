// The window's menus: the archives of the last runs, the last report opened
// again at a later start, the guide and the About box.
#include <QTextBrowser>
#include <QtTest>
#include <filesystem>

#include "app/window/form1.h"
#include "support/check_kit.h"
#include "test_services.h"
#include "version.h"

using namespace kenshin;
using namespace kenshin::window;

class MenusTest : public QObject {
  Q_OBJECT

  std::unique_ptr<testkit::TempDir> home_;
  TestServices services_;
  std::unique_ptr<Form1> form_;

  void open_form() {
    form_ = std::make_unique<Form1>(services_, std::chrono::hours(1));
    form_->show();
  }
  QString archive(int number) {
    testkit::Archive archive = testkit::complete_archive();
    archive.name = "1311234567_95899071_20181206" + std::to_string(number) + "_1.zip";
    testkit::write_zip(home_->path() + "/" + archive.name, archive.entries);
    return QString::fromStdString(home_->path() + "/" + archive.name);
  }
  void run(const QString& archive) {
    services_.answer = archive;
    QTest::mouseClick(form_->findChild<QPushButton*>("Command1"), Qt::LeftButton);
  }
  QMenu* recent_menu() const { return form_->findChild<QMenu*>("RecentMenu"); }
  QStringList recent_entries() const {
    Q_EMIT recent_menu()->aboutToShow();
    QStringList entries;
    for (QAction* action : recent_menu()->actions()) entries << action->text();
    return entries;
  }
  std::string report_path() const { return home_->path() + "/Desktop/ERR.txt"; }

 private Q_SLOTS:
  void init() {
    home_ = fresh_home();
    services_ = TestServices();
    open_form();
  }

  void cleanup() {
    form_.reset();
    expect_no_window_left();
  }

  void recent_archives_newest_first_a_few_and_only_those_still_there_data() {
    QTest::addColumn<QList<int>>("runs");     // archives checked, in this order
    QTest::addColumn<QList<int>>("removed");  // archives gone since
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("none yet") << QList<int>{} << QList<int>{} << QStringList{"（なし）"};
    QTest::newRow("newest first, once each")
        << QList<int>{1, 2, 1} << QList<int>{}
        << QStringList{"&1 1311234567_95899071_201812061_1.zip", "&2 1311234567_95899071_201812062_1.zip"};
    QTest::newRow("five kept") << QList<int>{1, 2, 3, 4, 5, 6, 7} << QList<int>{}
                               << QStringList{"&1 1311234567_95899071_201812067_1.zip",
                                              "&2 1311234567_95899071_201812066_1.zip",
                                              "&3 1311234567_95899071_201812065_1.zip",
                                              "&4 1311234567_95899071_201812064_1.zip",
                                              "&5 1311234567_95899071_201812063_1.zip"};
    QTest::newRow("a removed one is dropped")
        << QList<int>{1, 2, 3} << QList<int>{2}
        << QStringList{"&1 1311234567_95899071_201812063_1.zip", "&2 1311234567_95899071_201812061_1.zip"};
    QTest::newRow("all removed") << QList<int>{1} << QList<int>{1} << QStringList{"（なし）"};
  }
  void recent_archives_newest_first_a_few_and_only_those_still_there() {
    QFETCH(QList<int>, runs);
    QFETCH(QList<int>, removed);
    QFETCH(QStringList, entries);
    for (int number : runs) run(archive(number));
    for (int number : removed) std::filesystem::remove(archive(number).toStdString());
    form_.reset();  // the list outlives the program
    open_form();
    QCOMPARE(recent_entries(), entries);
  }

  void a_recent_archive_is_checked_without_the_dialog() {
    const QString first = archive(1);
    run(first);
    const QStringList first_report = services_.viewer()->lines();
    run(archive(2));
    testkit::write_file(report_path(), "other\r\n");
    recent_entries();
    recent_menu()->actions().at(1)->trigger();
    QCOMPARE(services_.dialogs, 2);
    QVERIFY(services_.viewer()->windowTitle().contains(QFileInfo(first).fileName()));
    QCOMPARE(services_.viewer()->lines(), first_report);
  }

  void last_report_opens_again_at_the_next_start_data() {
    QTest::addColumn<QString>("since");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("as it was") << "" << "";
    QTest::newRow("removed") << "removed" << kLastReportMissing;
    QTest::newRow("written by another run") << "rewritten" << kLastReportReplaced;
  }
  void last_report_opens_again_at_the_next_start() {
    QFETCH(QString, since);
    QFETCH(QString, refusal);
    auto* open = form_->findChild<QAction*>("OpenLastReport");
    open->trigger();  // nothing shown yet: nothing to open
    QVERIFY(services_.viewer() == nullptr && services_.refusals.isEmpty());

    testkit::Archive with_finding = testkit::complete_archive();
    with_finding.entries.clear();
    with_finding.add_pair(testkit::XmlDoc::data().remove("//a:recordTarget/a:patientRole/a:patient/a:name"),
                          testkit::XmlDoc::claims(), 1);
    testkit::write_zip(home_->path() + "/" + with_finding.name, with_finding.entries);
    run(QString::fromStdString(home_->path() + "/" + with_finding.name));
    const QString title = services_.viewer()->windowTitle();
    const QStringList lines = services_.viewer()->lines();
    const QString counts = services_.viewer()->findChild<QLabel*>("Counts")->text();
    QCOMPARE(counts, QString("指摘 2 件　受診者 1 名"));
    if (since == "removed") std::filesystem::remove(report_path());
    if (since == "rewritten") {
      testkit::write_file(report_path(), "other\r\n");
      std::filesystem::last_write_time(report_path(),
                                       std::filesystem::last_write_time(report_path()) + std::chrono::seconds(2));
    }
    services_.close_answer = true;
    form_.reset();
    QVERIFY(services_.viewer() == nullptr);
    open_form();

    form_->findChild<QAction*>("OpenLastReport")->trigger();
    if (refusal.isEmpty()) {
      QVERIFY(services_.viewer() != nullptr && services_.viewer()->isVisible());
      QCOMPARE(services_.viewer()->windowTitle(), title);
      QCOMPARE(services_.viewer()->lines(), lines);
      QVERIFY(services_.refusals.isEmpty());
      // The records read back from ERR.txt; the document itself is not at hand.
      QCOMPARE(services_.viewer()->findChild<QLabel*>("Counts")->text(), counts);
      QCOMPARE(services_.viewer()->table()->model()->index(0, kMessageColumn).data().toString(),
               QString("受診者名がありません"));
      QVERIFY(services_.viewer()->document_pane()->text()->toPlainText().contains("前回の結果を開いたため"));
    } else {
      QVERIFY(services_.viewer() == nullptr);
      QCOMPARE(services_.refusals, QStringList{refusal.arg(QString::fromStdString(report_path()))});
    }
  }

  void f1_opens_the_guide_which_tells_every_choice_and_where_the_report_goes() {
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QTest::keyClick(form_.get(), Qt::Key_F1);
    auto* text = form_->findChild<QTextBrowser*>("GuideText");
    QVERIFY(text != nullptr && text->window()->isVisible());
    const QString guide = text->toPlainText();
    for (const QString& needed : {kSchemaCaption, kArchiveChecksCaption, kEditionCaption, kFiscalYearCaption,
                                  QString("ERR.txt"), QString("デスクトップ"), QString("最近使ったファイル"),
                                  QString("前回の結果を開く"), QString("○健診情報"), QString("○決済情報")}) {
      QVERIFY2(guide.contains(needed), qPrintable(needed));
    }
  }

  void about_names_the_program_and_its_version() {
    form_->findChild<QAction*>("ShowAbout")->trigger();
    QCOMPARE(services_.about, QStringList{QString("特定健診簡易データチェック(東湖県)\nVer ") + kVersion});
  }
};

QTEST_MAIN(MenusTest)
#include "menus_test.moc"
