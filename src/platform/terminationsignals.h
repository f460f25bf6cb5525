#pragma once

#include <functional>

// SIGTERM, SIGHUP and SIGINT (a shutdown, a closed terminal, a session that
// ends) would end the program on the spot. Instead the handler runs on the
// user-interface thread, as any event does, so the program can keep the
// user's unsaved work before it goes.
namespace platform {

void onTerminationSignal(std::function<void()> handler);

} // namespace platform
