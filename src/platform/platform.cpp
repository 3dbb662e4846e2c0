#include "platform/platform.h"

#include "platform/stop_request.h"

namespace kenshin::platform {

bool Platform::stop_requested() { return platform::stop_requested(); }

ArchiveResult Platform::read_archive(const std::string& archive_path, ZipArchive& archive) {
  auto between_entries = [this](std::uint64_t done, std::uint64_t total) {
    read_progress(static_cast<int>(done), static_cast<int>(total));
    return !stop_requested();
  };
  return archive.open(archive_path, {}, between_entries);
}

}  // namespace kenshin::platform
