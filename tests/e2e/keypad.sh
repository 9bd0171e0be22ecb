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
