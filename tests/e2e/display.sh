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
