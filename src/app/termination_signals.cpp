#include "app/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>
#include <csignal>
#include <thread>

namespace vb::app {

namespace {
int gSignalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(gSignalPipe[1], &byte, 1);
}
}  // namespace

void RouteTerminationSignals(QObject* owner, std::function<void()> onSignal) {
    if (::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner,
                     [onSignal = std::move(onSignal)] {
                         char buffer[16];
                         while (::read(gSignalPipe[0], buffer, sizeof buffer) > 0) {
                         }
                         onSignal();
                     });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
}

void EndOnTerminationSignals(int (*onSignal)(int)) {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&set, sig);
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return;
    std::thread([set, onSignal] {
        for (;;) {
            int sig = 0;
            if (sigwait(&set, &sig) != 0) continue;
            // A publish asked to stop ends by itself; the next signal ends the process.
            if (const int status = onSignal(sig); status >= 0) ::_exit(status);
        }
    }).detach();
}

}  // namespace vb::app
