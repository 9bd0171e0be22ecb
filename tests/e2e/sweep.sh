# Taking the corrupted node leaves no hostile building, so a sweep runs across the start sector
# at once, one column a frame, and opens the stage-2 sector next to it.
#
# The sweep shades the columns it has passed green (bright on green); when it has passed the
# east edge, the green walls between the start sector and the new one are gone, the view
# re-centres on the player and from then on follows the player into the new sector.

# Columns that are shaded green in most rows (units and buildings keep their black background).
shaded_columns() {
    cells | awk '$2 == 2 { count[(NR - 1) % 80]++ }
        END { n = 0; for (c in count) if (count[c] >= 20) n++; print n }'
}

# Watches the shading: a part of the screen shaded, then more of it, then none.
sweep_passes() {
    local limit="$1" start="${EPOCHREALTIME/./}" n first=-1 more=0
    while [ $((${EPOCHREALTIME/./} - start)) -lt $((limit * 1000000)) ]; do
        n="$(shaded_columns)"
        if [ "$n" -gt 0 ] && [ "$n" -lt 78 ] && [ "$first" -lt 0 ]; then first="$n"; fi
        if [ "$first" -ge 0 ] && [ "$n" -gt "$first" ]; then more=1; fi
        if [ "$more" -eq 1 ] && [ "$n" -eq 0 ]; then return 0; fi
    done
    echo "partly shaded: $first columns; growing: $more" >&2
    return 1
}

# A line of the screen without any wall glyph in the cells given.
row_open() {
    local r="$1" c
    for c in $(seq 1 78); do
        at "$r" "$c"
        [ "$CELL_GLYPH" != "█" ] || return 1
    done
}

column_open() {
    local c="$1" r
    for r in $(seq 1 23); do
        at "$r" "$c"
        [ "$CELL_GLYPH" != "█" ] || return 1
    done
}

row_walled() {
    local r="$1" c
    for c in $(seq 0 79); do
        at "$r" "$c"
        [ "$CELL_GLYPH" == "█" ] || return 1
    done
}

column_walled() {
    local c="$1" r
    for r in $(seq 0 24); do
        at "$r" "$c"
        [ "$CELL_GLYPH" == "█" ] || return 1
    done
}

# The stage-2 sector is always next to the start sector. West of it, the view re-centres at once
# (the player stands close to the west edge): x 120.., so the old west wall is column 40 and
# column 0 lies inside the new sector. For the others the old wall is open where it stood: row 0
# (north), row 24 (south) or column 79 (east).
opened_side() {
    if row_walled 0 && row_walled 24 && ! column_walled 0 && column_open 40; then echo west; return; fi
    if row_open 0 && column_walled 0 && column_walled 79 && row_walled 24; then echo north; return; fi
    if row_open 24 && column_walled 0 && column_walled 79 && row_walled 0; then echo south; return; fi
    if column_open 79 && column_walled 0 && row_walled 0 && row_walled 24; then echo east; return; fi
    echo none
}

side_opened() { [ "$(opened_side)" != none ]; }

# After walking toward the new sector the view has moved half a screen: the old wall, now open
# ground, stands 13 rows or 40 columns further in, and the edge of the screen that was the start
# sector's wall across from it now shows the inside of a sector.
view_moved() {
    case "$1" in
    west) column_open 40 && ! column_walled 0 ;;
    north) row_open 13 && ! row_walled 24 ;;
    south) row_open 11 && ! row_walled 0 ;;
    east) column_open 39 && ! column_walled 0 ;;
    *) return 1 ;;
    esac
}

sweep_opens_stage_two() {
    new_game
    # 34 steps west bring the player to (166, 62), next to the corrupted node; the 35th takes it.
    local steps=() side
    for _ in $(seq 35); do steps+=(4); done
    keys "${steps[@]}"
    check "the sweep shading passes over the start sector" sweep_passes 10
    check "a side of the start sector opens" seen 3 side_opened
    side="$(opened_side)"
    echo "        (the stage-2 sector lies $side)"
    case "$side" in
    north) keys 8 8 8 8 8 8 8 ;;
    south) keys 2 2 2 2 2 2 2 2 2 ;;
    # East, the walk takes the start node on the way (one step): 66 presses reach x 231.
    east) for _ in $(seq 66); do keys 6; done ;;
    esac
    check "the view moves on into the new sector" seen 5 view_moved "$side"
}

scenario "the sweep opens the stage-2 sector" sweep_opens_stage_two
