// Helper of tools/bench.sh.
//   bench_tool make N FIXTURE_DIR ARCHIVE   writes an N-pair archive whose
//                                           pairs carry varied findings
//   bench_tool floor ARCHIVE                decompresses every document in
//                                           memory and parses it once: the
//                                           least any check of the archive costs
#include <libxml/parser.h>
#include <zip.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    std::exit(2);
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void replace(std::string& text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
}

struct Variant {
  const char* file;  // "data" or "claims"
  const char* from;
  const char* to;
};

// One edit per pair, cycling: most pairs are clean, the others each give a
// few findings of a different kind.
const Variant kVariants[] = {
    {"data", "", ""},
    {"data", "<code code=\"10\"", "<code code=\"11\""},
    {"claims", "<claimType code=\"2\"/>", "<claimType code=\"7\"/>"},
    {"data", "", ""},
    {"data", "extension=\"18100012345\"", "extension=\"1810001234X\""},
    {"data", "extension=\"06139998\"", "extension=\"0613999\""},
    {"data", "", ""},
    {"claims", "<administrativeGender code=\"1\"/>", "<administrativeGender code=\"2\"/>"},
    {"data", "value=\"65.2\"", "value=\"abc\""},
    {"data", "", ""},
};

int make(int n, const std::string& fixtures, const std::string& archive) {
  const std::string data = read_all(fixtures + "/data-complete.xml");
  const std::string claims = read_all(fixtures + "/claims-complete.xml");
  int error = 0;
  zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (zip == nullptr) return 2;
  const std::string top = archive.substr(archive.find_last_of('/') + 1, 31) + "/";
  std::vector<std::string> contents;  // libzip reads the buffers at zip_close
  contents.reserve(2 * static_cast<size_t>(n));
  for (int i = 1; i <= n; ++i) {
    const Variant& v = kVariants[i % (sizeof kVariants / sizeof kVariants[0])];
    std::string d = data, c = claims;
    if (*v.from != '\0') replace(std::strcmp(v.file, "data") == 0 ? d : c, v.from, v.to);
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08d", i);
    const std::string stem = std::string("131123456720181206") + digits + ".xml";
    for (auto [name, text] : {std::pair{"DATA/h" + stem, &d}, std::pair{"CLAIMS/c" + stem, &c}}) {
      contents.push_back(std::move(*text));
      zip_source_t* src = zip_source_buffer(zip, contents.back().data(), contents.back().size(), 0);
      if (zip_file_add(zip, (top + name).c_str(), src, ZIP_FL_ENC_UTF_8) < 0) return 2;
    }
  }
  return zip_close(zip) == 0 ? 0 : 2;
}

void ignore(void*, const char*, ...) {}

int floor(const std::string& archive) {
  int error = 0;
  zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, &error);
  if (zip == nullptr) return 2;
  xmlSetGenericErrorFunc(nullptr, ignore);
  std::vector<char> buffer;
  long parsed = 0;
  const zip_int64_t entries = zip_get_num_entries(zip, 0);
  for (zip_int64_t i = 0; i < entries; ++i) {
    zip_stat_t st;
    if (zip_stat_index(zip, i, 0, &st) != 0 || std::strlen(st.name) < 4 ||
        std::strcmp(st.name + std::strlen(st.name) - 4, ".xml") != 0) {
      continue;
    }
    buffer.resize(st.size);
    zip_file_t* file = zip_fopen_index(zip, i, 0);
    if (file == nullptr || zip_fread(file, buffer.data(), st.size) != static_cast<zip_int64_t>(st.size)) return 2;
    zip_fclose(file);
    xmlDocPtr doc = xmlReadMemory(buffer.data(), static_cast<int>(buffer.size()), st.name, nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (doc != nullptr) ++parsed;
    xmlFreeDoc(doc);
  }
  zip_close(zip);
  std::printf("%ld\n", parsed);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "make") == 0) return make(std::atoi(argv[2]), argv[3], argv[4]);
  if (argc == 3 && std::strcmp(argv[1], "floor") == 0) return floor(argv[2]);
  std::fprintf(stderr, "usage: bench_tool make N FIXTURE_DIR ARCHIVE | bench_tool floor ARCHIVE\n");
  return 2;
}
