# The sector-assignment screen: the faction on offer, the strip, and choosing with every key set.

# Waits for the faction's names (an empty sub-name leaves row 4 all shades) and its strip slot.
offers() {
    local faction="$1" group="$2" sub="$3"
    wait_row_has 3 "$group" 3 || return 1
    if [ -n "$sub" ]; then wait_row_has 4 "$sub" 3 || return 1; else shades_only 4 || return 1; fi
    strip_shows "$faction"
}

sector_assignment_texts() {
    game_start
    keys x
    check "the heading on row 1" wait_row_has 1 "Sector Assignment:"
    check "faction 7's group on row 3" wait_row_has 3 "Knights of the Machine"
    check "faction 7's division on row 4" wait_row_has 4 "Light Division"
    check "the strip marks faction 7" strip_shows 7
}

sector_assignment_cycling() {
    game_start
    keys x
    wait_for "Sector Assignment:"
    keys 4
    check "'4' offers the Gnomes" offers 6 "The Gnomes" ""
    keys 6
    check "'6' comes back to faction 7" offers 7 "Knights of the Machine" "Light Division"
    keys Right
    check "right arrow: faction 8" offers 8 "Knights of the Machine" "Armored Division"
    keys Left
    check "left arrow: faction 7" offers 7 "Knights of the Machine" "Light Division"
    keys KP6
    check "keypad 6: faction 8" offers 8 "Knights of the Machine" "Armored Division"
    keys KP4
    check "keypad 4: faction 7" offers 7 "Knights of the Machine" "Light Division"
    keys 4 4 4 4 4 4 4 4
    check "eight to the left wrap to faction 15" \
        offers 15 "The Church of the Conglomeration" ""
    keys 6
    check "one more to the right wraps to faction 0" offers 0 "The Hollow Seers" ""
    keys x
    check "another key starts the game" wait_gone "Sector Assignment:"
    check "the game runs" game_alive
    keys Escape
    check_eq "and ESC ends it with 0" "0" "$(exit_status)"
}

scenario "sector assignment texts" sector_assignment_texts
scenario "sector assignment cycling" sector_assignment_cycling
