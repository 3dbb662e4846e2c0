// Choosing the archive and the rules on its file name.
//
// A submission archive is named like 1311234567_95899071_201812060_1.zip:
// sender institution (10), destination institution (8, positions 12-19),
// creation date and split digit, and the document-kind digit (position 31).
#pragma once

#include "platform/platform.h"
#include "run/run_state.h"

namespace kenshin::intake {

inline constexpr std::u16string_view kDestinationNumber = u"95899071";

// Resets the report flags, looks up the desktop folder and lets the user
// choose the archive; a cancelled or empty choice stops the run silently.
void select_archive(RunState& run, platform::Platform& platform);

// Sets the archive stem from the last 35 characters of the archive path;
// a wrong kind digit or destination number is reported and stops the run.
void check_archive_name(RunState& run, platform::Platform& platform);

}  // namespace kenshin::intake
