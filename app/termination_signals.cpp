#include "app/termination_signals.h"

#include <pthread.h>
#include <signal.h>

namespace app {
namespace {

void Change(int how) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(how, &signals, nullptr);
}

}  // namespace

void BlockTerminationSignals() {
    Change(SIG_BLOCK);
}

void UnblockTerminationSignals() {
    Change(SIG_UNBLOCK);
}

}  // namespace app
