// Reading the archive, listing the data and claims documents, and the count
// rules.
//
// A submission holds one top folder named after the archive stem with the
// sub-folders DATA (h + 26 digits + .xml) and CLAIMS (c + the same digits).
// The archive is read in memory (platform/zip_archive.h): its folders are
// listed from its directory, and its documents decompressed when they are
// checked.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/zip_archive.h"
#include "run/run_state.h"

namespace kenshin::intake {

// The name is the checker's traditional one: nothing is unpacked to disk.
// Opens the archive into `archive`, lists and counts; on success the pair
// count is set and the pairs are ready for the pair loop. Every failure is
// reported on a line of its own and stops the run.
void unpack_and_inventory(RunState& run, platform::Platform& platform, platform::ZipArchive& archive);

// After the pair loop: decompresses the entries it did not read, so that
// damaged data anywhere in the archive is found as unpacking finds it.
// Throws platform::DamagedArchive.
void check_unread_entries(platform::Platform& platform, platform::ZipArchive& archive);

// Damaged data met after the archive's directory was read: this run's report
// so far gives way to the unpacking failure on a line of its own, as if the
// unpacking had failed, and the run stops.
void report_damaged_archive(RunState& run, platform::Platform& platform);

// The names in a folder listing that end in "xml" (any case), sorted by name
// ignoring ASCII case, so that both folders pair up in the same order.
std::vector<std::string> document_names(const std::vector<std::string>& listing);

}  // namespace kenshin::intake
