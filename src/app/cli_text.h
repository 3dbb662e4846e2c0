// The programs' own texts on the terminal (help, usage errors, progress) in
// the user's language: Japanese when the locale is Japanese, English
// otherwise. ERR.txt and the finding messages are Japanese whatever the locale.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace kenshin::app {

enum class Language { kEnglish, kJapanese };

// The language of messages for the locale variables as the C library reads
// them: the first one set and not empty of LC_ALL, LC_MESSAGES, LANG decides;
// Japanese when it names the "ja" language ("ja", "ja_JP.UTF-8", "ja_JP@…").
// nullptr stands for an unset variable.
Language language_for(const char* lc_all, const char* lc_messages, const char* lang);

// language_for() of this process's environment.
Language language_of_environment();

// One text in both languages; "{}" marks where a value goes.
struct Text {
  std::string_view english;
  std::string_view japanese;

  constexpr std::string_view in(Language language) const {
    return language == Language::kJapanese ? japanese : english;
  }
};

// The text in `language` with each "{}" replaced by the next of `values`.
std::string format(const Text& text, Language language, std::initializer_list<std::string_view> values = {});

namespace cli {

inline constexpr Text kUsage{
    "usage: kenshin-check [--desktop DIR] [-q|--quiet] [--edition 2018|2024] [--fiscal-year YYYY]\n"
    "                     [--schema] [--archive-checks] [--csv FILE] ARCHIVE\n"
    "       kenshin-check -h|--help | -V|--version\n",
    "使い方: kenshin-check [--desktop DIR] [-q|--quiet] [--edition 2018|2024] [--fiscal-year YYYY]\n"
    "                      [--schema] [--archive-checks] [--csv FILE] ARCHIVE\n"
    "        kenshin-check -h|--help | -V|--version\n"};

inline constexpr Text kHelp{
    "Checks a specified health checkup submission archive (.zip) and writes\n"
    "every finding into ERR.txt (code page 932, CR LF) in the desktop folder.\n"
    "\n"
    "  --desktop DIR  write ERR.txt into DIR instead of the desktop folder\n"
    "  -q, --quiet    do not print the report\n"
    "  --edition 2018|2024\n"
    "                 the edition of the national standard the archive follows:\n"
    "                 2018 (the default) or 2024 (the FY2024 standard)\n"
    "  --fiscal-year YYYY\n"
    "                 with --edition 2024: the fiscal year whose claims are checked,\n"
    "                 2024 or later (default: the fiscal year of today in Japan);\n"
    "                 e.g. kenshin-check --edition 2024 --fiscal-year 2026 ARCHIVE\n"
    "  --schema       also validate every document against the national schemas\n"
    "                 (the archive's own XSD folder, else in the 2018 edition the\n"
    "                 schemas installed with the program; the 2024 edition uses the\n"
    "                 archive's only); e.g. kenshin-check --schema ARCHIVE\n"
    "  --archive-checks\n"
    "                 also check ix08_V08.xml and su08_V08.xml against the archive:\n"
    "                 totals, record count and receiver number;\n"
    "                 e.g. kenshin-check --archive-checks ARCHIVE\n"
    "  --csv FILE     also write every finding to FILE as CSV (UTF-8 with BOM);\n"
    "                 e.g. kenshin-check --schema --csv findings.csv ARCHIVE\n"
    "  -h, --help     show this help\n"
    "  -V, --version  show the version\n"
    "\n"
    "The lines of --schema and --archive-checks follow the quick check's lines in\n"
    "ERR.txt, each kind under a heading of its own.\n"
    "\n"
    "Exit status: 0 no findings, 1 findings, 2 usage error, 3 the check failed.\n",
    "特定健診の提出用ZIPファイルをチェックし、見つかった誤りをすべてデスクトップ\n"
    "フォルダの ERR.txt（シフトJIS（コードページ932）、改行は CR LF）に書き込みます。\n"
    "\n"
    "  --desktop DIR  ERR.txt をデスクトップフォルダではなく DIR に書き込む\n"
    "  -q, --quiet    結果を画面に表示しない\n"
    "  --edition 2018|2024\n"
    "                 ZIPファイルが従う国の電子的標準様式の版：\n"
    "                 2018（既定）または 2024（2024年度からの様式）\n"
    "  --fiscal-year YYYY\n"
    "                 --edition 2024 と一緒に：請求をチェックする年度、2024 以降\n"
    "                 （既定：日本の今日の日付の年度）\n"
    "                 例 kenshin-check --edition 2024 --fiscal-year 2026 ARCHIVE\n"
    "  --schema       すべての文書を国のスキーマでも検証する（ZIPファイル内の\n"
    "                 XSD フォルダのスキーマ、なければ 2018 の版では本プログラム同梱の\n"
    "                 スキーマ。2024 の版ではZIPファイル内のものだけを使う）\n"
    "                 例 kenshin-check --schema ARCHIVE\n"
    "  --archive-checks\n"
    "                 ix08_V08.xml と su08_V08.xml をZIPファイルの内容とも照合する：\n"
    "                 合計、レコード数、送付先の番号\n"
    "                 例 kenshin-check --archive-checks ARCHIVE\n"
    "  --csv FILE     見つかった誤りをすべて FILE にも CSV（BOM付き UTF-8）で書き込む\n"
    "                 例 kenshin-check --schema --csv findings.csv ARCHIVE\n"
    "  -h, --help     このヘルプを表示する\n"
    "  -V, --version  バージョンを表示する\n"
    "\n"
    "--schema と --archive-checks の結果は、ERR.txt の簡易チェックの結果の後に、\n"
    "種類ごとに見出しを付けて書き込みます。\n"
    "\n"
    "終了ステータス：0 誤りなし、1 誤りあり、2 使い方の誤り、3 チェックできなかった\n"};

inline constexpr Text kDesktopNeedsFolder{"--desktop needs a folder", "--desktop にはフォルダを指定してください"};
inline constexpr Text kEditionNeedsValue{"--edition needs 2018 or 2024",
                                         "--edition には 2018 か 2024 を指定してください"};
inline constexpr Text kNoSuchEdition{"no such edition: {} (2018 or 2024)",
                                     "その版はありません: {}（2018 か 2024）"};
inline constexpr Text kFiscalYearNeedsValue{"--fiscal-year needs a year", "--fiscal-year には年度を指定してください"};
inline constexpr Text kCsvNeedsFile{"--csv needs a file", "--csv にはファイルを指定してください"};
inline constexpr Text kUnknownOption{"unknown option {}", "{} は未知のオプションです"};
inline constexpr Text kOneArchiveOnly{"only one archive can be checked at a time",
                                      "一度にチェックできるZIPファイルは1つだけです"};
inline constexpr Text kNoArchive{"no archive given", "ZIPファイルが指定されていません"};
inline constexpr Text kFiscalYearNeeds2024{
    "--fiscal-year needs --edition 2024 (the 2018 edition checks 2018 only)",
    "--fiscal-year は --edition 2024 と一緒に指定してください（2018 の版は2018年度分だけをチェックします）"};
inline constexpr Text kNoSuchFiscalYear{"no such fiscal year: {} (2024 or later, four digits)",
                                        "その年度はありません: {}（2024 以降の4桁の数字）"};
inline constexpr Text kIsAFolder{"{}: is a folder", "{}: フォルダです"};
inline constexpr Text kNoSuchArchive{"no such archive file: {}", "ZIPファイルがありません: {}"};
inline constexpr Text kNoSuchDesktop{"no such desktop folder: {}", "デスクトップフォルダがありません: {}"};
inline constexpr Text kCannotWriteCsv{"cannot write the CSV file there: {}", "そこにはCSVファイルを書き込めません: {}"};
inline constexpr Text kPairProgress{"pair {} of {}", "{} / {} ペア"};

}  // namespace cli

namespace gui {

inline constexpr Text kDescription{
    "Checks a specified health checkup submission archive (.zip) and shows\n"
    "ERR.txt, the report written into the desktop folder.",
    "特定健診の提出用ZIPファイルをチェックし、デスクトップフォルダに書き込んだ\n"
    "結果 ERR.txt を表示します。"};
inline constexpr Text kArchiveArgument{"archive to check at once", "すぐにチェックするZIPファイル"};
inline constexpr Text kOneArchiveOnly = cli::kOneArchiveOnly;

}  // namespace gui

}  // namespace kenshin::app
