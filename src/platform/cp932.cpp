#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "base/text.h"

namespace kenshin::platform {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  // iconv_open reports failure as (iconv_t)-1.
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }  // NOLINT(performance-no-int-to-ptr)

  // Back to the initial shift state, for the next text.
  void reset() {
    if (ok()) iconv(cd_, nullptr, nullptr, nullptr, nullptr);
  }

  // Converts as much of `in` as possible, appending to `out`; returns the errno that stopped it
  // (0 when all input was converted). `in` is advanced past what was converted.
  int convert(std::string_view& in, std::string& out) {
    char buffer[1024];
    while (!in.empty()) {
      char* src = const_cast<char*>(in.data());
      size_t src_left = in.size();
      char* dst = buffer;
      size_t dst_left = sizeof buffer;
      size_t rc = iconv(cd_, &src, &src_left, &dst, &dst_left);
      int error = rc == static_cast<size_t>(-1) ? errno : 0;
      out.append(buffer, dst - buffer);
      in.remove_prefix(in.size() - src_left);
      if (error != 0 && error != E2BIG) return error;
    }
    return 0;
  }

 private:
  iconv_t cd_;
};

// Opening a converter costs more than converting a report line, so each
// thread keeps one of each direction.
Converter& cached(bool to_cp932) {
  thread_local Converter from_cp932_converter("UTF-8", "CP932");
  thread_local Converter to_cp932_converter("CP932", "UTF-8");
  Converter& converter = to_cp932 ? to_cp932_converter : from_cp932_converter;
  converter.reset();
  return converter;
}

}  // namespace

bool is_valid_utf8(std::string_view text) {
  while (!text.empty()) {
    size_t length = base::first_code_point(text).length;
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

std::optional<std::string> cp932_to_utf8(std::string_view cp932) {
  Converter& converter = cached(false);
  std::string out;
  if (!converter.ok() || converter.convert(cp932, out) != 0) return std::nullopt;
  return out;
}

std::string utf8_to_cp932(std::string_view utf8) {
  Converter& converter = cached(true);
  std::string out;
  if (!converter.ok()) return std::string(utf8.size(), '?');
  while (converter.convert(utf8, out) != 0) {
    // Stopped at a character the code page lacks, or at malformed input: replace it and go on.
    size_t length = base::first_code_point(utf8).length;
    out += '?';
    utf8.remove_prefix(length == 0 ? 1 : length);
  }
  return out;
}

}  // namespace kenshin::platform
