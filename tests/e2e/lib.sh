# A small library for driving the real game in tmux. Sourced by run_e2e.sh; a scenario file
# registers its scenarios with `scenario "name" function` and uses the helpers below.
#
#   game_start [TERM]        a fresh 80 x 25 pane running the game (title on screen)
#   keys KEY...              tmux send-keys (names such as Escape, KP1, Left, or plain text)
#   wait_for TEXT [SECONDS]  until the screen shows TEXT (fixed string); 1 on timeout
#   wait_gone TEXT [SECONDS] until the screen no longer shows TEXT
#   row N                    row N (0..24) of the screen, trailing blanks trimmed
#   row_has N TEXT           TEXT stands on row N where the game centres it
#   wait_row_has N TEXT [S]  until row_has N TEXT
#   centred TEXT             TEXT as the game centres it on a row (leading blanks added)
#   game_pid / game_alive    the game's process id / whether it still runs
#   exit_status              waits for the game to end, prints its exit status
#   shell_usable             after the game: the shell echoes typed input and runs a command
#   resize COLUMNS ROWS      resizes the pane's window
#   strip_shows FACTION      row 24 is the faction strip with FACTION chosen
#   shades_only N            row N is nothing but the three shade glyphs
#   check NAME COMMAND...    one assertion: passes when COMMAND succeeds
#   check_eq NAME WANT GOT   one assertion: passes when the two texts are equal

E2E_SOCKET="quillmire-e2e-$$"
E2E_PASSED=0
E2E_FAILED=0
E2E_SCENARIOS=()
E2E_CURRENT=""

tm() { tmux -L "$E2E_SOCKET" -f /dev/null "$@"; }

scenario() { E2E_SCENARIOS+=("$1|$2"); }

e2e_setup() {
    E2E_BINARY="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
    E2E_DIR="$(mktemp -d "${TMPDIR:-/tmp}/quillmire-e2e.XXXXXX")"
    unset TMUX
    cat >"$E2E_DIR/launch.sh" <<EOF
echo \$\$ > "$E2E_DIR/game.pid"
exec env -u LC_ALL -u LC_CTYPE LANG=C.UTF-8 ASAN_OPTIONS=detect_leaks=0 "$E2E_BINARY"
EOF
    trap e2e_teardown EXIT
    # A session that outlives every game, so the server does not exit between two of them.
    tm new-session -d -s keeper cat
}

e2e_teardown() {
    tm kill-server 2>/dev/null || true
    rm -rf "$E2E_DIR"
}

# The pane runs the game, then reports its exit status and leaves an ordinary shell behind.
# The waiting shell catches SIGINT, as an interactive shell would keep out of the game's Ctrl-C.
game_start() {
    local term="${1:-tmux-256color}"
    tm kill-session -t game 2>/dev/null || true
    rm -f "$E2E_DIR/game.pid"
    tm new-session -d -x 80 -y 25 -s game -c "$E2E_DIR" \
        "env TERM=$term PS1='$ ' sh -c 'trap : INT; sh ./launch.sh; echo EXIT=\$?; exec sh'"
    tm set-option -t game status off >/dev/null
    wait_for "Press any other key now to Play a Game." 10
}

keys() { tm send-keys -t game "$@"; }

screen() { tm capture-pane -p -t game 2>/dev/null; }

row() { screen | sed -n "$(($1 + 1))p"; }

wait_for() {
    local text="$1" limit="${2:-5}" waited=0
    while ! screen | grep -qF -- "$text"; do
        sleep 0.05
        waited=$((waited + 1))
        if [ "$waited" -ge $((limit * 20)) ]; then return 1; fi
    done
}

wait_gone() {
    local text="$1" limit="${2:-5}" waited=0
    while screen | grep -qF -- "$text"; do
        sleep 0.05
        waited=$((waited + 1))
        if [ "$waited" -ge $((limit * 20)) ]; then return 1; fi
    done
}

row_has() {
    local r text="$2" column
    r="$(row "$1")"
    column=$((39 - (${#text} - 1) / 2))
    [ "${r:$column:${#text}}" == "$text" ]
}

wait_row_has() {
    local limit="${3:-5}" waited=0
    while ! row_has "$1" "$2"; do
        sleep 0.05
        waited=$((waited + 1))
        if [ "$waited" -ge $((limit * 20)) ]; then return 1; fi
    done
}

# put_centred: the text starts at column 39 - (length - 1) / 2.
centred() {
    local text="$1"
    printf '%*s%s' $((39 - (${#text} - 1) / 2)) '' "$text"
}

game_pid() { cat "$E2E_DIR/game.pid" 2>/dev/null; }

game_alive() {
    local pid
    pid="$(game_pid)"
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null
}

exit_status() {
    wait_for "EXIT=" 10 || { echo "none"; return; }
    screen | sed -n 's/^EXIT=\([0-9]*\).*/\1/p' | tail -1
}

# Typed text comes back (echo is on), Enter runs it (canonical input), and the command works.
shell_usable() {
    keys "echo shell-\$((6 * 7))" Enter
    wait_for "shell-42" 5 && screen | grep -qx "shell-42" &&
        keys "stty -a | tr ' ;' '\\n\\n' | grep -cx -e icanon -e echo -e icrnl -e opost" Enter &&
        wait_for_line "4" 5
}

wait_for_line() {
    local text="$1" limit="${2:-5}" waited=0
    while ! screen | grep -qx -- "$text"; do
        sleep 0.05
        waited=$((waited + 1))
        if [ "$waited" -ge $((limit * 20)) ]; then return 1; fi
    done
}

resize() { tm resize-window -t game -x "$1" -y "$2"; }

# Row 24: five shades per faction, the chosen one flickering between full and lower half blocks.
strip_shows() {
    local chosen="$1" pattern="^" j
    for j in $(seq 0 15); do
        if [ "$j" -eq "$chosen" ]; then pattern+="[█▄]{5}"; else pattern+="░▒▓▒░"; fi
    done
    pattern+='$'
    [[ "$(row 24)" =~ $pattern ]]
}

shades_only() { [[ "$(row "$1")" =~ ^[░▒▓]{80}$ ]]; }


e2e_pass() {
    E2E_PASSED=$((E2E_PASSED + 1))
    echo "  ok    $1"
}

e2e_fail() {
    E2E_FAILED=$((E2E_FAILED + 1))
    echo "  FAIL  $1"
    [ -n "${2:-}" ] && echo "$2" | sed 's/^/        /'
    echo "        screen:"
    screen | sed 's/^/        |/'
}

check() {
    local name="$1"
    shift
    if "$@"; then e2e_pass "$name"; else e2e_fail "$name"; fi
}

check_eq() {
    if [ "$2" == "$3" ]; then
        e2e_pass "$1"
    else
        e2e_fail "$1" "want: '$2'
got:  '$3'"
    fi
}

e2e_run_all() {
    local entry name function
    for entry in "${E2E_SCENARIOS[@]}"; do
        name="${entry%%|*}"
        function="${entry#*|}"
        E2E_CURRENT="$name"
        echo "$name"
        "$function"
    done
    tm kill-session -t game 2>/dev/null || true
    echo "$E2E_PASSED passed, $E2E_FAILED failed"
    [ "$E2E_FAILED" -eq 0 ]
}
