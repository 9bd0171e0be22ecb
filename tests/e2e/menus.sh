# The building menus and the status screen.
#
# A menu is a 3 x 3 grid of 5 x 5 boxes laid out like the interaction keys around the player:
# box (dx, dy) starts at row 6 dy + 6, column offset + 6 dx + 6. The offset is 0 (the left edge)
# when the player stands in the right half of the screen, 60 when in the left half.

# A box's frame: corners and edges, whatever their colour.
box_at() {
    local top="$1" left="$2" i
    [ "$(glyph_at "$top" "$left")" == "┌" ] && [ "$(glyph_at "$top" $((left + 4)))" == "┐" ] &&
        [ "$(glyph_at $((top + 4)) "$left")" == "└" ] &&
        [ "$(glyph_at $((top + 4)) $((left + 4)))" == "┘" ] || return 1
    for i in 1 2 3; do
        [ "$(glyph_at "$top" $((left + i)))" == "─" ] || return 1
        [ "$(glyph_at $((top + 4)) $((left + i)))" == "─" ] || [ "$i" -eq 2 ] || return 1
        [ "$(glyph_at $((top + i)) "$left")" == "│" ] &&
            [ "$(glyph_at $((top + i)) $((left + 4)))" == "│" ] || return 1
    done
}

# The hint menu of a node that is not active: a source cell in the box above, the close box below.
hint_menu_at() {
    local offset="$1"
    box_at 0 $((offset + 6)) && [ "$(glyph_at 2 $((offset + 8)))" == "☼" ] &&
        [ "$(fg_at 2 $((offset + 8)))" == 12 ] && [ "$(bg_at 2 $((offset + 8)))" == 4 ] &&
        close_box_at "$offset" &&
        ! box_at 0 "$offset" && ! box_at 12 $((offset + 12))
}

close_box_at() {
    local offset="$1"
    box_at 12 $((offset + 6)) && [ "$(glyph_at 14 $((offset + 8)))" == "─" ] &&
        [ "$(glyph_at 16 $((offset + 8)))" == "X" ] && [ "$(fg_at 16 $((offset + 8)))" == 15 ]
}

no_menu() {
    local top left
    for top in 0 12; do
        for left in 0 6 12 60 66 72; do box_at "$top" "$left" && return 1; done
    done
    return 0
}

# The node menu: seven purchase boxes and the close box; the centre is left to the map.
NODE_MENU_GLYPHS=("0 0 ☼" "0 6 π" "0 12 Å" "6 0 µ" "6 12 £" "12 0 Σ" "12 12 ↑")

node_menu_at() {
    local offset="$1" entry top left g
    for entry in "${NODE_MENU_GLYPHS[@]}"; do
        read -r top left g <<<"$entry"
        box_at "$top" $((offset + left)) || return 1
        [ "$(glyph_at $((top + 2)) $((offset + left + 2)))" == "$g" ] || return 1
    done
    close_box_at "$offset" && ! box_at 6 $((offset + 6))
}

# A purchase the store cannot pay for is greyed out: dark grey glyph, no key letter.
greyed_out() {
    local top="$1" left="$2"
    [ "$(fg_at $((top + 2)) $((left + 2)))" == 8 ] && [ "$(glyph_at $((top + 4)) $((left + 2)))" == "─" ]
}

# An affordable box shows its glyph in the node's colour (faction 7, light grey) and its letter;
# a box that is not shows neither. Which ones are depends on the ooze gathered so far.
letters_follow_colours() {
    local entry top left g letter
    for entry in "0 0 Q" "0 6 W" "0 12 E" "6 0 A"; do
        read -r top left letter <<<"$entry"
        g="$(glyph_at $((top + 4)) $((left + 2)))"
        if [ "$g" == "$letter" ]; then
            [ "$(fg_at $((top + 2)) $((left + 2)))" == 7 ] || return 1
        else
            greyed_out "$top" "$left" || return 1
        fi
    done
}

status_screen() {
    local r c
    for r in $(seq 0 24); do
        for c in $(seq 0 15); do
            at "$r" "$c"
            # Faction 7's bar may have grown already; every other column is empty.
            if [ "$c" -eq 7 ] && [ "$CELL_GLYPH" == "♦" ]; then continue; fi
            [ "$CELL_GLYPH" == "·" ] && [ "$CELL_FG" == 8 ] || return 1
        done
        for c in $(seq 16 79); do
            at "$r" "$c"
            [ -z "$CELL_GLYPH" ] || return 1
        done
    done
}

menus_and_status() {
    new_game
    keys 6 6 6 6
    wait_player 12 44
    keys d
    check "'d' toward the node on green floor opens the hint menu at the left edge" \
        seen 2 hint_menu_at 0
    keys 4 4
    sleep 0.2
    check "the movement keys do nothing while a menu is open" wait_player 12 44 3
    keys w q
    check "the hint menu ignores the other interaction keys" seen 1 hint_menu_at 0
    keys x
    check "'x' closes it" seen 2 no_menu
    check_eq "the map shows again where the menu stood" "█" "$(glyph_at 0 6)"

    # The node taken and set down in the left half of the screen: the menu moves right.
    keys 6 4 4 4 4 4 4 4 4 4 4 4 4 4 4
    check "the player carries the node west to column 30" wait_player 12 30
    keys d d
    check "with the player in the left half the hint menu is at the right edge" \
        seen 2 hint_menu_at 60
    keys x
    check "'x' closes it again" seen 2 no_menu

    # Taken again and carried onto the source, the node is active: its menu is the node menu.
    keys 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6 6
    check "the player carries the node to the source" wait_player 12 49
    keys d d
    check "the node menu of the node on the source stands at the left edge" seen 2 node_menu_at 0
    check "allegiance, tower, soldier and barricade show their letters when affordable" \
        letters_follow_colours
    check "the general is greyed out" greyed_out 6 12
    check "the flier is greyed out" greyed_out 12 0
    check "the promotion is greyed out" greyed_out 12 12
    keys x
    check "'x' closes the node menu" seen 2 no_menu

    keys s
    check "'s' shows the status screen: sixteen ooze bars and nothing else" seen 2 status_screen
    keys k
    check "any key goes back to the map" wait_for "$WALL_ROW" 2
    check "the game goes on" game_alive
}

scenario "the menus and the status screen" menus_and_status
