# Signals and a vanished terminal end the game the way ESC does: terminal restored, status 0.

into_game() {
    game_start
    keys x
    wait_for "Sector Assignment:"
    keys x
    wait_gone "Sector Assignment:"
}

sigterm_while_playing() {
    into_game
    kill -TERM "$(game_pid)"
    check_eq "SIGTERM exits with 0" "0" "$(exit_status)"
    check "the shell works afterwards" shell_usable
}

sigint_while_playing() {
    into_game
    keys C-c
    check_eq "Ctrl-C exits with 0" "0" "$(exit_status)"
    check "the shell works afterwards" shell_usable
}

sighup_in_sector_assignment() {
    game_start
    keys x
    wait_for "Sector Assignment:"
    kill -HUP "$(game_pid)"
    check_eq "SIGHUP exits with 0" "0" "$(exit_status)"
}

gone() {
    local pid="$1" waited=0
    while kill -0 "$pid" 2>/dev/null; do
        sleep 0.05
        waited=$((waited + 1))
        if [ "$waited" -ge 60 ]; then return 1; fi
    done
}

terminal_closed() {
    into_game
    local pid
    pid="$(game_pid)"
    tm kill-session -t game
    check "a closed terminal ends the game" gone "$pid"
}

scenario "SIGTERM while playing" sigterm_while_playing
scenario "Ctrl-C while playing" sigint_while_playing
scenario "SIGHUP in the sector assignment" sighup_in_sector_assignment
scenario "the terminal closes" terminal_closed

sigabrt_restores() {
    into_game
    kill -ABRT "$(game_pid)"
    check "an abort still ends with a failure status" \
        bash -c '[ "$1" != 0 ] && [ "$1" != none ]' _ "$(exit_status)"
    check "but leaves the terminal usable" shell_usable
}

scenario "SIGABRT while playing" sigabrt_restores

# Input that can bring no key (stdin from /dev/null): the title ends the program at once
# instead of asking for a key for ever.
input_at_its_end() {
    tm kill-session -t game 2>/dev/null || true
    rm -f "$E2E_DIR/game.pid"
    tm new-session -d -x 80 -y 25 -s game -c "$E2E_DIR" \
        "env TERM=tmux-256color PS1='$ ' sh -c 'sh ./launch.sh </dev/null; echo EXIT=\$?; exec sh'"
    tm set-option -t game status off >/dev/null
    check_eq "input at its end ends the program with 0" "0" "$(exit_status)"
    check "the shell works afterwards" shell_usable
}

scenario "input at its end" input_at_its_end
