# Glyphs and colours as the terminal receives them.

display_glyphs() {
    game_start
    keys x
    wait_for "Sector Assignment:"
    check "the background is Unicode shades" shades_only 0
    check "the strip holds the shade run" bash -c '[[ "$1" == *░▒▓▒░* ]]' _ "$(row 24)"
    check "the chosen slot is blocks" bash -c '[[ "$1" =~ [█▄]{5} ]]' _ "$(row 24)"
}

title_sgr() { tm capture-pane -p -e -t game | sed -n 5p; }

display_bright() {
    game_start tmux-256color
    check "16 colours: bright white is colour 15" \
        bash -c '[[ "$1" == *"[97m"Quillmire* || "$1" == *"38;5;15m"Quillmire* ]]' _ "$(title_sgr)"
    game_start screen
    check "8 colours: bright white is bold" \
        bash -c '[[ "$1" == *"[1m"*Quillmire* ]]' _ "$(title_sgr)"
}

scenario "shade and block glyphs" display_glyphs
scenario "bright colours" display_bright

# The same game in a locale that is not UTF-8.
game_start_in_locale() {
    local locale="$1"
    sed "s/LANG=C.UTF-8/LANG=$locale/" "$E2E_DIR/launch.sh" >"$E2E_DIR/launch-$locale.sh"
    tm kill-session -t game 2>/dev/null || true
    rm -f "$E2E_DIR/game.pid"
    tm new-session -d -x 80 -y 25 -s game -c "$E2E_DIR" \
        "env TERM=tmux-256color PS1='$ ' sh -c 'trap : INT; sh ./launch-$locale.sh; echo EXIT=\$?; exec sh'"
    tm set-option -t game status off >/dev/null
    wait_for "Press any other key now to Play a Game." 10
}

# Row 0 as sent: shifted into the line-drawing set (SO) before its letters.
row_0_in_line_drawing() { tm capture-pane -p -e -t game | sed -n 1p | grep -q $'\x0e''a'; }

display_without_utf8() {
    game_start_in_locale C
    keys x
    wait_for "Sector Assignment:"
    check "the shades are the line-drawing checker board" bash -c '[[ "$1" =~ ^a{80}$ ]]' _ "$(row 0)"
    check "drawn in the line-drawing set, not as letters" row_0_in_line_drawing
    check "the strip: checker boards, and blocks for faction 7" \
        bash -c '[[ "$1" =~ ^a{35}0{5}a{40}$ ]]' _ "$(row 24)"
    check "the names in plain letters" wait_row_has 3 "Knights of the Machine"
    keys Escape
    check_eq "ESC exits with 0" "0" "$(exit_status)"
}

scenario "glyphs without UTF-8" display_without_utf8
