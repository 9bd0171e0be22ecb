# A lost game: the last citizen gone, the defeat notice, the new records with a name, the records
# screen, score.dat written, and the replay question back to the sector assignment.
#
# The quickest defeat a player can bring about: buy the allegiance (3 ooze) for a weapon, set the
# node down on green floor so that no citizen is bred any more, and shoot both citizens (a bolt
# of faction 7 hits own citizens too). Gathering the 3 ooze takes the node and the citizens about
# ten seconds, which makes this the longest scenario.

# Opens the node menu (the node stands east of the player) until the allegiance box shows its
# letter, then buys it and closes the menu.
buy_allegiance() {
    local limit="$1" start="${EPOCHREALTIME/./}"
    while [ $((${EPOCHREALTIME/./} - start)) -lt $((limit * 1000000)) ]; do
        keys d
        sleep 0.2
        if [ "$(glyph 4 2)" == "Q" ]; then
            keys q x
            return 0
        fi
        keys x
        sleep 0.4
    done
    return 1
}

# Columns of a line holding one of the glyphs of a bracket expression (a pattern on purpose).
# shellcheck disable=SC2295
columns_of() {
    local line="$1" set="$2" rest column=0
    while [[ "$line" == *$set* ]]; do
        rest="${line%%$set*}"
        column=$((column + ${#rest}))
        echo "$column"
        line="${line#*$set}"
        column=$((column + 1))
    done
}

# Fires along the player's row or column at a citizen standing in line with it.
shoot_citizens() {
    local limit="$1" start="${EPOCHREALTIME/./}" r c pr pc key
    local -a lines
    while [ $((${EPOCHREALTIME/./} - start)) -lt $((limit * 1000000)) ]; do
        mapfile -t lines < <(screen)
        [[ "${lines[11]}" == *"have all been slain."* ]] && return 0
        pr=-1
        for r in $(seq 1 23); do
            for c in $(columns_of "${lines[$r]}" '[/─\\│]'); do pr="$r" pc="$c"; done
        done
        key=""
        if [ "$pr" -ge 0 ]; then
            for r in $(seq 1 23); do
                for c in $(columns_of "${lines[$r]}" "[,\'\`]"); do
                    if [ "$r" -eq "$pr" ]; then
                        if [ "$c" -gt "$pc" ]; then key=d; else key=a; fi
                    elif [ "$c" -eq "$pc" ]; then
                        if [ "$r" -gt "$pr" ]; then key=x; else key=w; fi
                    fi
                done
            done
        fi
        [ -n "$key" ] && keys "$key"
        sleep 0.03
    done
    return 1
}

node_and_player_back() { wait_player 12 40 && [ "$(glyph 12 45)" == "■" ]; }

score_counter() { od -A n -t u4 -j $((4 + 4 * $2)) -N 4 "$1" | tr -d ' '; }
score_holder() { dd if="$1" bs=1 skip=$((1796 + 15 * $2)) count=15 2>/dev/null | tr -d '\0'; }

defeat_records_and_replay() {
    local file="$E2E_DIR/score.dat"
    rm -f "$file"
    new_game
    check "the node is set down on the source" node_onto_source
    check "the allegiance is bought once 3 ooze are gathered" buy_allegiance 40
    # Take the node back (the player stands west of it) and set it down on green floor at (205, 62).
    keys 6 4 4 4 4 4 d 4 4 4 4
    check "the node is set down at (205, 62), the player back at (200, 62)" node_and_player_back
    check "shooting the citizens loses the game" shoot_citizens 60
    check "the defeat notice" row_has 11 "The citizens under your charge have all been slain."
    check "asks for H" row_has 13 "Press H to continue."
    keys x Enter
    sleep 0.2
    check "other keys are ignored" row_has 13 "Press H to continue."
    keys h
    # No score file: every counter above 0 is a new record.
    check "a new record asks for a name" \
        wait_row_has 11 "You have bested an old record!  What is your name?"
    keys e 2 e Space x y BSpace
    check "the name is typed in capitals, backspace takes one back" wait_row_has 13 "E2E X"
    keys Enter
    check "the records screen follows" wait_row_has 0 "Overall Winners"
    keys Space
    check "page 1" wait_row_has 0 "Resources"
    check "the allegiance's 3 ooze are a record of the new holder" \
        record_row 2 40 "Spent" 3 "E2E X"
    check "faction 7's row too" record_row 11 40 "Spent" 3 "E2E X"
    keys Space Space Space Space Space Space Space Space Space
    check "page 10 is the last" wait_row_has 0 "Recruits and Citizens"
    keys Space
    check "then the replay question" \
        wait_row_has 13 "Would you like to play again?  (Y - Yes, N or ESC - Quit)"
    check_eq "score.dat is written: 8516 bytes" "8516" "$(stat -c %s "$file" 2>/dev/null)"
    check_eq "version 10100" "10100" "$(od -A n -t u4 -N 4 "$file" | tr -d ' ')"
    check_eq "total spent 3" "3" "$(score_counter "$file" 52)"
    check_eq "held by E2E X" "E2E X" "$(score_holder "$file" 52)"
    check_eq "a counter never raised keeps no holder" "" "$(score_holder "$file" 447)"
    keys 6 x
    sleep 0.2
    check "the question ignores other keys" \
        row_has 13 "Would you like to play again?  (Y - Yes, N or ESC - Quit)"
    keys y
    check "'y' goes back to the sector assignment" wait_row_has 1 "Sector Assignment:"
    check "offering faction 7 again" wait_row_has 4 "Light Division"
    keys Escape
    check_eq "ESC ends it with 0" "0" "$(exit_status)"
    rm -f "$file"
}

scenario "defeat, records and replay" defeat_records_and_replay
