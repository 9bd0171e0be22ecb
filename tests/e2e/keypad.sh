# The numeric keypad and the cursor block on the terminals players use: every key arrives as a
# key (never as ESC, 'O', 'q'), so none of them ends the game.

all_keypad_keys=(KP1 KP2 KP3 KP4 KP5 KP6 KP7 KP8 KP9 KP0 KP. KPEnter KP/ KP* KP- KP+
    Home End PPage NPage IC DC Up Down Left Right BSpace)
# Keys the game has no use for, whose escape sequences some terminal descriptions do not know.
unknown_keys=(F5 F12 S-F7 C-Left M-Left S-Up C-Home M-x)

no_exit_yet() { ! screen | grep -q "^EXIT="; }

keypad_on() {
    local term="$1"
    game_start "$term"
    keys x
    wait_for "Sector Assignment:"
    keys KP6
    check "$term: keypad 6 chooses the next faction" \
        wait_row_has 4 "Armored Division"
    keys KP4
    check "$term: keypad 4 the one before" wait_row_has 4 "Light Division"
    keys KP1
    check "$term: keypad 1 starts the game" wait_gone "Sector Assignment:"
    keys "${all_keypad_keys[@]}" "${unknown_keys[@]}"
    sleep 0.4
    check "$term: no keypad or function key quits" game_alive
    check "$term: nothing printed the exit status" no_exit_yet
    keys Escape
    check_eq "$term: ESC still quits with 0" "0" "$(exit_status)"
}

keypad_tmux() { keypad_on tmux-256color; }
keypad_screen() { keypad_on screen; }
keypad_xterm() { keypad_on xterm-256color; }

scenario "keypad under tmux-256color" keypad_tmux
scenario "keypad under screen" keypad_screen
scenario "keypad under xterm-256color" keypad_xterm

# In play, Home, End, PgUp and PgDn walk as 7, 1, 9 and 3 do, and so does the keypad. The
# player unit starts on row 12, column 40.
corner_walk() {
    local term="$1" up_left="$2" down_right="$3" up_right="$4" down_left="$5"
    game_start "$term"
    keys x
    wait_for "Sector Assignment:"
    keys x
    wait_gone "Sector Assignment:"
    wait_player 12 40 || { e2e_fail "$term: the player unit at its start"; return; }
    keys "$up_left"
    check "$term: $up_left walks up and left" wait_player 11 39
    keys "$down_right"
    check "$term: $down_right walks down and right" wait_player 12 40
    keys "$up_right"
    check "$term: $up_right walks up and right" wait_player 11 41
    keys "$down_left"
    check "$term: $down_left walks down and left" wait_player 12 40
    keys Escape
    check_eq "$term: ESC quits with 0" "0" "$(exit_status)"
}

corner_walk_tmux() { corner_walk tmux-256color Home NPage PPage End; }
corner_walk_xterm() { corner_walk xterm-256color Home NPage PPage End; }
keypad_walk_tmux() { corner_walk tmux-256color KP7 KP3 KP9 KP1; }

scenario "Home, End, PgUp and PgDn walk under tmux-256color" corner_walk_tmux
scenario "Home, End, PgUp and PgDn walk under xterm-256color" corner_walk_xterm
scenario "the keypad walks under tmux-256color" keypad_walk_tmux
