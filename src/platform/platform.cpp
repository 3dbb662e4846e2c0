#include "platform/platform.h"

#include "platform/stop_request.h"
#include "platform/zip_unpack.h"

namespace kenshin::platform {

bool Platform::stop_requested() { return platform::stop_requested(); }

int Platform::unpack(const std::string& archive_path, const std::string& destination) {
  auto between_entries = [this](std::uint64_t done, std::uint64_t total) {
    unpack_progress(static_cast<int>(done), static_cast<int>(total));
    return !stop_requested();
  };
  return unpack_archive(archive_path, destination, between_entries);
}

}  // namespace kenshin::platform
