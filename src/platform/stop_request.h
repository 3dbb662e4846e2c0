// A request to end the check run at its next safe point: between document
// pairs, between the archive's entries while they are checked, and before the report is put
// in place. SIGINT, SIGTERM and SIGHUP ask for it once the handlers are
// installed; a front end may ask for it itself (a window being closed).
#pragma once

namespace kenshin::platform {

// Installs handlers for SIGINT, SIGTERM and SIGHUP that only record the request.
void install_stop_signal_handlers();

// Records a request; safe inside a signal handler. 0 for a request without a signal.
void request_stop(int signal_number = 0) noexcept;

bool stop_requested() noexcept;

// The signal that asked for the stop, or 0.
int stop_signal() noexcept;

}  // namespace kenshin::platform
