#include "platform/stop_request.h"

#include <csignal>
#include <initializer_list>

namespace kenshin::platform {

namespace {

volatile std::sig_atomic_t requested = 0;
volatile std::sig_atomic_t requesting_signal = 0;

void on_stop_signal(int signal_number) { request_stop(signal_number); }

}  // namespace

void install_stop_signal_handlers() {
  struct sigaction action {};
  action.sa_handler = on_stop_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // the run goes on to its next safe point undisturbed
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

void request_stop(int signal_number) noexcept {
  if (requested == 0) requesting_signal = signal_number;
  requested = 1;
}

bool stop_requested() noexcept { return requested != 0; }

int stop_signal() noexcept { return requesting_signal; }

}  // namespace kenshin::platform
