#include "extrachecks/cross_checks.h"

#include <algorithm>
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

// The index and the summary are written in the settlement documents' namespace.
constexpr const char kSenderPath[] = "//a:index/a:sender/a:id/@extension";
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
};

constexpr std::array<SummaryTotal, 4> kSummaryTotals{{
    {"//a:summary/a:totalCostAmount/@value", "//a:settlement/a:unitAmount/@value", "単価総計（totalCostAmount）",
     "単価合計（unitAmount）", false},
    {"//a:summary/a:totalPaymentAmount/@value", "//a:settlement/a:paymentAmount/@value",
     "窓口支払金額総計（totalPaymentAmount）", "窓口負担金額合計（paymentAmount）", false},
    {"//a:summary/a:totalPaymentByOtherProgram/@value", "//a:settlement/a:paymentByOtherProgram/@value",
     "他の健診による負担金額総計（totalPaymentByOtherProgram）", "他の健診による負担金額（paymentByOtherProgram）",
     true},
    {"//a:summary/a:totalClaimAmount/@value", "//a:settlement/a:claimAmount/@value", "請求金額総計（totalClaimAmount）",
     "請求金額（claimAmount）", false},
}};

// The institution number each document carries, to agree with the sender.
struct InstitutionNumber {
  docs::Bindings bindings;
  std::string_view path;
  std::string_view label;
};

constexpr InstitutionNumber kDataInstitution{
    docs::Bindings::kData,
    "//a:author/a:assignedAuthor/a:representedOrganization/a:id[@root='1.2.392.200119.6.102']/@extension",
    "ファイル作成機関番号"};
constexpr InstitutionNumber kClaimsInstitution{
    docs::Bindings::kClaims, "//a:subjectPerson/a:performerOrganization/a:id[@root='1.2.392.200119.6.102']/@extension",
    "実施機関番号"};

// Sums of one settlement amount over the archive, with the documents that
// could not add to it.
struct SettlementSum {
  int64_t total = 0;
  int unreadable = 0;
};

class CrossCheck {
 public:
  explicit CrossCheck(const RunState& run) : run_(run), reader_(*run.archive) {
    std::u16string stem = base::to_utf16(run.archive_stem);
    sender_ = base::from_utf16(base::mid_units(stem, 1, 10));
    receiver_ = base::from_utf16(base::mid_units(stem, 12, 8));
  }

  std::vector<ExtraFinding> run() {
    std::array<SettlementSum, kSummaryTotals.size()> sums{};
    for (int k = 1; k <= run_.pair_count; ++k) {
      check_data_document(k);
      check_claims_document(k, sums);
    }
    // The index and summary lines come first, then the documents' in pair order.
    auto documents_end = static_cast<std::ptrdiff_t>(findings_.size());
    check_index();
    check_summary(sums);
    std::rotate(findings_.begin(), findings_.begin() + documents_end, findings_.end());
    return std::move(findings_);
  }

 private:
  void add(int pair, const std::string& file, std::string message) {
    findings_.push_back({ExtraKind::kCrossCheck, pair, file, std::move(message)});
  }

  void check_institution(const docs::Document& doc, const InstitutionNumber& item, int pair, const std::string& file,
                         const std::string& label) {
    // A missing number is reported by the quick check already.
    std::optional<std::string> number = docs::select_text(doc, item.path);
    if (!number || *number == sender_) return;
    add(pair, file,
        label + " の" + std::string(item.label) + "（" + *number + "）がZIPファイル名の送付元機関番号（" + sender_ +
            "）と違います");
  }

  void check_data_document(int k) {
    const std::string& file = run_.data_file_list[k - 1];
    std::optional<docs::Document> doc =
        docs::load_document(reader_, run_.data_folder + "/" + file, docs::Bindings::kData);
    if (doc) check_institution(*doc, kDataInstitution, k, file, data_file_label(run_, k));
  }

  void check_claims_document(int k, std::array<SettlementSum, kSummaryTotals.size()>& sums) {
    const std::string& file = run_.claims_file_list[k - 1];
    std::optional<docs::Document> doc =
        docs::load_document(reader_, run_.claims_folder + "/" + file, docs::Bindings::kClaims);
    if (!doc) {
      for (SettlementSum& sum : sums) ++sum.unreadable;
      return;
    }
    check_institution(*doc, kClaimsInstitution, k, file, claims_file_label(run_, k));
    for (size_t i = 0; i < kSummaryTotals.size(); ++i) {
      std::optional<std::string> text = docs::select_text(*doc, kSummaryTotals[i].settlement_path);
      if (!text && kSummaryTotals[i].optional) continue;
      std::optional<int64_t> amount = text ? whole_amount(*text) : std::nullopt;
      if (amount) {
        sums[i].total += *amount;
      } else {
        ++sums[i].unreadable;
      }
    }
  }

  void check_index() {
    std::optional<docs::Document> index = load_top_level(kIndexFile, "交換用基本情報ファイル");
    if (!index) return;
    std::string file(kIndexFile);
    std::optional<std::string> sender = docs::select_text(*index, kSenderPath);
    if (!sender) {
      add(0, file, "交換用基本情報に送付元機関番号（sender）がありません");
    } else if (*sender != sender_) {
      add(0, file,
          "交換用基本情報の送付元機関番号（sender）が " + *sender + " ですが、ZIPファイル名では " + sender_ + " です");
    }
    // The receiver may be left out of the index; when it is there it must be the destination.
    std::optional<std::string> receiver = docs::select_text(*index, kReceiverPath);
    if (receiver && *receiver != receiver_) {
      add(0, file,
          "交換用基本情報の送付先機関番号（receiver）が " + *receiver + " ですが、ZIPファイル名では " + receiver_ +
              " です");
    }
    int64_t documents = static_cast<int64_t>(run_.data_file_list.size() + run_.claims_file_list.size());
    compare_count(*index, kRecordCountPath, "交換用基本情報の総ファイル数（totalRecordCount）",
                  "DATAとCLAIMSのファイルは合わせて " + std::to_string(documents) + " 件です", documents, file);
  }

  void check_summary(const std::array<SettlementSum, kSummaryTotals.size()>& sums) {
    std::optional<docs::Document> summary = load_top_level(kSummaryFile, "集計情報ファイル");
    if (!summary) return;
    std::string file(kSummaryFile);
    int64_t settlements = static_cast<int64_t>(run_.claims_file_list.size());
    compare_count(*summary, kSubjectCountPath, "集計情報の受診者総数（totalSubjectCount）",
                  "決済情報ファイルは " + std::to_string(settlements) + " 件です", settlements, file);
    for (size_t i = 0; i < kSummaryTotals.size(); ++i) {
      const SummaryTotal& row = kSummaryTotals[i];
      std::string sum =
          "決済情報の" + std::string(row.settlement_label) + "の合計は " + std::to_string(sums[i].total) + " 円です";
      if (sums[i].unreadable > 0) sum += "（読み取れない決済情報" + std::to_string(sums[i].unreadable) + "件を除く）";
      std::optional<std::string> text = docs::select_text(*summary, row.summary_path);
      if (!text) {
        if (row.optional && sums[i].total == 0) continue;
        add(0, file, "集計情報に" + std::string(row.summary_label) + "がありません。" + sum);
        continue;
      }
      std::optional<int64_t> total = whole_amount(*text);
      if (!total) {
        add(0, file, "集計情報の" + std::string(row.summary_label) + "「" + *text + "」を確認してください。" + sum);
      } else if (*total != sums[i].total || sums[i].unreadable > 0) {
        add(0, file,
            "集計情報の" + std::string(row.summary_label) + "が " + std::to_string(*total) + " 円ですが、" + sum);
      }
    }
  }

  void compare_count(const docs::Document& doc, std::string_view path, const std::string& label,
                     const std::string& actual, int64_t expected, const std::string& file) {
    std::optional<std::string> text = docs::select_text(doc, path);
    if (!text) {
      add(0, file, label + "がありません。" + actual);
      return;
    }
    std::optional<int64_t> count = whole_amount(*text);
    if (!count) {
      add(0, file, label + "「" + *text + "」を確認してください。" + actual);
    } else if (*count != expected) {
      add(0, file, label + "が " + std::to_string(*count) + " ですが、" + actual);
    }
  }

  std::optional<docs::Document> load_top_level(std::string_view name, const std::string& what) {
    std::string file(name);
    std::optional<std::string> path = top_level_file(run_, name);
    if (!path) {
      add(0, file, what + "（" + file + "）がありません");
      return std::nullopt;
    }
    std::optional<docs::Document> doc = docs::load_document(reader_, *path, docs::Bindings::kClaims);
    if (!doc) add(0, file, what + "（" + file + "）を読み込めません");
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
  std::string sender_;
  std::string receiver_;
  std::vector<ExtraFinding> findings_;
};

}  // namespace

std::vector<ExtraFinding> cross_check_archive(const RunState& run) { return CrossCheck(run).run(); }

}  // namespace kenshin::extrachecks
