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

# Follows the drops from one capture to the next: a drop one row above a drop of the capture
# before (at most one column aside) has risen. Passes once a drop has risen twice in a row.
drops_rise() {
    local limit="$1" start="${EPOCHREALTIME/./}" r c key below best v
    local -A climbed=() now=()
    while [ $((${EPOCHREALTIME/./} - start)) -lt $((limit * 1000000)) ]; do
        now=()
        while read -r r c; do
            [ -z "$r" ] && continue
            best=0
            for below in "$r $c" "$((r + 1)) $((c - 1))" "$((r + 1)) $c" "$((r + 1)) $((c + 1))"; do
                [ -n "${climbed[$below]+x}" ] || continue
                v="${climbed[$below]}"
                [ "$below" != "$r $c" ] && v=$((v + 1))
                [ "$v" -gt "$best" ] && best="$v"
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
