// Unpacking the archive into the run's private working folder, listing the
// data and claims documents, the count rules, and removing the folder again.
//
// A submission holds one top folder named after the archive stem with the
// sub-folders DATA (h + 26 digits + .xml) and CLAIMS (c + the same digits).
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "run/run_state.h"

namespace kenshin::intake {

// Unpacks, lists and counts; on success the pair count is set and the pairs
// are ready for the pair loop. Every failure is reported on a line of its own
// and stops the run.
void unpack_and_inventory(RunState& run, platform::Platform& platform);

// Deletes the working folder with everything the archive put there.
void remove_extraction_folder(RunState& run) noexcept;

// The names in a folder listing that end in "xml" (any case), sorted by name
// ignoring ASCII case, so that both folders pair up in the same order.
std::vector<std::string> document_names(const std::vector<std::string>& listing);

}  // namespace kenshin::intake
