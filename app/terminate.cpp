#include "app/terminate.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tcese::app {

namespace {

int gPipe[2] = {-1, -1};
volatile std::sig_atomic_t gSignal = 0;

void onSignal(int sig) {
    gSignal = sig;
    const char byte = 1;
    // Nothing to do when the pipe is full: a byte is already waiting.
    [[maybe_unused]] const ssize_t n = ::write(gPipe[0], &byte, 1);
}

void closeEverything() {
    char buf[16];
    while (::read(gPipe[1], buf, sizeof buf) > 0) {
    }
    // A modal box runs its own loop: close it so the code that waits on it goes on.
    for (int guard = 0; guard < 16; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) break;
        modal->close();
    }
    QApplication::closeAllWindows();
}

}  // namespace

void installTerminateHandler() {
    if (gPipe[0] >= 0) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gPipe) != 0) return;
    for (int fd : gPipe) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    auto* notifier = new QSocketNotifier(gPipe[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] { closeEverything(); });

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &sa, nullptr);
}

int terminateSignal() { return gSignal; }

}  // namespace tcese::app
