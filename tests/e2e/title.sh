# The title, the sector assignment and the keys of the terminals players use.

title_and_quit() {
    local want
    game_start
    want="$(screen)"
    # Half the spare rows and columns above and to the left, the rest of the terminal blank.
    resize 100 30
    check "at 100 x 30 two rows down, ten columns right" wait_until 15 shows_moved "$want" 2 10
    resize 120 40
    check "at 120 x 40 seven rows down, twenty columns right" wait_until 15 shows_moved "$want" 7 20
    resize 80 25
    check "back at 80 x 25 as it was" wait_until 15 shows_moved "$want" 0 0
    keys Escape
    check_eq "ESC on the title exits with 0" "0" "$(exit_status)"
    check "the shell works afterwards" shell_usable
}

# The faction's names (an empty sub-name leaves row 4 all shades) and its slot on the strip.
offers() {
    wait_row_has 3 "$2" || return 1
    if [ -n "$3" ]; then wait_row_has 4 "$3" || return 1; else shades_only 4 || return 1; fi
    strip_shows "$1"
}

# Every key of the keypad and the cursor block arrives as a key, never as ESC, 'O', 'q'.
ALL_KEYS=(KP1 KP2 KP3 KP4 KP5 KP6 KP7 KP8 KP9 KP0 KP. KPEnter KP/ KP* KP- KP+
    Home End PPage NPage IC DC Up Down Left Right BSpace F5 F12 S-F7 C-Left M-Left S-Up C-Home M-x)

# BRIGHT: how the title's bright white reaches this terminal.
keys_on() {
    local term="$1" bright="$2" step key r c
    game_start "$term"
    check "$term: the title's bright white" bash -c '[[ "$(tmux -L "$1" capture-pane -p -e -t game |
        sed -n 5p)" =~ $2Quillmire ]]' _ "$E2E_SOCKET" "$bright"
    keys Up
    check "$term: an arrow on the title plays" wait_row_has 1 "Sector Assignment:"
    check "$term: faction 7, Unicode shades" offers 7 "Knights of the Machine" "Light Division"
    keys KP6
    check "$term: keypad 6 offers faction 8" offers 8 "Knights of the Machine" "Armored Division"
    keys Left Left
    check "$term: left arrow twice, the Gnomes, who have no sub-name" offers 6 "The Gnomes" ""
    keys KP1
    check "$term: keypad 1 starts the game" wait_for "$WALL_ROW"
    # Home, End, PgUp and PgDn walk as 7, 1, 9 and 3 do, and so does the keypad.
    check "$term: the player unit at its start" wait_player 12 40
    for step in "Home 11 39" "NPage 12 40" "PPage 11 41" "End 12 40" \
        "KP7 11 39" "KP3 12 40" "KP9 11 41" "KP1 12 40"; do
        read -r key r c <<<"$step"
        keys "$key"
        check "$term: $key walks to row $r, column $c" wait_player "$r" "$c"
    done
    # Keys are read one a frame: once the status screen shows, every key before it was read.
    keys "${ALL_KEYS[@]}" s
    check "$term: no keypad, cursor or function key quits" wait_until 20 status_shown
    keys Escape
    check_eq "$term: ESC on the status screen quits with 0" "0" "$(exit_status)"
    check "$term: the shell works afterwards" shell_usable
}

# Row 0 as sent: shifted into the line-drawing set (SO) before its letters.
row_0_in_line_drawing() { tm capture-pane -p -e -t game | sed -n 1p | grep -q $'\x0e''a'; }

# A locale that is not UTF-8 gets the line-drawing stand-ins.
without_utf8() {
    game_start tmux-256color C
    keys x
    check "the names in plain letters" wait_row_has 3 "Knights of the Machine"
    check "the shades: the line-drawing checker board" bash -c '[[ "$1" =~ ^a{80}$ ]]' _ "$(row 0)"
    check "drawn in the line-drawing set, not as letters" row_0_in_line_drawing
    check "the strip: checker boards, and blocks for faction 7" \
        bash -c '[[ "$1" =~ ^a{35}0{5}a{40}$ ]]' _ "$(row 24)"
    keys Escape
    check_eq "ESC exits with 0" "0" "$(exit_status)"
}

scenario "the title and ESC" title_and_quit
scenario "sector assignment and keys under tmux-256color" keys_on tmux-256color '\[97m'
scenario "keys under xterm-256color" keys_on xterm-256color '\[97m'
scenario "keys, and bright as bold, under screen" keys_on screen '\[1m.*'
scenario "glyphs without UTF-8" without_utf8
