#include "cli/Interruption.h"

#include <csignal>

namespace kyklos {

namespace {

volatile std::sig_atomic_t received = 0;

constexpr int kCaught[] = {SIGINT, SIGTERM};
struct sigaction previous[2];
bool installed[2] = {false, false};

extern "C" void NoteSignal(int signal) { received = signal; }

} // namespace

Interruption::Interruption()
{
    received = 0;
    for (int i = 0; i < 2; ++i) {
        struct sigaction action {};
        action.sa_handler = NoteSignal;
        sigemptyset(&action.sa_mask);
        // Writes and waits go on where they were; a second signal of the kind acts at once.
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        if (sigaction(kCaught[i], nullptr, &previous[i]) != 0 || previous[i].sa_handler == SIG_IGN) continue;
        installed[i] = sigaction(kCaught[i], &action, nullptr) == 0;
    }
}

Interruption::~Interruption()
{
    for (int i = 0; i < 2; ++i)
        if (installed[i]) sigaction(kCaught[i], &previous[i], nullptr);
}

bool Interruption::Requested() { return received != 0; }

void Interruption::RaiseAgain()
{
    const int signal = received;
    if (signal == 0) return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    // A signal blocked in this thread would wait instead of ending the process.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    std::raise(signal);
}

} // namespace kyklos
