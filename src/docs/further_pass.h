// Checks beyond the quick check that read the same documents in the same
// pass: each document is decompressed and parsed once per run, whatever
// checks are asked for. The pair loop hands every pair to the pass after the
// rules have run on it, while it still holds the documents; the pass keeps
// what it found and writes it once the quick check's lines are written.
#pragma once

#include "docs/pair_source.h"
#include "platform/zip_archive.h"
#include "run/run_state.h"

namespace kenshin::docs {

class FurtherPass {
 public:
  virtual ~FurtherPass() = default;

  // Whether the pairs must come with the reports of their parses.
  virtual bool wants_parse_reports() const = 0;

  // Once the archive is listed, before the first pair.
  virtual void start(const RunState& run, platform::ZipArchive& archive) = 0;

  // Pair k (1-based) with its documents as the rules read them.
  virtual void read_pair(const RunState& run, int k, const LoadedPair& pair) = 0;

  // After the quick check's lines: appends the pass's lines to the open
  // report; true when it found something.
  virtual bool finish(RunState& run) = 0;

  // The run is over, however it ended: lets go of everything it holds of
  // the archive, which goes with the run.
  virtual void close() = 0;
};

}  // namespace kenshin::docs
