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
#
# Cells with their colours, read back from tmux (capture-pane -e):
#   snapshot                 fills SNAP: one "fg bg bold glyph" entry per cell, row * 80 + column;
#                            fg and bg are ANSI colour numbers, 8..15 for the bright ones, -1 for
#                            the terminal's default (the console's blue 1 is ANSI 4, red 4 is 1,
#                            cyan 3 is 6, brown 6 is 3)
#   glyph_at R C / fg_at R C / bg_at R C   one cell of the last snapshot (glyph "" for a blank)
#   at R C                   the same into CELL_GLYPH, CELL_FG, CELL_BG, CELL_BOLD (no subshell)
#   wait_until SECONDS COMMAND...          polls COMMAND until it succeeds; 1 on timeout
#   seen SECONDS COMMAND...                the same, with a fresh snapshot before each try
#   new_game                 title, sector assignment (faction 7), first frame of a game on screen
#   node_onto_source         from a new game: takes the start node and sets it on the source
#   record_row R C LABEL VALUE HOLDER      a row of the records screen

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

# Parses tmux's capture with escapes: SGR state runs on from one line to the next, and trailing
# blanks are trimmed, so every row is padded to 80 cells.
SGR_CELLS='
        BEGIN { ($fg, $bg, $bold, $rows) = (-1, -1, 0, 0) }
        chomp;
        my @cells;
        while (length) {
            if (s/^\e\[([0-9;]*)m//) {
                my @p = length($1) ? split(/;/, $1) : (0);
                while (@p) {
                    my $v = shift @p;
                    if ($v == 0) { ($fg, $bg, $bold) = (-1, -1, 0) }
                    elsif ($v == 1) { $bold = 1 }
                    elsif ($v == 22) { $bold = 0 }
                    elsif ($v >= 30 && $v <= 37) { $fg = $v - 30 }
                    elsif ($v == 39) { $fg = -1 }
                    elsif ($v >= 40 && $v <= 47) { $bg = $v - 40 }
                    elsif ($v == 49) { $bg = -1 }
                    elsif ($v >= 90 && $v <= 97) { $fg = $v - 82 }
                    elsif ($v >= 100 && $v <= 107) { $bg = $v - 92 }
                    elsif (($v == 38 || $v == 48) && @p >= 2 && $p[0] == 5) {
                        shift @p;
                        my $n = shift @p;
                        if ($v == 38) { $fg = $n } else { $bg = $n }
                    }
                }
            } elsif (s/^\e[^a-zA-Z]*[a-zA-Z]//) {
            } else {
                s/^(.)//s;
                push @cells, "$fg $bg $bold $1";
            }
        }
        push @cells, "$fg $bg $bold  " while @cells < 80;
        print "$_\n" for @cells[0 .. 79];
        $rows++;
        END { for (; $rows < 25; $rows++) { print "-1 -1 0  \n" for 1 .. 80 } }'

snapshot() { mapfile -t SNAP < <(cells); }

# The cells of the screen, one "fg bg bold glyph" line each, row by row.
cells() { tm capture-pane -p -e -t game 2>/dev/null | perl -CS -ne "$SGR_CELLS"; }

# One cell of the last snapshot into CELL_FG, CELL_BG, CELL_BOLD and CELL_GLYPH, without a
# subshell, for the loops over many cells.
at() {
    local cell="${SNAP[$1 * 80 + $2]}"
    CELL_FG="${cell%% *}"
    cell="${cell#* }"
    CELL_BG="${cell%% *}"
    cell="${cell#* }"
    CELL_BOLD="${cell%% *}"
    CELL_GLYPH="${cell#* }"
    [ "$CELL_GLYPH" == " " ] && CELL_GLYPH=""
    return 0
}

glyph_at() { at "$1" "$2" && echo "$CELL_GLYPH"; }
fg_at() { at "$1" "$2" && echo "$CELL_FG"; }
bg_at() { at "$1" "$2" && echo "$CELL_BG"; }

wait_until() {
    local limit="$1" start="${EPOCHREALTIME/./}"
    shift
    while ! "$@"; do
        [ $((${EPOCHREALTIME/./} - start)) -ge $((limit * 1000000)) ] && return 1
        sleep 0.02
    done
}

# Until COMMAND holds on a fresh snapshot.
seen() {
    local limit="$1"
    shift
    wait_until "$limit" snapshot_then "$@"
}

snapshot_then() { snapshot && "$@"; }

WALL_ROW="$(printf '█%.0s' $(seq 80))"

new_game() {
    game_start
    keys x
    wait_for "Sector Assignment:" || return 1
    keys x
    wait_for "$WALL_ROW" 5
}

# One glyph of the plain screen.
glyph() {
    local r
    r="$(row "$1")"
    echo "${r:$2:1}"
}

# The player unit is a turning bar: / ─ \ │.
is_player_glyph() { case "$1" in "/" | "─" | "\\" | "│") return 0 ;; esac; return 1; }

player_on() { is_player_glyph "$(glyph "$1" "$2")"; }

# Units are drawn in list order, so a citizen milling about may hide the player for a moment.
wait_player() { wait_until "${3:-5}" player_on "$1" "$2"; }

# The player starts at (200, 62), the node at (205, 62) and the source at (210, 62); the view
# shows x 160.., y 50.., so they stand on row 12 at columns 40, 45 and 50. Four steps east, the
# fifth takes the node, five more carry it over the source, and 'd' sets it down there.
node_onto_source() {
    keys 6 6 6 6 6 6 6 6 6 6
    wait_player 12 49 || return 1
    keys d
}

# A row of the records screen: the label at its column, the value ending 20 columns on and the
# holder ending 36 columns on.
record_row() {
    local r="$1" column="$2" label="$3" value="$4" holder="$5" text
    text="$(row "$r")"
    [ "${text:$column:${#label}}" == "$label" ] || return 1
    [ "${text:$((column + 21 - ${#value})):${#value}}" == "$value" ] || return 1
    [ "${text:$((column + 37 - ${#holder})):${#holder}}" == "$holder" ]
}

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
    local entry name function started tenths
    for entry in "${E2E_SCENARIOS[@]}"; do
        name="${entry%%|*}"
        function="${entry#*|}"
        E2E_CURRENT="$name"
        echo "$name"
        started="${EPOCHREALTIME/./}"
        "$function"
        tenths=$(((${EPOCHREALTIME/./} - started) / 100000))
        echo "        ($((tenths / 10)).$((tenths % 10)) s)"
    done
    tm kill-session -t game 2>/dev/null || true
    echo "$E2E_PASSED passed, $E2E_FAILED failed"
    [ "$E2E_FAILED" -eq 0 ]
}
