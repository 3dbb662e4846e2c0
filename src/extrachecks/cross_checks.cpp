#include "extrachecks/cross_checks.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"
#include "docs/xml.h"
#include "extrachecks/archive_files.h"
#include "platform/zip_archive.h"

namespace kenshin::extrachecks {

namespace {

// The index and the summary are written in a settlement namespace, the 2007
// one or the FY2024 one; providers mix them within one archive.
constexpr docs::Bindings kSettlementBindings = docs::Bindings::kClaimsEitherEdition;

constexpr const char kReceiverPath[] = "//a:index/a:receiver/a:id/@extension";
constexpr const char kRecordCountPath[] = "//a:index/a:totalRecordCount/@value";
constexpr const char kSubjectCountPath[] = "//a:summary/a:totalSubjectCount/@value";

// A summary total and the settlement amount it adds up. Other programs'
// payments are optional on both sides: absent counts as 0.
struct SummaryTotal {
  std::string_view summary_path;
  std::string_view settlement_path;
  std::string_view summary_label;
  std::string_view settlement_label;
  bool optional;
  std::string_view rule;  // the rule id's stem
};

constexpr std::array<SummaryTotal, 4> kSummaryTotals{{
    {"//a:summary/a:totalCostAmount/@value", "//a:settlement/a:unitAmount/@value", "単価総計（totalCostAmount）",
     "単価合計（unitAmount）", false, "cross-check.summary.total-cost"},
    {"//a:summary/a:totalPaymentAmount/@value", "//a:settlement/a:paymentAmount/@value",
     "窓口支払金額総計（totalPaymentAmount）", "窓口負担金額合計（paymentAmount）", false,
     "cross-check.summary.total-payment"},
    {"//a:summary/a:totalPaymentByOtherProgram/@value", "//a:settlement/a:paymentByOtherProgram/@value",
     "他の健診による負担金額総計（totalPaymentByOtherProgram）", "他の健診による負担金額（paymentByOtherProgram）",
     true, "cross-check.summary.total-other-program"},
    {"//a:summary/a:totalClaimAmount/@value", "//a:settlement/a:claimAmount/@value", "請求金額総計（totalClaimAmount）",
     "請求金額（claimAmount）", false, "cross-check.summary.total-claim"},
}};

// Sums of one settlement amount over the archive, with the documents that
// could not add to it: those that could not be read at all, and those read
// whose amount is missing or not a whole number.
struct SettlementSum {
  int64_t total = 0;
  int unreadable = 0;
  int without_amount = 0;
  int left_out() const { return unreadable + without_amount; }
};

class CrossCheck {
 public:
  explicit CrossCheck(const RunState& run) : run_(run), reader_(*run.archive) {
    receiver_ = base::from_utf16(base::mid_units(base::to_utf16(run.archive_stem), 12, 8));
  }

  std::vector<ExtraFinding> run() {
    std::array<SettlementSum, kSummaryTotals.size()> sums{};
    for (int k = 1; k <= run_.pair_count; ++k) add_settlement(k, sums);
    check_index();
    check_summary(sums);
    return std::move(findings_);
  }

 private:
  void add(const std::string& file, std::string_view rule, std::string message, std::string value = {}) {
    findings_.push_back({ExtraKind::kCrossCheck, 0, file, std::move(message), std::string(rule), std::move(value), 0});
  }

  void add_settlement(int k, std::array<SettlementSum, kSummaryTotals.size()>& sums) {
    std::optional<docs::Document> doc =
        docs::load_document(reader_, run_.claims_folder + "/" + run_.claims_file_list[k - 1], kSettlementBindings);
    if (!doc) {
      for (SettlementSum& sum : sums) ++sum.unreadable;
      return;
    }
    for (size_t i = 0; i < kSummaryTotals.size(); ++i) {
      std::optional<std::string> text = docs::select_text(*doc, kSummaryTotals[i].settlement_path);
      if (!text && kSummaryTotals[i].optional) continue;
      std::optional<int64_t> amount = text ? whole_amount(*text) : std::nullopt;
      if (amount) {
        sums[i].total += *amount;
      } else {
        ++sums[i].without_amount;
      }
    }
  }

  void check_index() {
    std::optional<docs::Document> index = load_top_level(kIndexFile, "交換用基本情報ファイル", "cross-check.index");
    if (!index) return;
    std::string file(kIndexFile);
    // The sender may be a provider, an insurer or an agency acting for
    // several providers, so it need not be the archive name's sender. The
    // receiver may be left out of the index; when it is there it must be the destination.
    std::optional<std::string> receiver = docs::select_text(*index, kReceiverPath);
    if (receiver && *receiver != receiver_) {
      add(file, "cross-check.index.receiver",
          "交換用基本情報の送付先機関番号（receiver）が " + *receiver + " ですが、ZIPファイル名では " + receiver_ +
              " です",
          *receiver);
    }
    int64_t documents = static_cast<int64_t>(run_.data_file_list.size() + run_.claims_file_list.size());
    compare_count(*index, kRecordCountPath, "交換用基本情報の総ファイル数（totalRecordCount）",
                  "DATAとCLAIMSのファイルは合わせて " + std::to_string(documents) + " 件です", documents, file,
                  "cross-check.index.record-count");
  }

  void check_summary(const std::array<SettlementSum, kSummaryTotals.size()>& sums) {
    std::optional<docs::Document> summary = load_top_level(kSummaryFile, "集計情報ファイル", "cross-check.summary");
    if (!summary) return;
    std::string file(kSummaryFile);
    int64_t settlements = static_cast<int64_t>(run_.claims_file_list.size());
    compare_count(*summary, kSubjectCountPath, "集計情報の受診者総数（totalSubjectCount）",
                  "決済情報ファイルは " + std::to_string(settlements) + " 件です", settlements, file,
                  "cross-check.summary.subject-count");
    for (size_t i = 0; i < kSummaryTotals.size(); ++i) {
      const SummaryTotal& row = kSummaryTotals[i];
      std::string sum =
          "決済情報の" + std::string(row.settlement_label) + "の合計は " + std::to_string(sums[i].total) + " 円です";
      sum += left_out_note(sums[i]);
      std::optional<std::string> text = docs::select_text(*summary, row.summary_path);
      if (!text) {
        if (row.optional && sums[i].total == 0) continue;
        add(file, std::string(row.rule) + ".absent", "集計情報に" + std::string(row.summary_label) + "がありません。" + sum);
        continue;
      }
      std::optional<int64_t> total = whole_amount(*text);
      if (!total) {
        add(file, std::string(row.rule) + ".malformed",
            "集計情報の" + std::string(row.summary_label) + "「" + *text + "」を確認してください。" + sum, *text);
      } else if (*total != sums[i].total || sums[i].left_out() > 0) {
        add(file, std::string(row.rule) + ".differs",
            "集計情報の" + std::string(row.summary_label) + "が " + std::to_string(*total) + " 円ですが、" + sum, *text);
      }
    }
  }

  static std::string left_out_note(const SettlementSum& sum) {
    std::vector<std::string> parts;
    if (sum.unreadable > 0) parts.push_back("読み取れない決済情報" + std::to_string(sum.unreadable) + "件");
    if (sum.without_amount > 0) {
      parts.push_back("この金額がないか整数でない決済情報" + std::to_string(sum.without_amount) + "件");
    }
    if (parts.empty()) return "";
    return "（" + (parts.size() == 1 ? parts[0] : parts[0] + "、" + parts[1]) + "を除く）";
  }

  void compare_count(const docs::Document& doc, std::string_view path, const std::string& label,
                     const std::string& actual, int64_t expected, const std::string& file, std::string_view rule) {
    std::optional<std::string> text = docs::select_text(doc, path);
    if (!text) {
      add(file, std::string(rule) + ".absent", label + "がありません。" + actual);
      return;
    }
    std::optional<int64_t> count = whole_amount(*text);
    if (!count) {
      add(file, std::string(rule) + ".malformed", label + "「" + *text + "」を確認してください。" + actual, *text);
    } else if (*count != expected) {
      add(file, std::string(rule) + ".differs", label + "が " + std::to_string(*count) + " ですが、" + actual, *text);
    }
  }

  std::optional<docs::Document> load_top_level(std::string_view name, const std::string& what,
                                              std::string_view rule) {
    std::string file(name);
    std::optional<std::string> path = top_level_file(run_, name);
    if (!path) {
      add(file, std::string(rule) + ".missing", what + "（" + file + "）がありません");
      return std::nullopt;
    }
    std::optional<docs::Document> doc = docs::load_document(reader_, *path, kSettlementBindings);
    if (!doc) add(file, std::string(rule) + ".unreadable", what + "（" + file + "）を読み込めません");
    return doc;
  }

  // Amounts and counts are whole numbers; "001000" is 1000.
  static std::optional<int64_t> whole_amount(const std::string& text) {
    std::optional<double> value = base::numeric_value(text);
    if (!value || *value != base::round_half_even(*value) || *value < -9e15 || *value > 9e15) return std::nullopt;
    return static_cast<int64_t>(*value);
  }

  const RunState& run_;
  platform::ZipReader reader_;
  std::string receiver_;
  std::vector<ExtraFinding> findings_;
};

}  // namespace

std::vector<ExtraFinding> cross_check_archive(const RunState& run) { return CrossCheck(run).run(); }

}  // namespace kenshin::extrachecks
