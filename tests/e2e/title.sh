# The title screen as the player first sees it.

title_rows() {
    game_start
    check_eq "row 4 is the title" "$(centred "Quillmire")" "$(row 4)"
    check_eq "row 7" "$(centred "Learn the rules as you go.")" "$(row 7)"
    check_eq "row 16" \
        "$(centred "Use the arrow keys/number pad to move.  Use Q,W,E,A,D,Z,X and C to interact.")" \
        "$(row 16)"
    check_eq "row 17" "$(centred "Press S to look at your status.")" "$(row 17)"
    check_eq "row 18" "$(centred "Press H to look at your high scores now.")" "$(row 18)"
    check_eq "row 19 is empty" "" "$(row 19)"
    check_eq "row 20" "$(centred "Press ESC at any time to quit.")" "$(row 20)"
    check_eq "row 21 is empty" "" "$(row 21)"
    check_eq "row 22" "$(centred "Press any other key now to Play a Game.")" "$(row 22)"
    check "the title waits for its key" game_alive
}

title_arrow_plays() {
    game_start
    keys Up
    check "an arrow starts the sector assignment" wait_for "Sector Assignment:"
    check "and does not end the program" game_alive
}

scenario "title screen rows" title_rows
scenario "an arrow on the title plays" title_arrow_plays
