#include "support/check_kit.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "report/report.h"
#include "support/folders_on_disk.h"

namespace fs = std::filesystem;

namespace kenshin::testkit {

TempDir::TempDir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string templ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kenshin-test.XXXXXX";
  if (::mkdtemp(templ.data()) == nullptr) throw std::runtime_error("cannot create " + templ);
  path_ = templ;
}

TempDir::~TempDir() { remove_folder_tree(path_); }

namespace {

std::string read_source_file(const std::string& folder, const std::string& name) {
  std::ifstream in(folder + "/" + name, std::ios::binary);
  if (!in) throw std::runtime_error("missing " + folder + "/" + name);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

std::string read_fixture(const std::string& name) { return read_source_file(KENSHIN_FIXTURES_DIR, name); }
std::string read_schema(const std::string& name) { return read_source_file(KENSHIN_SCHEMAS_DIR, name); }

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const std::string& content) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

struct XmlDoc::Impl {
  xmlDocPtr doc = nullptr;
  ~Impl() { xmlFreeDoc(doc); }

  std::vector<xmlNodePtr> select(const std::string& xpath) const {
    xmlXPathContextPtr ctx = xmlXPathNewContext(doc);
    xmlNodePtr root = xmlDocGetRootElement(doc);
    const xmlChar* ns = root != nullptr && root->ns != nullptr ? root->ns->href : BAD_CAST "";
    xmlXPathRegisterNs(ctx, BAD_CAST "a", ns);
    xmlXPathRegisterNs(ctx, BAD_CAST "xsi", BAD_CAST "http://www.w3.org/2001/XMLSchema-instance");
    xmlXPathObjectPtr result = xmlXPathEvalExpression(BAD_CAST xpath.c_str(), ctx);
    std::vector<xmlNodePtr> nodes;
    if (result == nullptr) {
      ADD_FAILURE() << "bad XPath in test: " << xpath;
    } else if (result->nodesetval != nullptr) {
      for (int i = 0; i < result->nodesetval->nodeNr; ++i) nodes.push_back(result->nodesetval->nodeTab[i]);
    }
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(ctx);
    return nodes;
  }

  std::vector<xmlNodePtr> select_some(const std::string& xpath) const {
    std::vector<xmlNodePtr> nodes = select(xpath);
    if (nodes.empty()) ADD_FAILURE() << "mutation selects nothing: " << xpath;
    return nodes;
  }
};

XmlDoc::XmlDoc(const std::string& text) : impl_(std::make_unique<Impl>()) {
  impl_->doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "fixture.xml", nullptr, XML_PARSE_NONET);
  if (impl_->doc == nullptr) throw std::runtime_error("fixture is not well-formed");
}

XmlDoc::XmlDoc(const XmlDoc& other) : impl_(std::make_unique<Impl>()) {
  impl_->doc = xmlCopyDoc(other.impl_->doc, 1);
}

XmlDoc::~XmlDoc() = default;

XmlDoc& XmlDoc::remove(const std::string& xpath) {
  for (xmlNodePtr node : impl_->select_some(xpath)) {
    if (node->type == XML_ATTRIBUTE_NODE) {
      xmlRemoveProp(reinterpret_cast<xmlAttrPtr>(node));
    } else {
      // Drop the indentation before the node too, so the document stays tidy.
      xmlNodePtr prev = node->prev;
      if (prev != nullptr && xmlIsBlankNode(prev)) {
        xmlUnlinkNode(prev);
        xmlFreeNode(prev);
      }
      xmlUnlinkNode(node);
      xmlFreeNode(node);
    }
  }
  return *this;
}

XmlDoc& XmlDoc::set(const std::string& xpath, const std::string& value) {
  for (xmlNodePtr node : impl_->select_some(xpath)) {
    xmlChar* escaped = xmlEncodeSpecialChars(impl_->doc, BAD_CAST value.c_str());
    xmlNodeSetContent(node, escaped);
    xmlFree(escaped);
  }
  return *this;
}

XmlDoc& XmlDoc::set_attribute(const std::string& xpath, const std::string& name, const std::string& value) {
  for (xmlNodePtr node : impl_->select_some(xpath)) xmlSetProp(node, BAD_CAST name.c_str(), BAD_CAST value.c_str());
  return *this;
}

XmlDoc& XmlDoc::append_xml(const std::string& parent_xpath, const std::string& fragment) {
  for (xmlNodePtr parent : impl_->select_some(parent_xpath)) {
    xmlNodePtr list = nullptr;
    if (xmlParseInNodeContext(parent, fragment.data(), static_cast<int>(fragment.size()), 0, &list) != XML_ERR_OK) {
      ADD_FAILURE() << "fragment does not parse: " << fragment;
      continue;
    }
    while (list != nullptr) {
      xmlNodePtr next = list->next;
      xmlUnlinkNode(list);
      xmlAddChild(parent, list);
      list = next;
    }
  }
  return *this;
}

std::string XmlDoc::text() const {
  xmlChar* buffer = nullptr;
  int size = 0;
  xmlDocDumpMemoryEnc(impl_->doc, &buffer, &size, "UTF-8");
  std::string lf(reinterpret_cast<const char*>(buffer), size);
  xmlFree(buffer);
  std::string crlf;
  crlf.reserve(lf.size() + lf.size() / 20);
  for (char c : lf) {
    if (c == '\n') crlf.push_back('\r');
    crlf.push_back(c);
  }
  return crlf;
}

XmlDoc in_settlement_namespace(const XmlDoc& doc, const std::string& ns) {
  std::string text = doc.text();
  static const std::string old_ns = "http://tokuteikenshin.jp/checkup/2007";
  for (size_t at = text.find(old_ns); at != std::string::npos; at = text.find(old_ns, at + ns.size())) {
    text.replace(at, old_ns.size(), ns);
  }
  return XmlDoc(text);
}

Archive& Archive::add(const std::string& path_in_top, const std::string& content) {
  entries.push_back(ZipEntry{top_folder + "/" + path_in_top, content});
  return *this;
}

std::string Archive::data_name(int number) {
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08d", number);
  return std::string("h131123456720181206") + digits + ".xml";
}

std::string Archive::claims_name(int number) { return "c" + data_name(number).substr(1); }

Archive& Archive::add_pair(const XmlDoc& data, const XmlDoc& claims, int number) {
  add("DATA/" + data_name(number), data.text());
  add("CLAIMS/" + claims_name(number), claims.text());
  return *this;
}

void write_many_pairs(const std::string& path, int pairs, const XmlDoc& first_data) {
  const std::string first = first_data.text(), data = XmlDoc::data().text(), claims = XmlDoc::claims().text();
  const std::string top = std::string(kArchiveStem) + "/";
  std::vector<std::pair<std::string, std::string_view>> files;
  for (int n = 1; n <= pairs; ++n) files.emplace_back(top + "DATA/" + Archive::data_name(n), n == 1 ? first : data);
  for (int n = 1; n <= pairs; ++n) files.emplace_back(top + "CLAIMS/" + Archive::claims_name(n), claims);
  write_zip_of_views(path, files);
}

Archive complete_archive() {
  Archive archive;
  archive.add_pair(XmlDoc::data(), XmlDoc::claims());
  return archive;
}

CheckResult check(const Archive& archive, EditionChoice choice, FurtherChecks* further) {
  TempDir folder;
  const std::string desktop = folder.path() + "/desktop", archive_path = folder.path() + "/" + archive.name;
  fs::create_directories(desktop);
  write_zip(archive_path, archive.entries);
  FakePlatform platform(desktop, archive_path);
  RunState run;
  run.edition = choice.edition;
  run.fiscal_year = choice.fiscal_year;
  CheckResult out;
  out.result = run_check(run, platform, further);
  out.lines = report::read_report_lines(desktop + "/ERR.txt");
  out.report_bytes = read_file(desktop + "/ERR.txt");
  out.findings = run.findings;
  return out;
}

CliResult run_cli(const std::vector<std::string>& args, const std::string& cwd, const std::vector<std::string>& env) {
  return CliProcess(args, CliLaunch{cwd, env}).wait();
}

CliProcess::CliProcess(const std::vector<std::string>& args, const CliLaunch& launch) {
  std::string out_path = capture_.path() + "/out", err_path = capture_.path() + "/err";
  pid_t pid = ::fork();
  if (pid == 0) {
    if (!launch.cwd.empty() && ::chdir(launch.cwd.c_str()) != 0) ::_exit(127);
    // The program's own messages follow the locale; the cases expect the English ones unless they ask.
    ::setenv("LC_ALL", "C", 1);
    for (const std::string& setting : launch.env) ::putenv(const_cast<char*>(setting.c_str()));
    if (!std::freopen(out_path.c_str(), "w", stdout) || !std::freopen(err_path.c_str(), "w", stderr)) ::_exit(127);
    if (launch.file_size_limit >= 0) {
      rlimit limit{static_cast<rlim_t>(launch.file_size_limit), static_cast<rlim_t>(launch.file_size_limit)};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(127);
      ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
    }
    std::vector<char*> argv;
    std::string program = KENSHIN_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  pid_ = pid;
}

CliProcess::~CliProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

void CliProcess::signal(int signal_number) const { ::kill(pid_, signal_number); }

CliResult CliProcess::wait() {
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  CliResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream out(capture_.path() + "/out"), err(capture_.path() + "/err");
  result.out.assign(std::istreambuf_iterator<char>(out), std::istreambuf_iterator<char>());
  result.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
  return result;
}

}  // namespace kenshin::testkit
