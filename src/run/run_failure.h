// The one exception of a check run: something the checker itself cannot do
// (write the report, create its working folder, run the XML engine). Findings
// about the archive are never exceptions.
#pragma once

#include <stdexcept>
#include <string>

namespace kenshin {

class RunFailure : public std::runtime_error {
 public:
  explicit RunFailure(const std::string& message) : std::runtime_error(message) {}
};

// A requested stop (a signal, a closed window) taken at a safe point of the run.
class RunStopped : public std::runtime_error {
 public:
  RunStopped() : std::runtime_error("チェックを中断しました") {}
};

}  // namespace kenshin
