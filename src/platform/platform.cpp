#include "platform/platform.h"

#include "platform/zip_unpack.h"

namespace kenshin::platform {

int Platform::unpack(const std::string& archive_path, const std::string& destination) {
  auto between_entries = [this](std::uint64_t done, std::uint64_t total) {
    unpack_progress(static_cast<int>(done), static_cast<int>(total));
    return !stop_requested();
  };
  return static_cast<int>(unpack_zip(archive_path, destination, UnpackLimits{}, between_entries));
}

}  // namespace kenshin::platform
