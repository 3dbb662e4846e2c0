// The documents of the pairs, loaded in pair order from the archive in
// memory. With two threads, a loader thread decompresses and parses the next
// pairs while the rules run on the current one; at most a few parsed pairs
// wait, so memory stays bounded. Each thread reads through a zip handle of
// its own.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "docs/xml.h"
#include "platform/zip_archive.h"
#include "run/run_state.h"

namespace kenshin::docs {

struct LoadedPair {
  std::optional<Document> data;    // nullopt: failed to load
  std::optional<Document> claims;  // nullopt: failed to load
  // How each parse went; filled only for a source made with reports.
  ParseReport data_report;
  ParseReport claims_report;
};

// The number of threads the pair loop uses: 2 when KENSHIN_THREADS=2 on a
// machine with two cores or more, else 1.
int pair_loop_threads();

class PairSource {
 public:
  // The archive and the run's folders and lists must not change while the
  // source lives. With `reports`, every pair comes with the reports of its parses.
  PairSource(const RunState& run, platform::ZipArchive& archive, int threads, bool reports = false);
  ~PairSource();
  PairSource(const PairSource&) = delete;
  PairSource& operator=(const PairSource&) = delete;

  // The documents of pair k (1-based); pairs are taken in order, each once.
  LoadedPair take(int k);

  // Frees a taken pair's documents; with two threads, on the loader thread,
  // which allocated them: frees across threads cost the allocator more than
  // the parsing the second thread saves.
  void give_back(LoadedPair pair);

 private:
  void load_ahead();

  static constexpr size_t kQueued = 2;
  const RunState& run_;
  platform::ZipArchive& archive_;
  bool reports_;
  std::optional<platform::ZipReader> reader_;  // one thread: the documents are read on the caller's
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<LoadedPair> ready_;
  std::deque<LoadedPair> spent_;  // given back, to be freed by the loader
  std::exception_ptr failure_;
  bool stopping_ = false;
  bool finished_ = false;
  std::thread loader_;
};

}  // namespace kenshin::docs
