// The window's choices for a run, the question before closing with a report
// open, and where the window's message boxes and file dialog appear.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QTreeView>
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
    choose("EditionChoice", edition);
    choose("FiscalYearChoice", year);
    QCOMPARE(this->title(), title);
    QCOMPARE(control<QComboBox>("FiscalYearChoice")->isEnabled(), year_enabled);
    auto* label = control<QLabel>("Label1");
    QVERIFY(QFontMetrics(label->font()).horizontalAdvance(title) <= label->contentsRect().width());
  }

  void fiscal_years_run_from_2024_to_the_year_after_today() {
    auto* years = control<QComboBox>("FiscalYearChoice");
    QStringList shown;
    for (int i = 0; i < years->count(); ++i) shown << years->itemText(i);
    QCOMPARE(shown, (QStringList{"2024年度", "2025年度", "2026年度", "2027年度"}));
    QCOMPARE(years->currentData().toInt(), 2026);  // today's, until one is chosen
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

  void choices_cannot_change_during_a_run() {
    services_.answer = archive();
    Form1 form(services_, std::chrono::milliseconds(0));  // lets events through at every step
    form.show();
    auto* options = form.findChild<OptionsPanel*>("Options");
    QStringList seen;
    QTimer during_run;
    connect(&during_run, &QTimer::timeout, [&] {
      if (form.running() && seen.isEmpty()) seen << (options->isEnabled() ? "enabled" : "disabled");
    });
    during_run.start(0);
    QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QCOMPARE(seen, QStringList{"disabled"});
    QVERIFY(options->isEnabled());
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

  void an_archive_given_at_start_is_checked_once_the_window_is_up_data() {
    QTest::addColumn<bool>("exists");
    QTest::newRow("archive") << true;
    QTest::newRow("missing archive") << false;
  }
  void an_archive_given_at_start_is_checked_once_the_window_is_up() {
    QFETCH(bool, exists);
    const QString path = exists ? archive() : QString::fromStdString(home_->path() + "/missing.zip");
    form_.reset();
    form_ = std::make_unique<Form1>(services_, std::chrono::hours(1));
    form_->show();
    form_->check_archive_once_shown(path);
    QVERIFY(services_.viewer() == nullptr && services_.refusals.isEmpty());  // not before the window is up
    QTRY_VERIFY(services_.viewer() != nullptr || !services_.refusals.isEmpty());
    QCOMPARE(services_.refusals, exists ? QStringList{} : QStringList{kNotFoundMessage.arg(path)});
    QCOMPARE(services_.dialogs, 0);
  }

  void file_dialog_shows_whole_archive_names() {
    const QString zip = archive();
    QSettings(kSettingsOrganisation, kSettingsApplication).setValue(kLastFolderKey, QString::fromStdString(home_->path()));
    int name_width = 0, column_width = 0;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      auto* list = dialog->findChild<QTreeView*>("treeView");
      QVERIFY(list != nullptr && list->isVisible());
      auto* files = qobject_cast<QFileSystemModel*>(list->model());
      QVERIFY(files != nullptr);
      name_width = list->sizeHintForIndex(files->index(zip)).width();  // icon, name and the delegate's margins
      column_width = list->header()->sectionSize(0);
      dialog->reject();
    });
    services_.WindowServices::choose_archive(form_.get());
    QVERIFY2(column_width >= name_width, qPrintable(QString("%1 < %2").arg(column_width).arg(name_width)));
  }
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
