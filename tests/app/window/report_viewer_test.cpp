#include "app/window/report_viewer.h"

#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QPrinter>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTextBlock>
#include <QtTest>

#include "platform/cp932.h"
#include "report/findings_csv.h"
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

const std::string kData1 = testkit::Archive::data_name(1);
const std::string kClaims1 = testkit::Archive::claims_name(1);
const std::string kData2 = testkit::Archive::data_name(2);
const std::string kClaims2 = testkit::Archive::claims_name(2);

// The settlement document of pair 2 as a generator that writes no line breaks
// would, except one before its examinee's name: the name's element is on
// line 2 as written and much further down once laid out.
std::string one_line_claims() {
  std::string text = testkit::XmlDoc::claims().text();
  text = QString::fromStdString(text).replace(QRegularExpression(">\\s+<"), "><").toStdString();
  text.insert(text.find("<name>"), "\r\n");
  return text;
}

testkit::Archive two_pair_archive() {
  testkit::Archive archive;
  archive.add_pair(testkit::XmlDoc::data(), testkit::XmlDoc::claims(), 1);
  archive.add("DATA/" + kData2, testkit::XmlDoc::data().text());
  archive.add("CLAIMS/" + kClaims2, one_line_claims());
  return archive;
}

// The first line of the document in the archive that holds `text`.
int line_of(const testkit::Archive& archive, const std::string& path, const std::string& text) {
  for (const testkit::ZipEntry& entry : archive.entries) {
    if (entry.raw_name != archive.top_folder + "/" + path) continue;
    const size_t at = entry.content.find(text);
    return at == std::string::npos ? 0 : 1 + static_cast<int>(std::count(entry.content.begin(), entry.content.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
  }
  return 0;
}

Finding finding(int pair, FindingKind kind, std::string document, std::string name, std::string ticket,
                std::string item, std::string value, int line, std::string message) {
  return {pair, kind, std::move(document), std::move(name), pair > 0 ? "01234567" : "", std::move(ticket), "",
          std::move(item), std::move(value), line, std::move(message)};
}

// The records of the report above, and one of the archive as a whole.
std::vector<Finding> records(const testkit::Archive& a) {
  return {
      finding(1, FindingKind::kData, kData1, "健診　太郎", "18000000001", "9N001000000000001", "",
              line_of(a, "DATA/" + kData1, "9N001000000000001"), "身長がありません"),
      finding(1, FindingKind::kData, kData1, "健診　太郎", "18000000001", "9N006000000000001", "65.2",
              line_of(a, "DATA/" + kData1, "9N006000000000001"), "体重がありません"),
      finding(1, FindingKind::kSettlement, kClaims1, "健診　太郎", "18000000001", "", "",
              line_of(a, "CLAIMS/" + kClaims1, "<claimType"), "請求区分を確認してください"),
      finding(2, FindingKind::kSettlement, kClaims2, "健診　花子", "18000000002", "", "ケンシン　ジロウ",
              line_of(a, "CLAIMS/" + kClaims2, "<name>"), "体重がありません"),
      finding(0, FindingKind::kArchive, testkit::kArchiveName, "", "", "", "", 0, "集計情報ファイルがありません"),
  };
}

QStringList column(QAbstractItemModel* model, int column) {
  QStringList cells;
  for (int row = 0; row < model->rowCount(); ++row) cells << model->index(row, column).data().toString();
  return cells;
}

}  // namespace

class ReportViewerTest : public QObject {
  Q_OBJECT

  std::unique_ptr<testkit::TempDir> dir_;
  QPointer<ReportViewer> viewer_;
  std::string report_path_;
  testkit::Archive archive_ = two_pair_archive();

  QString selected() const { return viewer_->text()->textCursor().selectedText(); }
  int selection_line() const { return viewer_->text()->textCursor().blockNumber(); }
  void keys(const QKeySequence& sequence) { QTest::keySequence(QApplication::focusWidget(), sequence); }
  QAbstractItemModel* table() const { return viewer_->table()->model(); }
  QString archive_path() const { return QString::fromStdString(dir_->path() + "/" + testkit::kArchiveName); }

 private Q_SLOTS:
  void init() {
    dir_ = std::make_unique<testkit::TempDir>();
    report_path_ = dir_->path() + "/ERR.txt";
    testkit::write_file(report_path_, report_bytes());
    testkit::write_zip(archive_path().toStdString(), archive_.entries);
    viewer_ = new ReportViewer(nullptr);
    const std::string top = testkit::kArchiveStem;
    viewer_->load({QString::fromStdString(report_path_),
                   {archive_path(), top + "/DATA", top + "/CLAIMS", top},
                   QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3)),
                   records(archive_)});
    viewer_->show();
    QVERIFY(QTest::qWaitForWindowActive(viewer_));
  }

  void cleanup() {
    delete viewer_;
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
  }

  void counts_findings_and_distinct_examinees_data() {
    QTest::addColumn<std::vector<Finding>>("findings");
    QTest::addColumn<int>("examinees");
    const Finding taro = finding(1, FindingKind::kData, kData1, "健診　太郎", "18000000001", "", "", 0, "a");
    Finding taro_claims = taro;
    taro_claims.kind = FindingKind::kSettlement;
    Finding taro_again = taro;  // the same person submitted twice
    taro_again.pair = 2;
    Finding other_ticket = taro;  // a namesake with a ticket of their own
    other_ticket.ticket_number = "18000000009";
    Finding nameless1 = finding(1, FindingKind::kData, kData1, "", "", "", "", 0, "受診者名がありません");
    nameless1.insurer_number.clear();
    Finding nameless2 = nameless1;
    nameless2.pair = 2;
    const Finding whole = finding(0, FindingKind::kArchive, testkit::kArchiveName, "", "", "", "", 0, "x");
    QTest::newRow("none") << std::vector<Finding>{} << 0;
    QTest::newRow("the archive only") << std::vector<Finding>{whole} << 0;
    QTest::newRow("both documents of one") << std::vector<Finding>{taro, taro, taro_claims} << 1;
    QTest::newRow("one person in two pairs") << std::vector<Finding>{taro, taro_again} << 1;
    QTest::newRow("namesakes") << std::vector<Finding>{taro, other_ticket} << 2;
    Finding nameless1_claims = nameless1;  // a pair without a name is one examinee
    nameless1_claims.kind = FindingKind::kSettlement;
    QTest::newRow("nameless in one pair") << std::vector<Finding>{nameless1, nameless1_claims} << 1;
    QTest::newRow("nameless in two pairs") << std::vector<Finding>{nameless1, nameless2, whole} << 2;
  }
  void counts_findings_and_distinct_examinees() {
    QFETCH(std::vector<Finding>, findings);
    QFETCH(int, examinees);
    QCOMPARE(count_findings(findings), (ReportCounts{static_cast<int>(findings.size()), examinees}));
  }

  void shows_the_records_with_archive_time_and_counts() {
    QStringList rows;
    for (int row = 0; row < table()->rowCount(); ++row) {
      QStringList cells;
      for (int c = 0; c < table()->columnCount(); ++c) cells << table()->index(row, c).data().toString();
      rows << cells.join("|");
    }
    QStringList headings;
    for (int c = 0; c < table()->columnCount(); ++c) headings << table()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headings.join("|"), QString("番号|受診者名|保険者番号|受診券整理番号|種別|ファイル|項目|値|メッセージ"));
    const QString d1 = QString::fromStdString(kData1), c1 = QString::fromStdString(kClaims1);
    const QString c2 = QString::fromStdString(kClaims2);
    QCOMPARE(rows, (QStringList{
                       "1|健診　太郎|01234567|18000000001|健診情報|" + d1 + "|9N001000000000001||身長がありません",
                       "2|健診　太郎|01234567|18000000001|健診情報|" + d1 + "|9N006000000000001|65.2|体重がありません",
                       "3|健診　太郎|01234567|18000000001|決済情報|" + c1 + "|||請求区分を確認してください",
                       "4|健診　花子|01234567|18000000002|決済情報|" + c2 + "||ケンシン　ジロウ|体重がありません",
                       "5||||zipファイル|" + QString(testkit::kArchiveName) + "|||集計情報ファイルがありません",
                   }));
    QCOMPARE(viewer_->tabs()->currentIndex(), 0);
    QCOMPARE(viewer_->tabs()->tabText(1), QString("ERR.txt"));
    QCOMPARE(viewer_->lines(), kReport);
    QCOMPARE(viewer_->windowTitle(), QString("ERR.txt - 1311234567_95899071_201812060_1.zip - 2026/12/07 09:05:03"));
    QCOMPARE(viewer_->findChild<QLabel*>("Counts")->text(), QString("指摘 5 件　受診者 2 名"));
    QCOMPARE(viewer_->findChild<QLabel*>("HitCount")->text(), QString("5 / 5 件"));
    QVERIFY(viewer_->text()->isReadOnly());
    QFontMetrics fixed(viewer_->text()->font());  // half-width letters alike, full-width twice as wide
    QVERIFY2(fixed.horizontalAdvance("iiii") == fixed.horizontalAdvance("WWWW") &&
                 fixed.horizontalAdvance("保険者") == fixed.horizontalAdvance("iiiiii"),
             qPrintable(QFontInfo(viewer_->text()->font()).family()));
  }

  void sorts_and_filters_with_the_count_data() {
    QTest::addColumn<int>("sort_column");  // -1: report order
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QString>("count");
    const auto up = Qt::AscendingOrder, down = Qt::DescendingOrder;
    QTest::newRow("report order") << -1 << up << "" << "すべての種別" << QStringList{"1", "2", "3", "4", "5"}
                                  << "5 / 5 件";
    // Each examinee's findings stay together and in report order.
    QTest::newRow("by name") << int(kNameColumn) << down << "" << "すべての種別"
                             << QStringList{"4", "1", "2", "3", "5"} << "5 / 5 件";
    QTest::newRow("by kind") << int(kKindColumn) << up << "" << "すべての種別"
                             << QStringList{"5", "1", "2", "3", "4"} << "5 / 5 件";
    QTest::newRow("message text") << -1 << up << "体重" << "すべての種別" << QStringList{"2", "4"} << "2 / 5 件";
    QTest::newRow("ticket number") << -1 << up << "0002" << "すべての種別" << QStringList{"4"} << "1 / 5 件";
    QTest::newRow("value") << -1 << up << "65.2" << "すべての種別" << QStringList{"2"} << "1 / 5 件";
    QTest::newRow("case ignored") << -1 << up << "9n006" << "すべての種別" << QStringList{"2"} << "1 / 5 件";
    QTest::newRow("kind only") << -1 << up << "" << "決済情報" << QStringList{"3", "4"} << "2 / 5 件";
    QTest::newRow("text and kind") << int(kNameColumn) << up << "体重" << "決済情報" << QStringList{"4"}
                                   << "1 / 5 件";
    QTest::newRow("nothing") << -1 << up << "腹囲" << "すべての種別" << QStringList{} << "0 / 5 件";
  }
  void sorts_and_filters_with_the_count() {
    QFETCH(int, sort_column);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QString, text);
    QFETCH(QString, kind);
    QFETCH(QStringList, numbers);
    QFETCH(QString, count);
    if (sort_column >= 0) viewer_->table()->sortByColumn(sort_column, order);
    auto* filter = viewer_->findChild<QLineEdit*>("FilterField");
    filter->insert(text);
    auto* kinds = viewer_->findChild<QComboBox*>("KindChoice");
    kinds->setCurrentIndex(kinds->findText(kind));
    QCOMPARE(column(table(), kNumberColumn), numbers);
    QCOMPARE(viewer_->findChild<QLabel*>("HitCount")->text(), count);
  }

  void a_finding_shows_its_document_at_its_line_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("marked");  // the marked line, unindented
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("data item") << 2 << "<code code=\"9N006000000000001\" displayName=\"体重\"/>"
                               << QStringList{QString("%1行　身長がありません").arg(line_of(archive_, "DATA/" + kData1, "9N001000000000001")),
                                              QString("%1行　体重がありません").arg(line_of(archive_, "DATA/" + kData1, "9N006000000000001"))};
    QTest::newRow("settlement") << 3 << "<claimType code=\"2\"/>"
                                << QStringList{QString("%1行　請求区分を確認してください").arg(line_of(archive_, "CLAIMS/" + kClaims1, "<claimType"))};
    // Written near the top of a document with few line breaks, much further down once laid out.
    QTest::newRow("laid out anew") << 4 << "<name>ケンシン　ジロウ</name>"
                                   << QStringList{QString("%1行　体重がありません").arg(line_of(archive_, "CLAIMS/" + kClaims2, "<name>"))};
    QTest::newRow("the archive") << 5 << "" << QStringList{};
  }
  void a_finding_shows_its_document_at_its_line() {
    QFETCH(int, number);
    QFETCH(QString, marked);
    QFETCH(QStringList, listed);
    viewer_->table()->selectRow(number - 1);
    DocumentPane* pane = viewer_->document_pane();
    QVERIFY(pane->text()->isReadOnly());
    const int line = pane->marked_line();
    QCOMPARE(line > 0 ? pane->text()->document()->findBlockByNumber(line - 1).text().trimmed() : QString(), marked);
    QCOMPARE(pane->text()->textCursor().blockNumber() + 1, std::max(line, 1));
    QCOMPARE(pane->text()->toPlainText().isEmpty(), marked.isEmpty());
    QStringList items;
    for (int i = 0; i < pane->document_findings()->count(); ++i) items << pane->document_findings()->item(i)->text();
    QCOMPARE(items, listed);
  }

  void choosing_a_listed_finding_selects_it_in_the_table() {
    viewer_->table()->selectRow(0);
    QListWidget* listed = viewer_->document_pane()->document_findings();
    QTest::mouseClick(listed->viewport(), Qt::LeftButton, {}, listed->visualItemRect(listed->item(1)).center());
    QCOMPARE(viewer_->table()->currentIndex().row(), 1);
    QVERIFY(viewer_->document_pane()->text()->document()->findBlockByNumber(viewer_->document_pane()->marked_line() - 1)
                .text()
                .contains("9N006000000000001"));
  }

  void finds_forwards_backwards_and_round_the_end() {
    keys(QKeySequence("Ctrl+F"));
    QCOMPARE(viewer_->tabs()->currentWidget(), viewer_->text());
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

  void saves_the_report_and_the_csv_under_the_archive_name_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("csv");
    QTest::newRow("report") << "名前を付けて保存(&A)..." << "1311234567_95899071_201812060_1_ERR.txt" << false;
    QTest::newRow("csv") << "CSVで保存(&V)..." << "1311234567_95899071_201812060_1_ERR.csv" << true;
  }
  void saves_the_report_and_the_csv_under_the_archive_name() {
    QFETCH(QString, action);
    QFETCH(QString, name);
    QFETCH(bool, csv);
    QString suggested;
    const QString target = QString::fromStdString(dir_->path() + "/copy");
    auto ask = [&](QWidget*, const QString& offered) { return suggested = offered, target; };
    viewer_->ask_save_path = ask;
    viewer_->ask_csv_path = ask;
    testkit::write_file(report_path_, "a later run\r\n");  // the viewer keeps what it showed
    viewer_->findChild<QLineEdit*>("FilterField")->insert("体重");  // the file holds every finding all the same
    for (QAction* item : viewer_->menuBar()->actions().first()->menu()->actions()) {
      if (item->text() == action) item->trigger();
    }
    QCOMPARE(suggested, QString::fromStdString(dir_->path() + "/") + name);
    QCOMPARE(testkit::read_file(target.toStdString()), csv ? report::csv_text(records(archive_)) : report_bytes());
  }

  void prints_every_page_under_a_heading() {
    QCOMPARE(page_heading(archive_path(), QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3)), 2, 3),
             QString("1311234567_95899071_201812060_1.zip　2026/12/07 09:05:03　2 / 3"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string pdf = dir_->path() + "/report.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf));
    viewer_->print_to(printer);
    const std::string printed = testkit::read_file(pdf);
    QVERIFY(printed.rfind("%PDF", 0) == 0);
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
