# A terminal below 80 x 25 holds the game behind a notice until it is large enough again.

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Waiting behind the notice sleeps: under a tenth of a second of CPU time in one second.
idles() {
    local pid before after
    pid="$(game_pid)"
    before="$(cpu_ticks "$pid")"
    sleep 1
    after="$(cpu_ticks "$pid")"
    [ $((after - before)) -lt 10 ]
}

resize_small_and_back() {
    game_start
    keys x
    wait_for "Sector Assignment:"
    resize 60 20
    check "the notice says what is needed" wait_for "needs a terminal of at least 80 x 25"
    check "and what there is" wait_for "This one is 60 x 20."
    check "the game waits without spinning" idles
    resize 80 25
    check "back at 80 x 25 the game returns" wait_row_has 1 "Sector Assignment:"
    check "the notice is gone" wait_gone "needs a terminal"
    check "the strip is whole again" strip_shows 7
    resize 100 30
    check "a larger terminal shows the game too" wait_row_has 3 "Knights of the Machine"
    resize 79 25
    check "one column short is too small" wait_for "This one is 79 x 25."
    keys Escape
    check_eq "ESC behind the notice exits with 0" "0" "$(exit_status)"
}

resize_on_title() {
    game_start
    resize 80 20
    check "the title gives way to the notice" wait_for "This one is 80 x 20."
    resize 80 25
    check "and comes back whole" wait_row_has 22 "Press any other key now to Play a Game."
    check "with its title row" wait_row_has 4 "Quillmire"
}

scenario "resize below 80 x 25 and back" resize_small_and_back
scenario "resize on the title" resize_on_title
