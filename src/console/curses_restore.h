// Restoring the terminal however the game ends. Ctrl-C, TERM and a hang-up ask the game to
// wind down through its own way out, as ESC would; so does a terminal that has gone away; a
// fatal signal puts the terminal back before the program dies.
#pragma once

#include <csignal>
#include <cstddef>
#include <string>

namespace qm {

// True when no key can ever come from fd again: a hung-up or closed terminal, a pipe whose
// writer is gone, or input at its end (stdin from /dev/null or a file), which reads as ready
// forever and would keep a screen that waits for a key spinning.
bool input_ended(int fd);

class TerminalRestorer {
public:
    // Made as curses takes the terminal.
    TerminalRestorer() = default;
    ~TerminalRestorer() { uninstall(); }
    TerminalRestorer(const TerminalRestorer&) = delete;
    TerminalRestorer& operator=(const TerminalRestorer&) = delete;

    // Takes the signals, once the terminal is set up. A fatal signal writes pen_reset (empty
    // when curses draws everything itself) to output_fd before curses puts back the rest.
    void install(int output_fd, const std::string& pen_reset);
    // The signals go back to what they did before.
    void uninstall();

    bool quit_requested() const { return quit_requested_ != 0; }
    void request_quit() { quit_requested_ = 1; }
    // After a read that failed: a hung-up or closed terminal makes every read fail at once, and
    // without this the game would run on with no player forever. True when the game is to quit.
    bool input_gone(int input_fd);

    // Curses holds the terminal until end_curses gives it back.
    bool curses_active() const { return curses_active_ != 0; }
    void end_curses();

private:
    static void on_quit_signal(int sig);
    static void on_fatal_signal(int sig, siginfo_t* info, void* context);

    volatile std::sig_atomic_t quit_requested_ = 0;
    volatile std::sig_atomic_t curses_active_ = 1;
    // A fatal signal has no time to ask for the pen reset: it is kept here ready to write.
    char pen_reset_[64] = {};
    std::size_t pen_reset_length_ = 0;
    int output_fd_ = -1;
    bool installed_ = false;
    struct sigaction previous_[NSIG] = {};
};

}  // namespace qm
