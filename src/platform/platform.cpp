#include "platform/platform.h"

#include "platform/zip_unpack.h"

namespace kenshin::platform {

int Platform::unpack(const std::string& archive_path, const std::string& destination) {
  return unpack_zip(archive_path, destination);
}

}  // namespace kenshin::platform
