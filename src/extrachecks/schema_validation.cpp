#include "extrachecks/schema_validation.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "docs/entities.h"
#include "docs/xml.h"
#include "extrachecks/schema_folder.h"
#include "extrachecks/schema_messages.h"
#include "run/run_failure.h"

namespace kenshin::extrachecks {

namespace {

// Errors in the order the engine reports them; warnings are not counted.
struct ErrorLog {
  int count = 0;
  long first_line = 0;
  std::string first_message;
  std::string first_engine_text;
};

std::string text_of(const xmlChar* text) { return text != nullptr ? reinterpret_cast<const char*>(text) : ""; }

// The text of the element or attribute a validity error is about; the
// document is still there while the engine reports.
std::string value_at(const xmlError& error, const std::string& message) {
  auto* node = static_cast<xmlNodePtr>(error.node);
  std::optional<SchemaErrorPlace> place = place_of(message);
  if (node == nullptr || node->type != XML_ELEMENT_NODE || !place) return "";
  xmlChar* text = place->attribute.empty() ? xmlNodeGetContent(node)
                                           : xmlGetProp(node, reinterpret_cast<const xmlChar*>(place->attribute.c_str()));
  std::string value = text_of(text);
  xmlFree(text);
  return value;
}

void collect(void* data, xmlErrorPtr error) {
  if (error == nullptr || error->level < XML_ERR_ERROR) return;
  auto* log = static_cast<ErrorLog*>(data);
  if (log->count++ == 0) {
    log->first_line = error->line;
    log->first_engine_text = readable_message(error->message != nullptr ? error->message : "");
    log->first_message = log->first_engine_text;
    if (error->domain == XML_FROM_SCHEMASV) {
      SchemaError known{error->code, log->first_engine_text, error->str1 != nullptr ? error->str1 : "",
                        error->str2 != nullptr ? error->str2 : "", value_at(*error, log->first_engine_text)};
      if (std::optional<std::string> japanese = japanese_schema_message(known)) log->first_message = *japanese;
    }
  }
}

void ignore_generic(void*, const char*, ...) {}

// Routes the engine's parser errors into a log while it lives.
class ParserErrorsTo {
 public:
  explicit ParserErrorsTo(ErrorLog& log) : previous_(xmlStructuredError), previous_data_(xmlStructuredErrorContext) {
    xmlSetGenericErrorFunc(nullptr, ignore_generic);
    xmlSetStructuredErrorFunc(&log, collect);
  }
  ~ParserErrorsTo() { xmlSetStructuredErrorFunc(previous_data_, previous_); }
  ParserErrorsTo(const ParserErrorsTo&) = delete;
  ParserErrorsTo& operator=(const ParserErrorsTo&) = delete;

 private:
  xmlStructuredErrorFunc previous_;
  void* previous_data_;
};

struct DocFree {
  void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};

ValidationErrors from_log(const ErrorLog& log, bool well_formed) {
  return ValidationErrors{log.count, well_formed, log.first_line, log.first_message, log.first_engine_text};
}

// A document that could not be read at all.
ValidationErrors unreadable() { return ValidationErrors{1, false, 0, "ファイルを読み込めません", {}}; }

}  // namespace

std::string readable_message(const std::string& message) {
  std::string out;
  for (size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '{') {
      size_t close = message.find('}', i);
      if (close != std::string::npos && message.find(':', i) < close) {
        i = close;
        continue;
      }
    }
    out.push_back(message[i]);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
  return out;
}

SchemaValidator::SchemaValidator(std::string folder) : folder_(std::move(folder)) {}

SchemaValidator::SchemaValidator(platform::ZipArchive& archive, std::string folder)
    : folder_(std::move(folder)), archive_(&archive), reader_(std::in_place, archive) {}

class SchemaValidator::Confinement {
 public:
  explicit Confinement(SchemaValidator& v) {
    if (v.archive_ != nullptr) {
      loader_.emplace(*v.reader_, *v.archive_, v.folder_);
    } else {
      loader_.emplace(v.folder_);
    }
  }

 private:
  std::optional<ConfinedLoader> loader_;
};

SchemaValidator::~SchemaValidator() {
  for (auto& [name, schema] : compiled_) xmlSchemaFree(schema);
}

std::optional<std::string> SchemaValidator::prepare(const std::string& schema_name) {
  if (compiled_.count(schema_name) != 0) return std::nullopt;
  if (auto it = unusable_.find(schema_name); it != unusable_.end()) return it->second;

  std::string path = folder_ + "/" + schema_name;
  std::error_code ec;
  std::string why;
  if (archive_ != nullptr ? !archive_->is_file(path) : !std::filesystem::is_regular_file(path, ec)) {
    why = "ファイルがありません";
  } else {
    ErrorLog log;
    ParserErrorsTo route(log);
    Confinement confined(*this);
    std::string url = archive_ != nullptr ? archive_url(path) : path;
    xmlSchemaParserCtxtPtr context = xmlSchemaNewParserCtxt(url.c_str());
    if (context == nullptr) throw RunFailure("スキーマの読込を準備できません");
    xmlSchemaSetParserStructuredErrors(context, collect, &log);
    xmlSchemaPtr schema = xmlSchemaParse(context);
    xmlSchemaFreeParserCtxt(context);
    if (schema != nullptr && log.count == 0) {
      compiled_.emplace(schema_name, schema);
      return std::nullopt;
    }
    if (schema != nullptr) xmlSchemaFree(schema);
    why = log.first_message.empty() ? "スキーマとして読み込めません" : log.first_message;
  }
  unusable_.emplace(schema_name, why);
  return why;
}

ValidationErrors SchemaValidator::validate(const std::string& schema_name, std::optional<std::string_view> content,
                                           const std::string& url) {
  xmlSchemaPtr schema = compiled_.at(schema_name);
  ErrorLog log;
  if (!content) return unreadable();

  ParserErrorsTo route(log);
  Confinement confined(*this);
  int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES;
  const char* encoding = docs::encoding_override(*content);
  if (encoding != nullptr) options |= XML_PARSE_IGNORE_ENC;
  std::unique_ptr<xmlDoc, DocFree> doc(
      xmlReadMemory(content->data(), static_cast<int>(content->size()), url.c_str(), encoding, options));
  if (doc == nullptr || log.count > 0) {
    if (log.count == 0) log.count = 1;
    return from_log(log, false);
  }
  if (!docs::entity_text_within_budget(doc.get())) return unreadable();
  return validate_tree(schema, doc.get());
}

ValidationErrors SchemaValidator::validate(const std::string& schema_name, const docs::Document* doc,
                                           const docs::ParseReport& report) {
  using Outcome = docs::ParseReport::Outcome;
  xmlSchemaPtr schema = compiled_.at(schema_name);
  if (report.outcome == Outcome::kUnread) return unreadable();
  if (report.errors > 0 || report.outcome == Outcome::kMalformed) {
    std::string text = readable_message(report.first_message);
    ErrorLog log{std::max(report.errors, 1), report.first_line, text, text};
    return from_log(log, false);
  }
  if (report.outcome == Outcome::kOverBudget || doc == nullptr) return unreadable();
  ErrorLog ignored;
  ParserErrorsTo route(ignored);
  Confinement confined(*this);
  return validate_tree(schema, docs::libxml_tree(*doc));
}

ValidationErrors SchemaValidator::validate_tree(xmlSchemaPtr schema, xmlDocPtr doc) {
  ErrorLog log;
  xmlSchemaValidCtxtPtr context = xmlSchemaNewValidCtxt(schema);
  if (context == nullptr) throw RunFailure("スキーマ検証を準備できません");
  xmlSchemaSetValidStructuredErrors(context, collect, &log);
  int result = xmlSchemaValidateDoc(context, doc);
  xmlSchemaFreeValidCtxt(context);
  if (result < 0) throw RunFailure("スキーマ検証を実行できません");
  if (result > 0 && log.count == 0) log.count = 1;
  return from_log(log, true);
}

}  // namespace kenshin::extrachecks
