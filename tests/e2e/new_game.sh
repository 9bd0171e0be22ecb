# A new game's first screen, and the start node carried onto the source.
#
# The view shows the start sector, x 160..239 and y 50..74: map (x, y) is screen row y - 50,
# column x - 160. The player stands at (200, 62), the citizens at (205, 61) and (205, 63), the
# node at (205, 62), the corrupted node at (165, 62) and the source at (210, 62).

border_is_wall() {
    local r
    for r in 0 24; do [ "$(row "$r")" == "$WALL_ROW" ] || return 1; done
    for r in $(seq 1 23); do
        at "$r" 0
        [ "$CELL_GLYPH" == "█" ] || return 1
        at "$r" 79
        [ "$CELL_GLYPH" == "█" ] || return 1
    done
}

is_citizen_glyph() { case "$1" in "," | "'" | "\`") return 0 ;; esac; return 1; }

# The citizens mill about the node from the first second on: both are within three cells of it,
# in faction 7's light grey.
citizens_by_node() {
    local r c found=0
    for r in $(seq 9 15); do
        for c in $(seq 42 48); do
            at "$r" "$c"
            if is_citizen_glyph "$CELL_GLYPH" && [ "$CELL_FG" == 7 ]; then found=$((found + 1)); fi
        done
    done
    [ "$found" -eq 2 ]
}

# Everything inside the walls but the pieces is green floor; only an ooze may have been bred
# next to the corrupted node already.
interior_is_green_floor() {
    local r c
    for r in $(seq 1 23); do
        for c in $(seq 1 78); do
            if [ "$r" -ge 9 ] && [ "$r" -le 15 ] && [ "$c" -ge 40 ] && [ "$c" -le 50 ]; then continue; fi
            at "$r" "$c"
            case "$CELL_GLYPH" in
            .) [ "$CELL_FG" == 2 ] || return 1 ;;
            o | O | X | ┼) [ "$c" -le 12 ] || return 1 ;;
            *) return 1 ;;
            esac
        done
    done
}

new_game_first_screen() {
    new_game
    seen 3 citizens_by_node
    check "row 0, row 24, column 0 and column 79 are the start walls" border_is_wall
    check_eq "the walls are green" "2" "$(fg_at 0 40)"
    check "the player unit's turning bar at column 40" is_player_glyph "$(glyph_at 12 40)"
    check_eq "the player unit is bright white" "15" "$(fg_at 12 40)"
    check_eq "the node at column 45" "■" "$(glyph_at 12 45)"
    check_eq "the node is light grey, faction 7" "7" "$(fg_at 12 45)"
    # Inactive: the slow blink between blue and grey.
    check "the node blinks blue or grey" bash -c '[[ "$1" == 4 || "$1" == 7 ]]' _ "$(bg_at 12 45)"
    check "the corrupted node at column 5" bash -c '[[ "$1" == X || "$1" == ┼ ]]' _ "$(glyph_at 12 5)"
    # Its blink background is the console's magenta or red.
    check "the corrupted node blinks magenta or red" \
        bash -c '[[ "$1" == 5 || "$1" == 1 ]]' _ "$(bg_at 12 5)"
    check_eq "the source at column 50" "☼" "$(glyph_at 12 50)"
    check_eq "the source is light blue" "12" "$(fg_at 12 50)"
    check_eq "on blue" "4" "$(bg_at 12 50)"
    check "two citizens mill about the node" citizens_by_node
    check "the rest is green floor" interior_is_green_floor
}

# Knight's moves from the source: (208, 61), (212, 63), (211, 60), (209, 64).
KNIGHT_CELLS=("11 48" "13 52" "10 51" "14 49")

cell_is_floor() {
    local r="$1" c="$2" fg="$3"
    [ "$(glyph_at "$r" "$c")" == "." ] && [ "$(fg_at "$r" "$c")" == "$fg" ]
}

# A citizen may stand on a cell for a while: each cell only has to be seen once.
knight_cells_seen() {
    local fg="$1" limit="$2" waited=0 i r c pending=("${KNIGHT_CELLS[@]}") left
    while :; do
        snapshot
        left=()
        for i in "${pending[@]}"; do
            read -r r c <<<"$i"
            cell_is_floor "$r" "$c" "$fg" || left+=("$i")
        done
        pending=("${left[@]}")
        [ "${#pending[@]}" -eq 0 ] && return 0
        waited=$((waited + 1))
        [ "$waited" -ge $((limit * 20)) ] && return 1
        sleep 0.05
    done
}

active_node_on() { [ "$(glyph_at "$1" "$2")" == "■" ] && [ "$(bg_at "$1" "$2")" == 6 ]; }

carried_node_on() {
    local g
    g="$(glyph "$1" "$2")"
    [ "$g" == "■" ] || [ "$g" == "┼" ]
}

new_game_node_onto_source() {
    new_game
    keys 6 6 6 6
    check "four steps east: the player at column 44" wait_player 12 44
    keys 6
    sleep 0.1
    check "walking into the node takes it: the player stays" wait_player 12 44
    keys 6
    check "the player walks on with the node" wait_player 12 45
    check "the node is carried east of the player" wait_until 2 carried_node_on 12 46
    keys 6 6 6 6
    check "four more steps: the player at column 49" wait_player 12 49
    check "the node is carried over the source" wait_until 2 carried_node_on 12 50
    # Green (ANSI 2) until the node is set down.
    check "the knight's-move cells are still green floor" knight_cells_seen 2 3
    keys d
    check "'d' sets the node down: the four cells turn blue" knight_cells_seen 4 5
    check "the node stands on the source, flickering through cyan: it is active" \
        seen 2 active_node_on 12 50
    check "its old cell is green floor again" seen 8 cell_is_floor 12 45 2
}

scenario "a new game's first screen" new_game_first_screen
scenario "the start node carried onto the source" new_game_node_onto_source
