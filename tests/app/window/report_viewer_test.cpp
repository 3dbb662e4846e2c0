#include "app/window/report_viewer.h"

#include <QAction>
#include <QMenuBar>
#include <QPrinter>
#include <QStatusBar>
#include <QtTest>

#include "platform/cp932.h"
#include "support/check_kit.h"

using namespace kenshin;
using namespace kenshin::window;

namespace {

// A report as the check writes it: two examinees, one with findings in both documents.
const QStringList kReport = {
    "",
    "健診　太郎　保険者番号(01234567)　受診券整理番号(18000000001)",
    "○健診情報　h1234567890123456789012345601.xml",
    "　身長がありません",
    "　体重がありません",
    "○決済情報　c1234567890123456789012345601.xml",
    "　請求区分を確認してください",
    "",
    "健診　花子　保険者番号(01234567)　受診券整理番号(18000000002)",
    "○決済情報　c1234567890123456789012345602.xml",
    "　体重がありません",
};

// The report as written: code page 932, CR LF.
std::string report_bytes() {
  std::string bytes;
  for (const QString& line : kReport) bytes += platform::utf8_to_cp932(line.toStdString()) + "\r\n";
  return bytes;
}

}  // namespace

class ReportViewerTest : public QObject {
  Q_OBJECT

  std::unique_ptr<testkit::TempDir> dir_;
  QPointer<ReportViewer> viewer_;
  std::string report_path_;

  QString selected() const { return viewer_->text()->textCursor().selectedText(); }
  int selection_line() const { return viewer_->text()->textCursor().blockNumber(); }
  void keys(QKeySequence sequence) { QTest::keySequence(QApplication::focusWidget(), sequence); }

 private Q_SLOTS:
  void init() {
    dir_ = std::make_unique<testkit::TempDir>();
    report_path_ = dir_->path() + "/ERR.txt";
    testkit::write_file(report_path_, report_bytes());
    viewer_ = new ReportViewer(nullptr);
    viewer_->load(QString::fromStdString(report_path_),
                  QString::fromStdString(dir_->path() + "/1311234567_95899071_201812060_1.zip"),
                  QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3)));
    viewer_->show();
    QVERIFY(QTest::qWaitForWindowActive(viewer_));
  }

  void cleanup() {
    delete viewer_;
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
  }

  void counts_findings_and_examinees_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("findings");
    QTest::addColumn<int>("examinees");
    QTest::newRow("no finding") << QStringList{"簡易チェックでのエラーはありません"} << 0 << 0;
    QTest::newRow("unreadable documents")
        << QStringList{"h01.xmlの読込に失敗しました", "c01.xmlの読込に失敗しました"} << 2 << 0;
    QTest::newRow("examinee without a name")
        << QStringList{"h01.xml", "　受診者名がありません", "○健診情報　h01.xml", "　身長がありません"} << 2 << 1;
  }
  void counts_findings_and_examinees() {
    QFETCH(QStringList, lines);
    QFETCH(int, findings);
    QFETCH(int, examinees);
    QCOMPARE(count_report(lines), (ReportCounts{findings, examinees}));
  }

  void shows_the_report_with_archive_time_and_counts() {
    QCOMPARE(viewer_->lines(), kReport);
    QCOMPARE(viewer_->windowTitle(), QString("ERR.txt - 1311234567_95899071_201812060_1.zip - 2026/12/07 09:05:03"));
    QCOMPARE(viewer_->findChild<QLabel*>("Counts")->text(), QString("指摘 4 件　受診者 2 名"));
    QVERIFY(viewer_->text()->isReadOnly());
    QFontMetrics fixed(viewer_->text()->font());  // half-width letters alike, full-width twice as wide
    QVERIFY2(fixed.horizontalAdvance("iiii") == fixed.horizontalAdvance("WWWW") &&
                 fixed.horizontalAdvance("保険者") == fixed.horizontalAdvance("iiiiii"),
             qPrintable(QFontInfo(viewer_->text()->font()).family()));
    QStringList menus;
    for (QAction* menu : viewer_->menuBar()->actions()) {
      QStringList items;
      for (QAction* item : menu->menu()->actions()) {
        if (!item->isSeparator()) items << item->text() + " " + item->shortcut().toString();
      }
      menus << menu->text() + ": " + items.join(", ");
    }
    QCOMPARE(menus, (QStringList{
                        "ファイル(&F): 名前を付けて保存(&A)... Ctrl+S, 印刷(&P)... Ctrl+P, 閉じる(&C) Ctrl+W",
                        "編集(&E): コピー(&C) Ctrl+C, すべて選択(&A) Ctrl+A, 検索(&F)... Ctrl+F, "
                        "次を検索(&N) F3, 前を検索(&V) Shift+F3",
                    }));
  }

  void finds_forwards_backwards_and_round_the_end() {
    keys(QKeySequence("Ctrl+F"));
    auto* field = viewer_->findChild<QLineEdit*>("FindField");
    QVERIFY(field->isVisible() && field->hasFocus());
    field->insert("体重がありません");  // typed through an input method
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(selected(), QString("体重がありません"));
    QCOMPARE(selection_line(), 4);
    keys(QKeySequence("F3"));
    QCOMPARE(selection_line(), 10);
    keys(QKeySequence("F3"));  // round the end to the first again
    QCOMPARE(selection_line(), 4);
    keys(QKeySequence("Shift+F3"));  // and back round the start
    QCOMPARE(selection_line(), 10);

    field->setText("腹囲");
    QVERIFY(!viewer_->find_next());
    QCOMPARE(viewer_->statusBar()->currentMessage(), QString("「腹囲」は見つかりません"));
    QCOMPARE(selection_line(), 10);

    keys(QKeySequence("Esc"));  // leaves the find field, not the report
    QVERIFY(!field->isVisible() && viewer_->isVisible());
  }

  void saves_the_report_byte_for_byte_under_the_archive_name() {
    QString suggested;
    const QString target = QString::fromStdString(dir_->path() + "/copy.txt");
    viewer_->ask_save_path = [&](QWidget*, const QString& name) { return suggested = name, target; };
    testkit::write_file(report_path_, "a later run\r\n");  // the viewer keeps what it showed
    keys(QKeySequence("Ctrl+S"));
    QCOMPARE(suggested, QString::fromStdString(dir_->path() + "/1311234567_95899071_201812060_1_ERR.txt"));
    QCOMPARE(testkit::read_file(target.toStdString()), report_bytes());
  }

  void prints_every_line() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string pdf = dir_->path() + "/report.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf));
    viewer_->print_to(printer);
    QVERIFY(testkit::read_file(pdf).rfind("%PDF", 0) == 0);
  }

  void closes_with_escape_and_ctrl_w_data() {
    QTest::addColumn<QKeySequence>("key");
    QTest::newRow("Esc") << QKeySequence("Esc");
    QTest::newRow("Ctrl+W") << QKeySequence("Ctrl+W");
  }
  void closes_with_escape_and_ctrl_w() {
    QFETCH(QKeySequence, key);
    keys(key);
    QTRY_VERIFY(viewer_ == nullptr);  // deleted on close
  }
};

QTEST_MAIN(ReportViewerTest)
#include "report_viewer_test.moc"
