#include "extrachecks/schema_check.h"

#include <memory>
#include <optional>
#include <set>
#include <string_view>

#include "base/text.h"
#include "docs/xml.h"
#include "extrachecks/archive_files.h"
#include "extrachecks/schema_folder.h"
#include "extrachecks/schema_validation.h"
#include "platform/zip_archive.h"
#include "run/run_failure.h"

namespace kenshin::extrachecks {

namespace {

constexpr std::string_view kDataSchema = "hc08_V08.xsd";
constexpr std::string_view kClaimsSchema = "cc08_V08.xsd";
constexpr std::string_view kIndexSchema = "ix08_V08.xsd";
constexpr std::string_view kSummarySchema = "su08_V08.xsd";

constexpr std::string_view kArchiveSetHeading = "【スキーマ検証（ZIPファイル内のXSDフォルダのスキーマ）】";
constexpr std::string_view kShippedSetHeading = "【スキーマ検証（本プログラム同梱のスキーマ）】";
constexpr std::string_view kNoSchemaHeading = "【スキーマ検証】";
constexpr std::string_view kNoSchemaOfEdition =
    "ZIPファイルにXSDフォルダがなく、2024年度版のスキーマが手元にないため、スキーマ検証を行っていません";

// The engine's messages name files by their URL; the user knows them by their
// place below the archive's top folder.
std::string archive_relative(const RunState& run, std::string text) {
  const std::string folder = archive_url(run.extraction_folder) + "/";
  for (size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at))
    text.erase(at, folder.size());
  return text;
}

}  // namespace

// Picks, schema by schema, the archive's own or the shipped one. A schema the
// archive's folder lacks or that does not compile is said once and replaced
// by the shipped one, so that its documents are still checked. The shipped
// schemas are those of the 2018 edition: a FY2024 run uses the archive's own
// only, and the documents of a schema it lacks go unchecked.
class SchemaSource {
 public:
  SchemaSource(const RunState& run, platform::ZipArchive& archive, std::vector<ExtraFinding>& findings)
      : run_(run), findings_(findings), shipped_allowed_(run.edition == base::Edition::k2018) {
    if (std::optional<std::string> xsd = archive.folder_path(run.extraction_folder + "/XSD")) {
      archive_ = std::make_unique<SchemaValidator>(archive, *xsd);
      archive_label_ = base::last_component(*xsd);
    }
  }

  bool uses_archive_set() const { return archive_ != nullptr; }
  bool has_any() const { return archive_ != nullptr || shipped_allowed_; }

  // nullptr when no usable schema of the run's edition is at hand.
  SchemaValidator* validator_for(std::string_view schema) {
    std::string name(schema);
    if (archive_) {
      std::optional<std::string> why = archive_->prepare(name);
      if (!why) return archive_.get();
      if (reported_.insert(name).second) {
        std::string outcome = shipped_allowed_ ? " を使えないため、同梱のスキーマで検証しました（"
                                               : " を使えないため、この種類の文書は検証していません（";
        findings_.push_back({ExtraKind::kSchema, 0, name,
                             "ZIPファイル内の" + archive_label_ + "/" + name + outcome +
                                 archive_relative(run_, *why) + "）",
                             "schema.archive-schema-unusable", archive_relative(run_, *why), 0});
      }
    }
    return shipped_allowed_ ? &shipped(name) : nullptr;
  }

 private:
  SchemaValidator& shipped(const std::string& name) {
    if (!shipped_) {
      std::optional<std::string> folder = shipped_schema_folder();
      if (!folder) throw RunFailure("同梱のスキーマが見つかりません（" + name + "）");
      shipped_ = std::make_unique<SchemaValidator>(*folder);
    }
    if (std::optional<std::string> why = shipped_->prepare(name)) {
      throw RunFailure("同梱のスキーマ " + name + " を読み込めません: " + *why);
    }
    return *shipped_;
  }

  const RunState& run_;
  std::vector<ExtraFinding>& findings_;
  bool shipped_allowed_;
  std::unique_ptr<SchemaValidator> archive_;
  std::string archive_label_;
  std::unique_ptr<SchemaValidator> shipped_;
  std::set<std::string> reported_;
};

namespace {

std::string describe(const std::string& label, const ValidationErrors& errors) {
  std::string where = errors.first_line > 0 ? std::to_string(errors.first_line) + "行目：" : "";
  if (!errors.well_formed) {
    return label + " はXMLとして正しくないため検証できません（" + where + errors.first_message + "）";
  }
  return label + " がスキーマに適合しません（エラー" + std::to_string(errors.count) + "件、最初は" + where +
         errors.first_message + "）";
}

}  // namespace

// The source is made at the first document, when the schemas are first needed.
SchemaPass::SchemaPass(const RunState& run, platform::ZipArchive& archive) : run_(run), archive_(archive) {}
SchemaPass::~SchemaPass() = default;

bool SchemaPass::ready() {
  if (!source_) {
    source_ = std::make_unique<SchemaSource>(run_, archive_, findings_);
    heading_ = std::string(source_->uses_archive_set() ? kArchiveSetHeading : kShippedSetHeading);
    if (!source_->has_any()) {
      heading_ = kNoSchemaHeading;
      findings_.push_back(
          {ExtraKind::kSchema, 0, "XSD", std::string(kNoSchemaOfEdition), "schema.none-of-edition", {}, 0});
    }
  }
  return source_->has_any();
}

void SchemaPass::validate(std::string_view schema, const docs::Document* doc, const docs::ParseReport& report,
                          const std::string& label, int pair, const std::string& file) {
  if (!ready()) return;
  SchemaValidator* validator = source_->validator_for(schema);
  if (!validator) return;
  ValidationErrors errors = validator->validate(std::string(schema), doc, report);
  errors.first_message = archive_relative(run_, errors.first_message);
  if (errors.count > 0) {
    // The CSV keeps the validator's own words where the line has them in Japanese.
    std::string own_words =
        errors.first_engine_text.empty() ? errors.first_message : archive_relative(run_, errors.first_engine_text);
    findings_.push_back({ExtraKind::kSchema, pair, file, describe(label, errors),
                         errors.well_formed ? "schema.invalid" : "schema.not-well-formed", std::move(own_words),
                         static_cast<int>(errors.first_line)});
  }
}

void SchemaPass::top_level(const TopLevelDocument& top) {
  std::string_view schema = top.name == kIndexFile ? kIndexSchema : kSummarySchema;
  if (!top.path) return;
  std::string file = base::last_component(*top.path);
  validate(schema, top.doc ? &*top.doc : nullptr, top.report, file, 0, file);
}

void SchemaPass::pair(int k, const docs::LoadedPair& pair) {
  const std::string& data = run_.data_file_list[k - 1];
  const std::string& claims = run_.claims_file_list[k - 1];
  validate(kDataSchema, pair.data ? &*pair.data : nullptr, pair.data_report, data_file_label(run_, k), k, data);
  validate(kClaimsSchema, pair.claims ? &*pair.claims : nullptr, pair.claims_report, claims_file_label(run_, k), k,
           claims);
}

const std::string& SchemaPass::heading() {
  ready();
  return heading_;
}

}  // namespace kenshin::extrachecks
