// The one exception of a check run: something the checker itself cannot do
// (write the report, run the XML engine). Findings
// about the archive are never exceptions.
#pragma once

#include <stdexcept>
#include <string>

namespace kenshin {

class RunFailure : public std::runtime_error {
 public:
  explicit RunFailure(const std::string& message) : std::runtime_error(message) {}
};

// A stop the user or a signal asked for (the platform's stop_requested()), taken at
// a safe point of the run; not a failure.
class RunStopped : public std::exception {
 public:
  const char* what() const noexcept override { return "the check was stopped"; }
};

}  // namespace kenshin
