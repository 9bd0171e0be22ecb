# The records across runs, as only the real game in a terminal keeps them: a game lost over a
# score file cut short saves the new record and the name typed for it, and the next run shows
# both; a game lost with score.dat made a directory says on the replay question why nothing
# was saved. The rules of the game itself are the unit tests'.
#
# The view shows the start sector, x 160..239 and y 50..74: map (x, y) is screen row y - 50,
# column x - 160. The player stands at (200, 62), the node at (205, 62), the source at (210, 62).

# Opens the node menu (the node east of the player) until the allegiance shows its letter, then
# buys it.
buy_allegiance() {
    local start="$SECONDS"
    while [ $((SECONDS - start)) -lt 90 ]; do
        keys d
        # The menu's boxes at the left edge, the allegiance's letter under the first.
        wait_until 15 eval '[[ "$(row 0)" == ┌───┐* ]]' || return 1
        if [ "$(glyph 4 2)" == Q ]; then keys q x && return 0; fi
        keys x
        sleep 0.5
    done
    return 1
}

# Fires along the player's row or column at a citizen standing in line with it.
shoot_citizens() {
    local start="$SECONDS" key
    while [ $((SECONDS - start)) -lt "$1" ]; do
        row_has 11 "The citizens under your charge have all been slain." && return 0
        key="$(screen | perl -CS -Mutf8 -ne 'next if $. < 2 || $. > 24;
            while (/[\/─\\│]/g) { ($pr, $pc) = ($. - 1, pos() - 1) }
            while (/[,\x27`]/g) { push @c, [$. - 1, pos() - 1] }
            END { for (@c) { my ($r, $c) = @$_; next unless defined $pr; print $r == $pr ?
                ($c > $pc ? "d" : "a") : $c == $pc ? ($r > $pr ? "x" : "w") : "" } }' |
            head -c 1)"
        [ -n "$key" ] && keys "$key"
        sleep 0.05
    done
    return 1
}

# A row of the records screen: the label at its column, the value ending 20 columns on and the
# holder 36 columns on.
record_row() {
    local text
    text="$(row "$1")"
    [ "${text:$2:${#3}}" == "$3" ] && [ "${text:$(($2 + 21 - ${#4})):${#4}}" == "$4" ] &&
        [ "${text:$(($2 + 37 - ${#5})):${#5}}" == "$5" ]
}

# score_file INDEX VALUE HOLDER...: score.dat's 8516 bytes, the version word 10100, 448 counters
# (unsigned 32-bit, little-endian) and 448 holders of 15 bytes; the counters not given 0 with no
# holder.
score_file() {
    perl -e 'my (@v, @h);
        while (my ($i, $v, $h) = splice(@ARGV, 0, 3)) { ($v[$i], $h[$i]) = ($v, $h) }
        print pack("V", 10100), map({ pack "V", $v[$_] // 0 } 0 .. 447),
            map { pack "a15", $h[$_] // "" } 0 .. 447' -- "$@"
}
score_entry() {
    perl -0777 -ne 'printf "%u|%s", unpack("V", substr($_, 4 + 4 * '"$2"', 4)),
        unpack("Z15", substr($_, 1796 + 15 * '"$2"', 15))' "$1"
}

# The quickest defeat: the allegiance bought for a weapon once the node on the source has
# gathered 3 ooze, the node set down again on green floor so that no citizen is bred, and both
# citizens shot (a bolt hits its own side's citizens).
quickest_defeat() {
    new_game && keys 6 6 6 6 6 6 && wait_player 12 45 && keys 6 6 6 6 && wait_player 12 49 && keys d &&
        buy_allegiance && keys 6 4 4 4 4 4 d 4 4 4 4 &&
        wait_until 15 eval 'player_on 12 40 && [ "$(glyph 12 45)" == "■" ]' && shoot_citizens 90
}

records_across_runs() {
    local file="$E2E_DIR/score.dat" before
    # A score file cut short: what it holds counts, the rest starts empty.
    score_file 18 99999 "" | head -c 100 >"$file"
    check "a game lost" quickest_defeat
    check "asks for H" wait_row_has 13 "Press H to continue."
    keys x Enter h
    check "other keys wait, H goes on: a new record asks for a name" \
        wait_row_has 11 "You have bested an old record!  What is your name?"
    keys e 2 e Space x y BSpace
    check "the name is typed in capitals, backspace takes one back" wait_row_has 13 "E2E X"
    keys Enter
    check "the records follow" wait_row_has 0 "Overall Winners"
    # shellcheck disable=SC2046 # the other ten pages, then on
    keys $(printf 'Space %.0s' $(seq 11))
    check "then the replay question" \
        wait_row_has 13 "Would you like to play again?  (Y - Yes, N or ESC - Quit)"
    check_eq "score.dat is whole again: 8516 bytes of version 10100" "8516 10100" \
        "$(stat -c %s "$file") $(od -A n -t u4 -N 4 "$file" | tr -d ' ')"
    check_eq "with the new record and its holder, and the short file's" "3|E2E X 99999|" \
        "$(score_entry "$file" 52) $(score_entry "$file" 18)"
    keys 6 x y
    check "other keys wait, 'y' goes back to the sector assignment" wait_row_has 1 "Sector Assignment:"
    keys Escape
    check_eq "ESC there exits with 0" "0" "$(exit_status)"

    before="$(sha256sum <"$file")"
    game_start
    keys h
    check "the next run's 'h': the short file's record" wait_until 15 record_row 2 40 "Experience" 99999 ""
    keys Space
    check "and on page 1 the new holder's" wait_until 15 record_row 2 40 "Spent" 3 "E2E X"
    keys Escape
    check "ESC leaves the records for the sector assignment" wait_row_has 1 "Sector Assignment:"
    keys Escape
    check_eq "ESC there ends the program with 0, score.dat unchanged" "0 $before" \
        "$(exit_status) $(sha256sum <"$file")"
    rm -f "$file"
}

# A record beaten with score.dat made a directory: the replay question says why it was not
# saved, in bright red two rows below, and the directory is left as it was.
records_not_saved() {
    local file="$E2E_DIR/score.dat" notice="Your records could not be saved: Is a directory" before
    mkdir "$file" && echo "the player's" >"$file/inside"
    before="$(find "$file" -printf '%p %y %s %T@\n' && cat "$file/inside")"
    check "a game lost" quickest_defeat
    keys h
    wait_row_has 11 "You have bested an old record!  What is your name?"
    keys Enter
    wait_row_has 0 "Overall Winners"
    # shellcheck disable=SC2046 # eleven pages
    keys $(printf 'Space %.0s' $(seq 11))
    check "the replay question" wait_row_has 13 "Would you like to play again?  (Y - Yes, N or ESC - Quit)"
    check "says the records could not be saved, and why" wait_row_has 15 "$notice"
    check "in bright red" eval '[[ "$(tm capture-pane -p -e -t game | sed -n 16p)" =~ \[91mYour\ records ]]'
    check_eq "score.dat is the directory it was" "$before" \
        "$(find "$file" -printf '%p %y %s %T@\n' && cat "$file/inside")"
    keys n
    check_eq "'n' exits with 0" "0" "$(exit_status)"
    rm -rf "$file"
}

scenario "the records across runs" records_across_runs
scenario "records that could not be saved" records_not_saved
