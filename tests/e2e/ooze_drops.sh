# Ooze drops rise over the map: with the node on the source, the node and the citizens release
# drops (glyph 250, a middle dot) that climb one row every ten frames, drifting a column at most,
# until they are gathered.

# Prints "row column" for every drop on the screen.
drop_cells() {
    local r=0 line rest column
    while IFS= read -r line; do
        column=0
        while [[ "$line" == *·* ]]; do
            rest="${line%%·*}"
            column=$((column + ${#rest}))
            echo "$r $column"
            line="${line#*·}"
            column=$((column + 1))
        done
        r=$((r + 1))
    done < <(screen)
}

# Follows the drops from one capture to the next: a drop up to three rows above a drop of the
# capture before (no more columns aside than rows up) has risen by those rows; a busy machine
# may capture less often than a drop climbs. Passes once a drop has risen two rows in all.
drops_rise() {
    local limit="$1" start="${EPOCHREALTIME/./}" r c key up aside best v
    local -A climbed=() now=()
    while [ $((${EPOCHREALTIME/./} - start)) -lt $((limit * 1000000)) ]; do
        now=()
        while read -r r c; do
            [ -z "$r" ] && continue
            best=0
            for up in 0 1 2 3; do
                for ((aside = -up; aside <= up; aside++)); do
                    key="$((r + up)) $((c + aside))"
                    [ -n "${climbed[$key]+x}" ] || continue
                    v="${climbed[$key]}"
                    v=$((v + up))
                    [ "$v" -gt "$best" ] && best="$v"
                done
            done
            now["$r $c"]="$best"
            [ "$best" -ge 2 ] && return 0
        done < <(drop_cells)
        climbed=()
        for key in "${!now[@]}"; do climbed["$key"]="${now[$key]}"; done
        sleep 0.01
    done
    return 1
}

some_drop_seen() { [ -n "$(drop_cells)" ]; }

ooze_drops_rise() {
    new_game
    check "the node is set down on the source" node_onto_source
    check "drops appear on the map" wait_until 15 some_drop_seen
    check "a drop climbs two rows" drops_rise 15
}

scenario "ooze drops rise" ooze_drops_rise
