#include "console/curses_restore.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <curses.h>

namespace qm {
namespace {

constexpr int quit_signals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int fatal_signals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT};

// The one thing the whole process shares: a signal handler is handed no object, so this is how
// it finds the terminal to restore. Set only while the handlers are installed.
std::atomic<TerminalRestorer*> signals_to = nullptr;
static_assert(std::atomic<TerminalRestorer*>::is_always_lock_free);

}  // namespace

void TerminalRestorer::install(int output_fd, const std::string& pen_reset) {
    if (!pen_reset.empty() && pen_reset.size() <= sizeof pen_reset_) {
        std::memcpy(pen_reset_, pen_reset.data(), pen_reset.size());
        pen_reset_length_ = pen_reset.size();
        output_fd_ = output_fd;
    }
    signals_to = this;
    installed_ = true;

    struct sigaction quit_action {};
    quit_action.sa_handler = on_quit_signal;
    sigemptyset(&quit_action.sa_mask);
    for (int sig : quit_signals) sigaction(sig, &quit_action, &previous_[sig]);

    struct sigaction fatal_action {};
    fatal_action.sa_sigaction = on_fatal_signal;
    fatal_action.sa_flags = SA_SIGINFO;
    sigemptyset(&fatal_action.sa_mask);
    for (int sig : fatal_signals) sigaction(sig, &fatal_action, &previous_[sig]);
}

void TerminalRestorer::uninstall() {
    if (!installed_) return;
    installed_ = false;
    for (int sig : quit_signals) sigaction(sig, &previous_[sig], nullptr);
    for (int sig : fatal_signals) sigaction(sig, &previous_[sig], nullptr);
    signals_to = nullptr;
}

bool TerminalRestorer::input_gone(int input_fd) {
    if (errno == EIO || input_ended(input_fd)) request_quit();
    return quit_requested();
}

void TerminalRestorer::end_curses() {
    if (!curses_active_) return;
    curses_active_ = 0;
    output_fd_ = -1;
    endwin();
}

void TerminalRestorer::on_quit_signal(int) {
    if (TerminalRestorer* r = signals_to) r->quit_requested_ = 1;
}

// Puts the terminal back before the program dies, then lets the signal take its usual course:
// a fault repeats when the handler returns; a sent signal is sent again.
void TerminalRestorer::on_fatal_signal(int sig, siginfo_t* info, void*) {
    TerminalRestorer* r = signals_to;
    if (r == nullptr) {
        std::signal(sig, SIG_DFL);
        raise(sig);
        return;
    }
    if (r->curses_active_) {
        r->curses_active_ = 0;
        if (r->output_fd_ >= 0 && write(r->output_fd_, r->pen_reset_, r->pen_reset_length_) < 0) {
            // Nothing more can be done for a terminal that takes nothing.
        }
        endwin();
    }
    sigaction(sig, &r->previous_[sig], nullptr);
    if (info == nullptr || info->si_code <= 0) raise(sig);
}

bool input_ended(int fd) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0) return false;  // nothing waiting: still there
    if ((p.revents & POLLNVAL) != 0) return true;
    // "Ready" is also what input at its end says, for ever: only bytes to read are keys still
    // to come, even from a terminal that has just gone.
    int waiting = 0;
    if ((p.revents & POLLIN) != 0 && ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0) return false;
    return (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

}  // namespace qm
