// The window's choices for a run, the question before closing with a report
// open, where its message boxes appear, and its menus: the archives of the
// last runs, the last report opened again at a later start and the guide.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QTextBrowser>
#include <QtTest>
#include <filesystem>

#include "app/window/form1.h"
#include "support/check_kit.h"
#include "test_services.h"

using namespace kenshin;
using namespace kenshin::window;

class OptionsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<testkit::TempDir> home_;
  TestServices services_;
  std::unique_ptr<Form1> form_;

  void open_form() {
    form_ = std::make_unique<Form1>(services_, std::chrono::hours(1));  // no progress dialog
    form_->show();
  }
  QString archive(const testkit::Archive& archive = testkit::complete_archive()) {
    testkit::write_zip(home_->path() + "/" + archive.name, archive.entries);
    return QString::fromStdString(home_->path() + "/" + archive.name);
  }
  std::string report_path() const { return home_->path() + "/Desktop/ERR.txt"; }
  template <typename T>
  T* control(const char* name) const {
    T* found = form_->findChild<T*>(name);
    if (found == nullptr) qFatal("no control %s", name);
    return found;
  }
  QString title() const { return control<QLabel>("Label1")->text(); }
  void choose(const char* combo, int data) {
    auto* box = control<QComboBox>(combo);
    box->setCurrentIndex(box->findData(data));
  }
  void choose(const RunChoices& choices) {
    control<QCheckBox>("SchemaCheck")->setChecked(choices.schema);
    control<QCheckBox>("ArchiveChecks")->setChecked(choices.archive_checks);
    choose("EditionChoice", static_cast<int>(choices.edition));
    choose("FiscalYearChoice", choices.fiscal_year);
  }
  RunChoices shown_choices() const {
    RunChoices shown;
    shown.schema = control<QCheckBox>("SchemaCheck")->isChecked();
    shown.archive_checks = control<QCheckBox>("ArchiveChecks")->isChecked();
    shown.edition = static_cast<base::Edition>(control<QComboBox>("EditionChoice")->currentData().toInt());
    shown.fiscal_year = control<QComboBox>("FiscalYearChoice")->currentData().toInt();
    return shown;
  }

  QString numbered_archive(int number) {
    testkit::Archive numbered = testkit::complete_archive();
    numbered.name = "1311234567_95899071_20181206" + std::to_string(number) + "_1.zip";
    return archive(numbered);
  }
  void run(const QString& archive) {
    services_.answer = archive;
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
  }
  QMenu* recent_menu() const { return control<QMenu>("RecentMenu"); }
  QStringList recent_entries() const {
    Q_EMIT recent_menu()->aboutToShow();
    QStringList entries;
    for (QAction* action : recent_menu()->actions()) entries << action->text();
    return entries;
  }

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

  void title_names_the_fiscal_year_of_the_2024_edition_data() {
    QTest::addColumn<int>("edition");
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("year_enabled");
    const int e2018 = static_cast<int>(base::Edition::k2018), e2024 = static_cast<int>(base::Edition::k2024);
    QTest::newRow("2018 edition") << e2018 << 2026 << "平成３０年度　特定健診簡易データチェック" << false;
    QTest::newRow("2024 edition, 2026") << e2024 << 2026 << "令和８年度　特定健診簡易データチェック" << true;
    QTest::newRow("2024 edition, 2024") << e2024 << 2024 << "令和６年度　特定健診簡易データチェック" << true;
    QTest::newRow("2024 edition, 2027") << e2024 << 2027 << "令和９年度　特定健診簡易データチェック" << true;
  }
  void title_names_the_fiscal_year_of_the_2024_edition() {
    QFETCH(int, edition);
    QFETCH(int, year);
    QFETCH(QString, title);
    QFETCH(bool, year_enabled);
    QCOMPARE(this->title(), QString("平成３０年度　特定健診簡易データチェック"));
    auto* years = control<QComboBox>("FiscalYearChoice");
    QStringList offered;  // from 2024 to the year after today's, today's until one is chosen
    for (int i = 0; i < years->count(); ++i) offered << years->itemText(i);
    QCOMPARE(offered, (QStringList{"2024年度", "2025年度", "2026年度", "2027年度"}));
    QCOMPARE(years->currentData().toInt(), 2026);
    choose("EditionChoice", edition);
    choose("FiscalYearChoice", year);
    QCOMPARE(this->title(), title);
    QCOMPARE(control<QComboBox>("FiscalYearChoice")->isEnabled(), year_enabled);
    auto* label = control<QLabel>("Label1");
    QVERIFY(QFontMetrics(label->font()).horizontalAdvance(title) <= label->contentsRect().width());
  }

  void choices_are_remembered_for_the_next_start_data() {
    QTest::addColumn<bool>("schema");
    QTest::addColumn<bool>("archive_checks");
    QTest::addColumn<int>("edition");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("today_at_next_start");
    QTest::addColumn<int>("year_at_next_start");
    const int e2018 = static_cast<int>(base::Edition::k2018), e2024 = static_cast<int>(base::Edition::k2024);
    QTest::newRow("schema only") << true << false << e2018 << 2026 << 2026 << 2026;
    QTest::newRow("cross-checks only") << false << true << e2018 << 2026 << 2026 << 2026;
    QTest::newRow("2024 edition, an earlier year") << true << true << e2024 << 2025 << 2027 << 2025;
    // Today's year is no choice: it follows today when April comes.
    QTest::newRow("2024 edition, today's year") << false << false << e2024 << 2026 << 2027 << 2027;
  }
  void choices_are_remembered_for_the_next_start() {
    QFETCH(bool, schema);
    QFETCH(bool, archive_checks);
    QFETCH(int, edition);
    QFETCH(int, year);
    QFETCH(int, today_at_next_start);
    QFETCH(int, year_at_next_start);
    choose({schema, archive_checks, static_cast<base::Edition>(edition), year});
    const QString title = this->title();
    form_.reset();
    services_.today = today_at_next_start;
    open_form();
    const RunChoices expected{schema, archive_checks, static_cast<base::Edition>(edition), year_at_next_start};
    QCOMPARE(shown_choices(), expected);
    if (year == year_at_next_start) QCOMPARE(this->title(), title);
  }

  void a_run_from_the_window_writes_what_the_command_line_writes_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("schema");
    QTest::addColumn<bool>("archive_checks");
    QTest::addColumn<int>("edition");
    QTest::addColumn<int>("year");
    const int e2018 = static_cast<int>(base::Edition::k2018), e2024 = static_cast<int>(base::Edition::k2024);
    QTest::newRow("quick check only") << QStringList{} << false << false << e2018 << 2026;
    QTest::newRow("schema") << QStringList{"--schema"} << true << false << e2018 << 2026;
    QTest::newRow("cross-checks") << QStringList{"--archive-checks"} << false << true << e2018 << 2026;
    QTest::newRow("both") << QStringList{"--schema", "--archive-checks"} << true << true << e2018 << 2026;
    QTest::newRow("2024 edition, 2025")
        << QStringList{"--edition", "2024", "--fiscal-year", "2025", "--archive-checks"} << false << true << e2024
        << 2025;
  }
  void a_run_from_the_window_writes_what_the_command_line_writes() {
    QFETCH(QStringList, options);
    QFETCH(bool, schema);
    QFETCH(bool, archive_checks);
    QFETCH(int, edition);
    QFETCH(int, year);
    const QString zip = archive();
    testkit::TempDir cli_desktop;
    std::vector<std::string> args{"--quiet", "--desktop", cli_desktop.path()};
    for (const QString& option : options) args.push_back(option.toStdString());
    args.push_back(zip.toStdString());
    testkit::run_cli(args);
    const std::string expected = testkit::read_file(cli_desktop.path() + "/ERR.txt");

    services_.answer = zip;
    choose({schema, archive_checks, static_cast<base::Edition>(edition), year});
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(testkit::read_file(report_path()), expected);
    QVERIFY(!expected.empty());
    if (!options.isEmpty()) {  // the option changed the report, so the comparison says something
      testkit::TempDir plain;
      testkit::run_cli({"--quiet", "--desktop", plain.path(), zip.toStdString()});
      QVERIFY(testkit::read_file(plain.path() + "/ERR.txt") != expected);
    }
  }

  void closing_with_a_report_open_asks_first_data() {
    QTest::addColumn<bool>("report_open");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("closed");
    QTest::newRow("no report") << false << false << 0 << true;
    QTest::newRow("report open, close") << true << true << 1 << true;
    QTest::newRow("report open, stay") << true << false << 1 << false;
  }
  void closing_with_a_report_open_asks_first() {
    QFETCH(bool, report_open);
    QFETCH(bool, answer);
    QFETCH(int, questions);
    QFETCH(bool, closed);
    if (report_open) {
      services_.answer = archive();
      QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
      QVERIFY(services_.viewer() != nullptr && services_.viewer()->isVisible());
    }
    services_.close_answer = answer;
    form_->close();
    QCOMPARE(services_.close_questions, questions);
    QCOMPARE(form_->isVisible(), !closed);
    if (report_open) QCOMPARE(services_.viewer()->isVisible(), !closed);
  }

  void messages_stand_over_the_window_also_when_it_is_placed_late() {
    // The desktop may place the window only after the first message was
    // asked for, as with an archive given on the command line.
    form_->move(0, 0);
    const QPoint placed(420, 260);
    QPoint box_centre;
    QTimer::singleShot(0, [&] { form_->move(placed); });
    QTimer::singleShot(100, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box != nullptr);
      box_centre = box->frameGeometry().center();
      box->accept();
    });
    services_.WindowServices::show_refusal(form_.get(), kNotFoundMessage.arg("x.zip"));
    QVERIFY2((box_centre - form_->frameGeometry().center()).manhattanLength() <= 8,
             qPrintable(QString("box at %1,%2").arg(box_centre.x()).arg(box_centre.y())));
  }

  // A path given at start (or dropped, or chosen from the recent files) is
  // checked without the file dialog; one that is no file is refused and the
  // earlier report stays.
  void an_archive_given_at_start_is_checked_once_the_window_is_up_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("archive") << QString(testkit::kArchiveName) << "";
    QTest::newRow("missing archive") << "missing.zip" << kNotFoundMessage;
    QTest::newRow("folder") << "" << kIsFolderMessage;
  }
  void an_archive_given_at_start_is_checked_once_the_window_is_up() {
    QFETCH(QString, given);
    QFETCH(QString, refusal);
    archive();
    testkit::write_file(report_path(), "last run\r\n");
    const QString path = QString::fromStdString(home_->path()) + (given.isEmpty() ? "" : "/" + given);
    form_->check_archive_once_shown(path);
    QVERIFY(services_.viewer() == nullptr && services_.refusals.isEmpty());  // not before the window is up
    QTRY_VERIFY(services_.viewer() != nullptr || !services_.refusals.isEmpty());
    QCOMPARE(services_.refusals, refusal.isEmpty() ? QStringList{} : QStringList{refusal.arg(path)});
    QCOMPARE(testkit::read_file(report_path()) == "last run\r\n", !refusal.isEmpty());
    QVERIFY(services_.dialogs == 0 && services_.failures.isEmpty());
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
    for (int number : runs) run(numbered_archive(number));
    for (int number : removed) std::filesystem::remove(numbered_archive(number).toStdString());
    form_.reset();  // the list outlives the program
    open_form();
    QCOMPARE(recent_entries(), entries);
  }

  void a_recent_archive_is_checked_without_the_dialog() {
    const QString first = numbered_archive(1);
    run(first);
    const QStringList first_report = services_.viewer()->lines();
    run(numbered_archive(2));
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

};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
