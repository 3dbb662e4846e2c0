// What a check run needs from its surroundings: the user's desktop folder, a
// way to choose the archive, the archive reader, and a way to show the report.
//
// The command line and the window each provide an implementation; tests use
// fakes. The check rules never see this interface.
#pragma once

#include <optional>
#include <string>

#include "platform/zip_archive.h"

namespace kenshin::platform {

class Platform {
 public:
  virtual ~Platform() = default;

  // The folder that receives ERR.txt; looked up at the start of every run.
  virtual std::string desktop_folder() = 0;

  // The archive to check, as an absolute UTF-8 path. nullopt when the user
  // cancelled; an empty text when the chooser returned no name.
  virtual std::optional<std::string> choose_archive() = 0;

  // Opens the archive into `archive` and checks its entries, telling
  // read_progress() and asking stop_requested() between entries.
  virtual ArchiveResult read_archive(const std::string& archive_path, ZipArchive& archive);

  // Shows the closed report to the user; does not wait for the user.
  virtual void show_report(const std::string& report_path) = 0;

  // Called before each document pair is checked (k of n); front ends may show
  // progress and keep their window responsive here.
  virtual void pair_progress(int /*k*/, int /*n*/) {}

  // Called before each entry of the archive is checked (k of n, k from 0),
  // and once more with k = n at the end.
  virtual void read_progress(int /*k*/, int /*n*/) {}

  // Asked between the archive's entries and between document pairs. True ends
  // the run there: this run's report is removed. By default true once a stop
  // signal has come (stop_request.h).
  virtual bool stop_requested();
};

}  // namespace kenshin::platform
