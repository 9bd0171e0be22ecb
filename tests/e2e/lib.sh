# Drives the real game in tmux. Sourced by run_e2e.sh; a scenario file registers its scenarios
# with `scenario "name" function`. Every wait polls the screen with a generous limit, so a busy
# machine only makes the suite slower, never red.

E2E_SOCKET="quillmire-e2e-$$"
E2E_PASSED=0
E2E_FAILED=0

tm() { tmux -L "$E2E_SOCKET" -f /dev/null "$@"; }


e2e_setup() {
    E2E_BINARY="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
    E2E_DIR="$(mktemp -d "${TMPDIR:-/tmp}/quillmire-e2e.XXXXXX")"
    unset TMUX
    cat >"$E2E_DIR/launch.sh" <<EOF
echo \$\$ > "$E2E_DIR/game.pid"
exec env -u LC_ALL -u LC_CTYPE LANG="\${GAME_LANG:-C.UTF-8}" ASAN_OPTIONS=detect_leaks=0 \
    "$E2E_BINARY"
EOF
    trap 'tm kill-server 2>/dev/null; rm -rf "$E2E_DIR"' EXIT
    # A session that outlives every game keeps the server up between two of them.
    tm new-session -d -s keeper cat
    tm set-option -g status off >/dev/null
}

# game_start [TERM] [LANG] [REDIRECTION]: a fresh 80 x 25 pane running the game. The pane
# reports the game's exit status and leaves an ordinary shell behind; the waiting shell keeps
# out of the game's Ctrl-C, as an interactive shell would.
game_start() {
    tm kill-session -t game 2>/dev/null
    rm -f "$E2E_DIR/game.pid"
    tm new-session -d -x 80 -y 25 -s game -c "$E2E_DIR" "env TERM=${1:-tmux-256color} \
GAME_LANG=${2:-C.UTF-8} PS1='$ ' sh -c 'trap : INT; sh ./launch.sh ${3:-}; echo EXIT=\$?; exec sh'"
    wait_until 20 shows_any "Press any other key now to Play a Game." "EXIT="
}

keys() { tm send-keys -t game "$@"; }
screen() { tm capture-pane -p -t game 2>/dev/null; }
# Rows (and row_has's columns) count from the game's screen, TOP rows down and LEFT columns
# right on a terminal larger than it (see moved).
row() { screen | sed -n "$(($1 + ${TOP:-0} + 1))p"; }
shows_any() { screen | grep -qF -e "$1" -e "${2:-$1}"; }
resize() { tm resize-window -t game -x "$1" -y "$2"; }

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds; 1 on timeout.
wait_until() {
    local limit="$1" start="$SECONDS"
    shift
    until "$@"; do
        [ $((SECONDS - start)) -ge "$limit" ] && return 1
        sleep 0.05
    done
}

wait_for() { wait_until "${2:-15}" shows_any "$1"; }
line_shown() { screen | grep -qx -- "$1"; }

# TEXT on row N where the game centres it: from column 39 - (length - 1) / 2.
row_has() { local r && r="$(row "$1")" && [ "${r:$((${LEFT:-0} + 39 - (${#2} - 1) / 2)):${#2}}" == "$2" ]; }
wait_row_has() { wait_until 15 row_has "$@"; }
# moved TOP LEFT COMMAND...: COMMAND with the game's screen that far into the terminal.
moved() { local TOP="$1" LEFT="$2" && shift 2 && "$@"; }
# The terminal shows SCREEN (as captured at 80 x 25) TOP rows down and LEFT columns right, and
# nothing else.
shows_moved() {
    [ "$(screen)" == "$(for _ in $(seq "$2"); do echo; done; sed "s/^./$(printf "%$3s")&/" <<<"$1")" ]
}

game_pid() { cat "$E2E_DIR/game.pid" 2>/dev/null; }
game_alive() { kill -0 "$(game_pid)" 2>/dev/null; }

exit_status() { wait_for "EXIT=" 20 && screen | sed -n 's/^EXIT=\([0-9]*\).*/\1/p' | tail -1; }

# The terminal is restored: typed text comes back (echo), Enter runs it (canonical input), and
# the line discipline is as a shell wants it.
shell_usable() {
    keys "echo shell-\$((6 * 7))" Enter
    wait_until 15 line_shown "shell-42" &&
        keys "stty -a | tr ' ;' '\\n\\n' | grep -cx -e icanon -e echo -e icrnl -e opost" Enter &&
        wait_until 15 line_shown "4"
}

# Row 24 of the sector assignment: five shades per faction, the chosen one flickering between
# full and lower half blocks.
strip_shows() { [[ "$(row 24)" =~ ^(░▒▓▒░){$1}[█▄]{5}(░▒▓▒░){$((15 - $1))}$ ]]; }
shades_only() { [[ "$(row "$1")" =~ ^[░▒▓]{80}$ ]]; }

WALL_ROW="$(printf '█%.0s' $(seq 80))"

# From the title through the sector assignment (faction 7) to the first frame of a game.
new_game() {
    game_start
    keys x
    wait_for "Sector Assignment:" || return 1
    keys x
    wait_for "$WALL_ROW"
}

glyph() { local r && r="$(row "$1")" && echo "${r:$2:1}"; }

# The status screen: sixteen ooze bars, nothing else.
status_shown() { [ "$(screen | grep -cE '^[·♦]{16}$')" -eq 25 ]; }

# The player unit is a turning bar. Units are drawn in list order, so a citizen milling about
# may hide it for a moment.
player_on() { case "$(glyph "$1" "$2")" in "/" | "─" | "\\" | "│") return 0 ;; esac; return 1; }
wait_player() { wait_until 15 player_on "$1" "$2"; }

# check NAME COMMAND...: one assertion, passing when COMMAND succeeds.
check() {
    local name="$1"
    shift
    if "$@"; then
        E2E_PASSED=$((E2E_PASSED + 1))
        echo "  ok    $name"
    else
        E2E_FAILED=$((E2E_FAILED + 1))
        echo "  FAIL  $name"
        screen | sed 's/^/        |/'
    fi
}
same() { [ "$1" == "$2" ] || { echo "        want '$1', got '$2'" && false; }; }
check_eq() { check "$1" same "$2" "$3"; }

# scenario NAME COMMAND...: runs one scenario, a fresh game of its own or several.
scenario() {
    local started="$SECONDS"
    echo "$1" && shift && "$@"
    echo "        ($((SECONDS - started)) s)"
}
