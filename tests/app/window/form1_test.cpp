#include "app/window/form1.h"
#include "app/window/translation.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTreeView>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMimeData>
#include <QSettings>
#include <QStyle>
#include <QProgressDialog>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "support/check_kit.h"
#include "support/sample_archive.h"
#include "test_services.h"
#include "version.h"

using namespace kenshin;
using namespace kenshin::window;

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
    home_ = fresh_home();
    services_ = TestServices();
    form_ = std::make_unique<Form1>(services_, std::chrono::milliseconds(0), default_faces(),
                                    std::chrono::milliseconds(0));  // progress from the first step on, every step
    form_->show();
  }

  void cleanup() {
    form_.reset();
    expect_no_window_left();
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
    QCOMPARE(QFontInfo(form_->findChild<QWidget*>("Label1")->font()).pointSize(), 12);
  }

  void runs_one_after_another_in_the_same_window() {
    click();  // cancelled: nothing happens
    QVERIFY(services_.dialogs == 1 && !std::filesystem::exists(report_path()) && viewer() == nullptr);

    std::filesystem::create_directory(report_path());  // ERR.txt cannot be created
    services_.answer = archive();
    click();
    QVERIFY(services_.failures.size() == 1 && services_.failures[0].startsWith(kFailureSentence + "\n\n"));

    std::filesystem::remove(report_path());
    services_.answer = archive();
    click();
    ReportViewer* shown = viewer();
    QVERIFY(shown != nullptr && shown->isVisible() && command1()->isEnabled());
    QCOMPARE(shown->lines(), QStringList{testkit::kNoError});

    testkit::Archive other = testkit::complete_archive();
    other.name = "1311234567_95899071_201812060_2.zip";
    services_.answer = archive(other);
    click();
    QCOMPARE(viewer(), shown);
    QCOMPARE(shown->lines(), QStringList{"特定健診の請求ファイルではありません"});
  }

  void the_viewer_holds_the_records_of_the_run() {
    const testkit::Archive sample = testkit::sample_archive();
    const std::vector<Finding> expected = testkit::check(sample).findings;
    services_.answer = archive(sample);
    click();
    QAbstractItemModel* table = viewer()->table()->model();
    QStringList rows, records;
    for (int row = 0; row < table->rowCount(); ++row) {
      rows << table->index(row, kDocumentColumn).data().toString() + " " +
                  table->index(row, kMessageColumn).data().toString();
    }
    for (const Finding& f : expected) records << QString::fromStdString(f.document + " " + f.message);
    QCOMPARE(rows, records);
    // Pairs 2 to 5: a named examinee, two without a name, and a pair whose
    // settlement document could not be read at all.
    QCOMPARE(viewer()->findChild<QLabel*>("Counts")->text(), QString("指摘 %1 件　受診者 4 名").arg(expected.size()));
    // The first document finding's document, read back from the archive.
    for (int row = 0; row < table->rowCount(); ++row) {
      if (expected[row].kind == FindingKind::kArchive) continue;
      viewer()->table()->selectRow(row);
      QVERIFY(viewer()->document_pane()->text()->toPlainText().startsWith("<?xml"));
      break;
    }
  }

  void viewer_title_carries_the_time_the_check_ran_not_when_the_dialog_opened() {
    services_.answer = archive();
    services_.dialog_open_ms = 1100;
    click();
    const QString title = viewer()->windowTitle();
    const QDateTime shown = QDateTime::fromString(title.right(19), "yyyy/MM/dd HH:mm:ss");
    QVERIFY2(shown.isValid() && shown >= services_.answered_at.addMSecs(-services_.answered_at.time().msec()),
             qPrintable(title));
  }

  void return_presses_the_button() {
    QTest::keyClick(form_.get(), Qt::Key_Return);
    QTest::keyClick(form_.get(), Qt::Key_Enter);
    QTest::keyClick(form_.get(), Qt::Key_Escape);
    QCOMPARE(services_.dialogs, 2);
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

  // Pressing 中止, or closing the window and answering the question, stops
  // the run at once and leaves the earlier ERR.txt and no working files.
  void stopping_a_run_keeps_the_earlier_report_data() {
    QTest::addColumn<bool>("by_closing");
    QTest::addColumn<bool>("stop");  // the answer to the question on closing
    QTest::addColumn<int>("pairs");
    QTest::newRow("button") << false << true << 3;
    QTest::newRow("closing, stop") << true << true << 3;
    QTest::newRow("closing, go on") << true << false << 3;
    QTest::newRow("button, 10000 pairs") << false << true << 10000;
    QTest::newRow("closing, 10000 pairs") << true << true << 10000;
  }
  void stopping_a_run_keeps_the_earlier_report() {
    QFETCH(bool, by_closing);
    QFETCH(bool, stop);
    QFETCH(int, pairs);
    services_.stop_answer = stop;
    testkit::TempDir tmp;  // the run's working folder goes here
    qputenv("TMPDIR", QByteArray::fromStdString(tmp.path()));
    testkit::write_file(report_path(), "last run\r\n");
    // The first pair has a finding, so the report is begun before the stop.
    const QString zip = QString::fromStdString(home_->path() + "/" + testkit::kArchiveName);
    testkit::write_many_pairs(zip.toStdString(), pairs,
                              testkit::XmlDoc::data().remove("//a:recordTarget/a:patientRole/a:patient/a:name"));
    services_.answer = zip;
    QPoint dialog_centre;
    QElapsedTimer since_press;
    QTimer during_run;
    connect(&during_run, &QTimer::timeout, [&] {
      auto* dialog = form_->findChild<QProgressDialog*>();
      if (dialog == nullptr || dialog->labelText() != QString("チェック中　2 / %1 件").arg(pairs) ||
          since_press.isValid()) {
        return;
      }
      dialog_centre = dialog->geometry().center();
      since_press.start();
      if (by_closing) {
        form_->close();
      } else {
        auto* button = dialog->findChild<QPushButton*>("StopButton");
        QVERIFY(button != nullptr && button->text() == "中止");
        QTest::mouseClick(button, Qt::LeftButton);
      }
    });
    during_run.start(0);
    click();
    const qint64 stopped_in = since_press.elapsed();
    qunsetenv("TMPDIR");
    QVERIFY(since_press.isValid());
    if (stop) QVERIFY2(stopped_in < 1000, qPrintable(QString::number(stopped_in) + " ms"));
    QCOMPARE(services_.stop_questions, by_closing ? 1 : 0);
    QVERIFY((dialog_centre - form_->geometry().center()).manhattanLength() <= 8);  // over the window
    QCOMPARE(form_->isVisible(), !(by_closing && stop));
    QCOMPARE(services_.stopped, by_closing || !stop ? QStringList{} : QStringList{kStoppedMessage});
    QCOMPARE(viewer() != nullptr, !stop);
    QCOMPARE(testkit::read_file(report_path()) == "last run\r\n", stop);
    QVERIFY(std::filesystem::is_empty(tmp.path()));
    if (by_closing || pairs > 3) return;

    services_.stopped.clear();  // the next run is not stopped by the last one's button
    during_run.stop();
    click();
    QVERIFY(services_.stopped.isEmpty() && viewer() != nullptr && command1()->isEnabled());
  }

  void progress_tells_what_the_run_is_doing_data() {
    QTest::addColumn<int>("interval_ms");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("every step") << 0
                                << QStringList{"読込中　0 / 6 件", "読込中　1 / 6 件", "読込中　2 / 6 件",
                                               "読込中　3 / 6 件", "読込中　4 / 6 件", "読込中　5 / 6 件",
                                               "読込中　6 / 6 件", "チェック中　1 / 3 件", "チェック中　2 / 3 件",
                                               "チェック中　3 / 3 件"};
    QTest::newRow("once an interval and at each stage's end")
        << 3600 * 1000 << QStringList{"読込中　0 / 6 件", "読込中　6 / 6 件", "チェック中　3 / 3 件"};
  }
  void progress_tells_what_the_run_is_doing() {
    QFETCH(int, interval_ms);
    QFETCH(QStringList, shown);
    Form1 form(services_, std::chrono::milliseconds(0), default_faces(), std::chrono::milliseconds(interval_ms));
    form.show();
    testkit::Archive three;
    for (int n = 1; n <= 3; ++n) three.add_pair(testkit::XmlDoc::data(), testkit::XmlDoc::claims(), n);
    services_.answer = archive(three);
    auto* button = form.findChild<QPushButton*>("Command1");
    auto* options = form.findChild<OptionsPanel*>("Options");
    QStringList progress;
    QTimer during_run;  // fires whenever the run lets events through
    connect(&during_run, &QTimer::timeout, [&] {
      auto* dialog = form.findChild<QProgressDialog*>();
      if (dialog == nullptr || !dialog->isVisible()) return;
      // The button and the choices wait for the run's end.
      const QString text = dialog->labelText() + (button->isEnabled() || options->isEnabled() ? " enabled" : "");
      if (!progress.contains(text)) progress << text;
      // Esc would hide the dialog for the rest of the run, and the window would look hung again.
      if (text == "読込中　3 / 6 件") QTest::keyClick(dialog, Qt::Key_Escape);
    });
    during_run.start(0);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(progress, shown);
    QVERIFY(button->isEnabled() && options->isEnabled());
  }

  void captions_fit_their_boxes_in_every_japanese_face_data() {
    QTest::addColumn<QString>("mincho");
    QTest::addColumn<QString>("gothic");
    QTest::newRow("IPA") << "IPAPMincho" << "IPAPGothic";
    QTest::newRow("Takao") << "TakaoPMincho" << "TakaoPGothic";
    QTest::newRow("Noto CJK") << "Noto Serif CJK JP" << "Noto Sans CJK JP";
  }
  void captions_fit_their_boxes_in_every_japanese_face() {
    QFETCH(QString, mincho);
    QFETCH(QString, gothic);
    if (!QFontDatabase::hasFamily(mincho) || !QFontDatabase::hasFamily(gothic)) QSKIP("face not installed");
    Form1 form(services_, std::chrono::milliseconds(0), Faces{{mincho}, {gothic}, {}});
    QCOMPARE(QFontInfo(form.findChild<QLabel*>("Label1")->font()).family(), mincho);  // the title stays Mincho
    QList<std::pair<QString, QRect>> texts;  // where each caption is drawn, in the window
    for (QLabel* label : form.findChildren<QLabel*>()) {
      QFontMetrics metrics(label->font());
      const QSize text(metrics.horizontalAdvance(label->text()), metrics.height());
      const QRect box = label->contentsRect();
      QVERIFY2(text.width() <= box.width() && text.height() <= box.height(), qPrintable(label->objectName()));
      QVERIFY(form.rect().contains(label->geometry()));
      QRect drawn = QStyle::alignedRect(label->layoutDirection(), label->alignment(), text, box);
      texts.append({label->objectName(), drawn.translated(label->pos())});
    }
    for (const auto& [name, drawn] : texts) {
      for (const auto& [other_name, other] : texts) {
        QVERIFY2(name == other_name || !drawn.intersects(other), qPrintable(name + " overlaps " + other_name));
      }
    }
  }

  void file_dialog_opens_in_the_folder_of_the_last_archive_showing_whole_names() {
    // The folder is kept in the settings, so that it outlives the program.
    const QString home = QString::fromStdString(home_->path());
    QSettings(kSettingsOrganisation, kSettingsApplication).setValue(kLastFolderKey, home);
    const QString there = archive();
    const QString chosen = home + "/Desktop/" + testkit::kArchiveName;
    testkit::write_file(chosen.toStdString(), testkit::read_file(there.toStdString()));
    QStringList opened_in;
    int name_width = 0, column_width = 0;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      opened_in << dialog->directory().absolutePath();
      auto* list = dialog->findChild<QTreeView*>("treeView");
      auto* files = list != nullptr ? qobject_cast<QFileSystemModel*>(list->model()) : nullptr;
      QVERIFY(files != nullptr && list->isVisible());
      name_width = list->sizeHintForIndex(files->index(there)).width();  // icon, name and the delegate's margins
      column_width = list->header()->sectionSize(0);
      dialog->selectFile(chosen);
      QMetaObject::invokeMethod(dialog, "accept");
    });
    QCOMPARE(services_.WindowServices::choose_archive(form_.get()), std::optional<QString>(chosen));
    QCOMPARE(opened_in, QStringList{home});
    QVERIFY2(column_width >= name_width, qPrintable(QString("%1 < %2").arg(column_width).arg(name_width)));
    QCOMPARE(QSettings(kSettingsOrganisation, kSettingsApplication).value(kLastFolderKey).toString(), home + "/Desktop");
  }

  void typed_paths_are_taken_exactly_when_they_end_in_zip_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("taken");
    QTest::newRow("lower case") << "1311234567_95899071_201812060_1.zip" << true;
    QTest::newRow("upper case") << "1311234567_95899071_201812060_1.ZIP" << true;
    QTest::newRow("text file") << "notes.txt" << false;
    QTest::newRow("zip inside the name") << "notes.zip.txt" << false;
  }
  void typed_paths_are_taken_exactly_when_they_end_in_zip() {
    QFETCH(QString, name);
    QFETCH(bool, taken);
    const QString typed = QString::fromStdString(home_->path()) + "/" + name;
    testkit::write_file(typed.toStdString(), "x");
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      auto* line = dialog->findChild<QLineEdit*>("fileNameEdit");
      QVERIFY(line != nullptr);
      line->setText(typed);
      QTest::keyClick(line, Qt::Key_Return);
      if (dialog->isVisible()) dialog->reject();  // refused by the dialog itself
    });
    const std::optional<QString> chosen = services_.WindowServices::choose_archive(form_.get());
    QCOMPARE(chosen, taken ? std::optional<QString>(typed) : std::nullopt);
    QCOMPARE(services_.refusals, taken ? QStringList{} : QStringList{kNotArchiveMessage.arg(typed)});
  }

};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
