# One game from its first screen to a defeat, the records it set, the replay, and in the new
# game the sweep that opens the next sector; and the records as the title's 'h' shows them.
#
# The view shows the start sector, x 160..239 and y 50..74: map (x, y) is screen row y - 50,
# column x - 160. The player stands at (200, 62), the citizens at (205, 61) and (205, 63), the
# node at (205, 62), the corrupted node at (165, 62) and the source at (210, 62).

# "glyph fg bg" of a cell of the last snapshot matches the pattern.
cell_is() { at "$1" "$2" && [[ "$CELL_GLYPH $CELL_FG $CELL_BG" =~ ^$3$ ]]; }

FIRST_CELLS=("0 40|█ 2 .*|the walls are green"
    "12 40|[/─\\│] 15 .*|the player: a bright white turning bar"
    "12 45|■ 7 [47]|the node: faction 7's light grey, blinking blue or grey while inactive"
    "12 5|[X┼] .* [51]|the corrupted node blinks magenta or red"
    "12 50|☼ 12 4|the source: light blue on blue")

# Inside the walls only the pieces of the start and green floor; an ooze may have been bred
# already, and drops rise from the citizens.
only_map_glyphs() {
    [ "$(screen | sed -n 2,24p | grep -cE '^█[.·,'"'"'`■☼/─\\│XoO┼]{78}█$')" == 23 ]
}

# Both citizens mill within three cells of the node from the first second on, in light grey.
citizens_by_node() {
    local r c found=0
    for r in $(seq 9 15); do
        for c in $(seq 42 48); do cell_is "$r" "$c" "[,'\`] 7 .*" && found=$((found + 1)); done
    done
    [ "$found" -eq 2 ]
}

# The cells a knight's move from the source, (208, 61), (212, 63), (211, 60) and (209, 64), are
# floor of the colour given (a citizen may stand on one for a moment).
knight_cells_are() {
    local cell
    for cell in "11 48" "13 52" "10 51" "14 49"; do
        cell_is "${cell% *}" "${cell#* }" "\. $1 .*" || return 1
    done
}

# W when every cell of row (r) or column (c) N is wall, O when none but the corners is.
wall_line() {
    local n=0 i last=79
    [ "$1" == c ] && last=24
    for i in $(seq 0 $last); do
        if [ "$1" == r ]; then at "$2" "$i"; else at "$i" "$2"; fi
        [ "$CELL_GLYPH" == █ ] && n=$((n + 1))
    done
    if [ "$n" -gt "$last" ]; then echo W; elif [ "$n" -le 2 ]; then echo O; else echo P; fi
}
# Rows 0 and 24, columns 0 and 79.
borders() { echo "$(wall_line r 0)$(wall_line r 24)$(wall_line c 0)$(wall_line c 79)"; }

# A menu is a 3 x 3 grid of 5 x 5 boxes laid out like the interaction keys round the player: at
# the left edge, box (dx, dy) from row 6 dy + 6, column 6 dx + 6. The bottom edge may carry the
# box's key letter.
box_at() {
    local i j text frame=("┌───┐" "│???│" "│???│" "│???│" "└─?─┘")
    for i in 0 1 2 3 4; do
        text=""
        for j in 0 1 2 3 4; do at $(($1 + i)) $(($2 + j)) && text+="${CELL_GLYPH:- }"; done
        # shellcheck disable=SC2053 # the frame's row is a pattern
        [[ "$text" == ${frame[i]} ]] || return 1
    done
}

# menu_shows "TOP LEFT CENTRE"...: those boxes, the centre cell of each matching CENTRE ("glyph fg
# bg"); "TOP LEFT -" for a box that is not there.
menu_shows() {
    local entry top left centre
    for entry in "$@"; do
        read -r top left centre <<<"$entry"
        if [ "$centre" == - ]; then ! box_at "$top" "$left" || return 1; else
            box_at "$top" "$left" && cell_is $((top + 2)) $((left + 2)) "$centre" || return 1
        fi
    done
}
NO_MENU=("0 0 -" "0 6 -" "0 12 -" "12 0 -" "12 6 -" "12 12 -")
# A node that is not active shows a hint: a source cell above it, and the close box.
HINT_MENU=("0 6 ☼ 12 4" "12 6 ─ .*" "0 0 -" "12 12 -")
# The node menu: seven purchases and the close box; the centre is left to the map.
NODE_MENU=("0 0 ☼ .*" "0 6 π .*" "0 12 Å .*" "6 0 µ .*" "6 12 £ .*" "12 0 Σ .*" "12 12 ↑ .*"
    "12 6 ─ .*" "6 6 -")

# A purchase the store cannot pay for is greyed out: dark grey glyph, no key letter. One it can
# pay for shows its glyph in the node's light grey, and its letter.
purchase_is() { cell_is $(($1 + 2)) $(($2 + 2)) "$3" && cell_is $(($1 + 4)) $(($2 + 2)) "$4"; }
greyed_out() { purchase_is "$1" "$2" ". 8 .*" "─ .*"; }
letter_or_greyed() { purchase_is "$1" "$2" ". 7 .*" "$3 .*" || greyed_out "$1" "$2"; }

# Follows the ooze drops (middle dots) from one capture to the next: a drop up to three rows
# above one of the capture before, no more columns aside than rows up, has climbed by those rows
# (a busy machine may capture less often than a drop climbs). Passes once one has climbed two.
drops_rise() {
    local start="$SECONDS" r c up aside v best key
    local -A climbed=() now=()
    while [ $((SECONDS - start)) -lt "$1" ]; do
        now=()
        while read -r r c; do
            best=0
            for ((up = 0; up < 4; up++)); do
                for ((aside = -up; aside <= up; aside++)); do
                    v="${climbed[$((r + up)),$((c + aside))]:--9}"
                    ((v + up > best)) && best=$((v + up))
                done
            done
            ((best >= 2)) && return 0
            now[$r,$c]="$best"
        done < <(screen | perl -CS -Mutf8 -ne 'print $. - 1, " ", pos() - 1, "\n" while /·/g')
        climbed=()
        for key in "${!now[@]}"; do climbed[$key]="${now[$key]}"; done
    done
    return 1
}

# Opens the node menu (the node east of the player) until the allegiance shows its letter, then
# buys it.
buy_allegiance() {
    local start="$SECONDS" bought=0
    while [ $((SECONDS - start)) -lt 90 ]; do
        keys d
        seen 15 menu_shows "${NODE_MENU[@]}" || return 1
        if cell_is 4 2 "Q .*"; then keys q x && bought=1; else keys x; fi
        seen 15 menu_shows "${NO_MENU[@]}" || return 1
        [ "$bought" -eq 1 ] && return 0
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

# The sweep shades the columns it has passed green: how many, counting those mostly so.
shaded_columns() {
    cells | awk '$2 == 2 { n[(NR - 1) % 80]++ } END { for (c in n) s += n[c] >= 20; print s + 0 }'
}

# Which side of the start sector has opened. West, the view re-centres at once (the player
# stands close to the west edge): x 120.., so the old west wall is column 40, open now.
opened() {
    case "$(borders)" in
    OWWW) side=north ;; WOWW) side=south ;; WWWO) side=east ;;
    WW??) [ "$(wall_line c 40)" == O ] && side=west ;;
    *) return 1 ;;
    esac
}

play_a_game() {
    local file="$E2E_DIR/score.dat" entry side="" cell pattern name
    # A score file cut short: what it holds counts, the rest starts empty.
    score_file 18 99999 "" | head -c 100 >"$file"
    new_game
    check "two citizens mill about the node" seen 15 citizens_by_node
    for entry in "${FIRST_CELLS[@]}"; do
        IFS="|" read -r cell pattern name <<<"$entry"
        check "$name" seen 15 cell_is "${cell% *}" "${cell#* }" "$pattern"
    done
    check "the start walls all round" seen 15 eval '[ "$(borders)" == WWWW ]'
    check "and inside them nothing but the pieces on green floor" only_map_glyphs

    keys 6 6 6 6
    check "four steps east" wait_player 12 44
    keys d
    check "'d' toward the node on green floor opens its hint" seen 15 menu_shows "${HINT_MENU[@]}"
    check "the close box's X in bright white" cell_is 16 8 "X 15 .*"
    keys 4 4 w q x
    check "'x' closes it" seen 15 menu_shows "${NO_MENU[@]}"
    check "the keys before it did nothing" wait_player 12 44
    keys 6 6
    check "the node taken, the player walks on with it" wait_player 12 45
    check "carrying it east" wait_until 15 eval '[[ "$(glyph 12 46)" =~ ^[■┼]$ ]]'
    keys 6 6 6 6
    check "over the source" wait_until 15 eval 'player_on 12 49 && [[ $(glyph 12 50) =~ ^[■┼]$ ]]'
    check "the knight's-move cells are green floor" seen 15 knight_cells_are 2
    keys d
    check "set down: they turn blue" seen 15 knight_cells_are 4
    check "the node on the source flickers through cyan: active" seen 15 cell_is 12 50 "■ .* 6"
    check "its old cell is green floor again" seen 15 cell_is 12 45 "\. 2 .*"
    check "ooze drops rise over the map" drops_rise 30

    keys d
    check "'d' opens the node menu" seen 15 menu_shows "${NODE_MENU[@]}"
    check "allegiance, tower, soldier and barricade show their letters when affordable" eval \
        'letter_or_greyed 0 0 Q && letter_or_greyed 0 6 W && letter_or_greyed 0 12 E &&
        letter_or_greyed 6 0 A'
    check "general, flier and promotion are greyed out" \
        eval 'greyed_out 6 12 && greyed_out 12 0 && greyed_out 12 12'
    keys x
    check "'x' closes the node menu" seen 15 menu_shows "${NO_MENU[@]}"
    keys s
    check "'s' shows the status screen" wait_until 15 status_shown
    check "in dark grey" seen 15 cell_is 24 15 "· 8 .*"
    keys k
    check "any key goes back to the map" wait_for "$WALL_ROW"

    # The quickest defeat: the allegiance bought for a weapon, the node set down on green floor
    # so that no citizen is bred, and both citizens shot (a bolt hits its own side's citizens).
    check "the allegiance is bought once 3 ooze are gathered" buy_allegiance
    keys 6 4 4 4 4 4 d 4 4 4 4
    check "the node set down at (205, 62), the player back at (200, 62)" \
        wait_until 15 eval 'player_on 12 40 && [ "$(glyph 12 45)" == "■" ]'
    check "shooting the citizens loses the game" shoot_citizens 90
    check "asks for H" wait_row_has 13 "Press H to continue."
    keys x Enter h
    check "other keys wait, H goes on: a new record asks for a name" \
        wait_row_has 11 "You have bested an old record!  What is your name?"
    keys e 2 e Space x y BSpace
    check "the name is typed in capitals, backspace takes one back" wait_row_has 13 "E2E X"
    keys Enter
    check "the records follow" wait_row_has 0 "Overall Winners"
    check "the short file's record stands" wait_until 15 record_row 2 40 "Experience" 99999 ""
    keys Space
    check "page 1: the allegiance's 3 ooze are the new holder's record" \
        wait_until 15 record_row 2 40 "Spent" 3 "E2E X"
    check "faction 7's row too" wait_until 15 record_row 11 40 "Spent" 3 "E2E X"
    keys Space Space Space Space Space Space Space Space Space
    check "page 10 is the last" wait_row_has 0 "Recruits and Citizens"
    keys Space
    check "then the replay question" \
        wait_row_has 13 "Would you like to play again?  (Y - Yes, N or ESC - Quit)"
    check_eq "score.dat is whole again: 8516 bytes of version 10100" "8516 10100" \
        "$(stat -c %s "$file") $(od -A n -t u4 -N 4 "$file" | tr -d ' ')"
    check_eq "with the new record and its holder" "3|E2E X" "$(score_entry "$file" 52)"
    check_eq "and the short file's" "99999|" "$(score_entry "$file" 18)"
    check_eq "a counter never raised keeps no holder" "0|" "$(score_entry "$file" 447)"
    keys 6 x y
    check "other keys wait, 'y' goes back to faction 7's sector assignment" \
        eval 'wait_row_has 1 "Sector Assignment:" && wait_row_has 4 "Light Division"'

    # Taking the corrupted node leaves no hostile building: a sweep runs across the start sector
    # at once, a column a frame, and opens the stage-2 sector next to it.
    keys x
    wait_for "$WALL_ROW"
    # shellcheck disable=SC2046 # 35 presses
    keys $(printf '4 %.0s' $(seq 35))
    check "the sweep's shading crosses it" wait_until 15 eval '[ "$(shaded_columns)" -gt 0 ]'
    check "and passes" wait_until 15 eval '[ "$(shaded_columns)" -eq 0 ]'
    check "a side of the start sector opens" seen 15 opened
    echo "        (the stage-2 sector lies $side)"
    keys Escape
    check_eq "ESC in the game exits with 0" "0" "$(exit_status)"
    rm -f "$file"
}

records_from_the_title() {
    local file="$E2E_DIR/score.dat" entry before parts
    # 447 sectors cleared, 433 the Elder Dragon's kills (faction 2), 18 experience, 3 and 5
    # leadership; a holder with no value shows "---".
    score_file 447 3 ALICE 433 1 BOB 18 12345 ABCDEFGHIJKLMN 3 4000000000 DAVE 5 7 "E 5" 0 0 GHOST \
        >"$file"
    before="$(sha256sum <"$file")"
    game_start
    keys h
    check "'h' shows page 0" wait_row_has 0 "Overall Winners"
    for entry in "2|0|Sectors Cleared|3|ALICE" "6|0|Elder Dragon|1|BOB" "4|40|Leadership|0|---" \
        "2|40|Experience|12345|ABCDEFGHIJKLMN" "7|40|Leadership|4000000000|DAVE" \
        "9|40|Leadership|7|E 5"; do
        IFS="|" read -r -a parts <<<"$entry"
        check "row ${parts[0]}, column ${parts[1]}: ${parts[*]:2}" \
            wait_until 15 record_row "${parts[@]}"
    done
    keys Space
    check "space turns to page 1" wait_row_has 0 "Resources"
    keys Escape
    check "ESC leaves the records for the sector assignment" wait_row_has 1 "Sector Assignment:"
    keys Escape
    check_eq "ESC there ends the program with 0" "0" "$(exit_status)"
    check_eq "score.dat is unchanged" "$before" "$(sha256sum <"$file")"
    rm -f "$file"
}

# The quickest defeat of a new game, as play_a_game takes it step by step.
quickest_defeat() {
    new_game && keys 6 6 6 6 6 6 && wait_player 12 45 && keys 6 6 6 6 && wait_player 12 49 && keys d &&
        seen 15 knight_cells_are 4 && buy_allegiance && keys 6 4 4 4 4 4 d 4 4 4 4 &&
        wait_until 15 eval 'player_on 12 40 && [ "$(glyph 12 45)" == "■" ]' && shoot_citizens 90
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
    check "in bright red" seen 15 cell_is 15 $((39 - (${#notice} - 1) / 2)) "Y 9 .*"
    check_eq "score.dat is the directory it was" "$before" \
        "$(find "$file" -printf '%p %y %s %T@\n' && cat "$file/inside")"
    keys n
    check_eq "'n' exits with 0" "0" "$(exit_status)"
    rm -rf "$file"
}

scenario "a game: first screen, menus, drops, defeat, records, replay and the sweep" play_a_game
scenario "records that could not be saved" records_not_saved
scenario "the records from the title" records_from_the_title
