#include "docs/pair_source.h"

#include <libxml/parser.h>
#include <pthread.h>

#include <csignal>
#include <cstdlib>
#include <initializer_list>
#include <stdexcept>
#include <string_view>

#include "docs/pair_loop.h"
#include "platform/zip_archive.h"
#include "run/run_failure.h"

namespace kenshin::docs {

namespace {

LoadedPair load_pair(platform::ZipReader& reader, const RunState& run, int k, bool reports) {
  LoadedPair pair;
  pair.data = load_document(reader, run.data_folder + "/" + run.data_file_list.at(k - 1), Bindings::kData,
                            reports ? &pair.data_report : nullptr);
  pair.claims = load_document(reader, run.claims_folder + "/" + run.claims_file_list.at(k - 1),
                              claims_bindings(run.edition == base::Edition::k2024),
                              reports ? &pair.claims_report : nullptr);
  return pair;
}

}  // namespace

int pair_loop_threads() {
  // Measured on a two-core machine shared with other work: the second thread
  // has not yet ended a check sooner than one thread, so one unless asked.
  const char* setting = std::getenv("KENSHIN_THREADS");
  if (setting != nullptr && std::string_view(setting) == "2" && std::thread::hardware_concurrency() >= 2) return 2;
  return 1;
}

PairSource::PairSource(const RunState& run, platform::ZipArchive& archive, int threads, bool reports)
    : run_(run), archive_(archive), reports_(reports) {
  if (threads < 2 || run.pair_count <= 1) {
    reader_.emplace(archive_);
  } else {
    xmlInitParser();  // once, before a second thread parses
    // Stop signals stay with the thread that runs the rules: the loader
    // starts with them blocked.
    sigset_t stops, before;
    sigemptyset(&stops);
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, signal_number);
    pthread_sigmask(SIG_BLOCK, &stops, &before);
    try {
      loader_ = std::thread([this] { load_ahead(); });
    } catch (...) {
      pthread_sigmask(SIG_SETMASK, &before, nullptr);
      throw;
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
  }
}

PairSource::~PairSource() {
  if (!loader_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  loader_.join();
}

void PairSource::load_ahead() {
  try {
    platform::ZipReader reader(archive_);  // the zip handle of this thread
    for (int k = 1; k <= run_.pair_count; ++k) {
      std::deque<LoadedPair> spent;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopping_ || ready_.size() < kQueued; });
        if (stopping_) return;
        spent.swap(spent_);
      }
      spent.clear();
      LoadedPair pair = load_pair(reader, run_, k, reports_);
      {
        std::lock_guard lock(mutex_);
        ready_.push_back(std::move(pair));
      }
      changed_.notify_all();
    }
  } catch (...) {
    std::lock_guard lock(mutex_);
    failure_ = std::current_exception();
  }
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
  }
  changed_.notify_all();
}

LoadedPair PairSource::take(int k) {
  if (!loader_.joinable()) return load_pair(*reader_, run_, k, reports_);
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !ready_.empty() || finished_; });
  if (ready_.empty()) {
    if (failure_) std::rethrow_exception(failure_);
    throw RunFailure("文書の読込が途中で終わりました");
  }
  LoadedPair pair = std::move(ready_.front());
  ready_.pop_front();
  lock.unlock();
  changed_.notify_all();
  return pair;
}

void PairSource::give_back(LoadedPair pair) {
  if (!loader_.joinable()) return;
  std::lock_guard lock(mutex_);
  if (!finished_) spent_.push_back(std::move(pair));
}

}  // namespace kenshin::docs
