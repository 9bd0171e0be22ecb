# Faults from the terminal's side: a storm of resizes, and a key held down.

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# The faction name on row 3 and its sub-name on row 4, as one text, without the shades
# that flicker round them.
name_on() { row "$1" | sed 's/[░▒▓]//g; s/^ *//; s/ *$//'; }
faction_shown() { printf '%s|%s' "$(name_on 3)" "$(name_on 4)"; }

# Sizes below, at and above 80 x 25, one after another with no wait between them.
resize_storm() {
    local sizes=(60x20 120x40 80x24 79x25 200x60 20x5 81x26 80x25 40x50 100x10 300x100 80x25 1x1 90x30)
    local round size
    for round in 1 2 3; do
        for size in "${sizes[@]}"; do resize "${size%x*}" "${size#*x}"; done
    done
    resize 80 25
}

resize_burst() {
    game_start
    resize_storm
    check "the title survives a burst of resizes" wait_row_has 22 "Press any other key now to Play a Game."
    keys x
    wait_for "Sector Assignment:"
    resize_storm
    check "the sector assignment comes back whole" wait_row_has 1 "Sector Assignment:"
    check "with its strip" strip_shows 7
    check "and no notice" wait_gone "needs a terminal"
    keys x
    wait_gone "Sector Assignment:"
    resize_storm
    check "the game still runs after a burst in play" game_alive
    check "the notice is gone in play too" wait_gone "needs a terminal"
    keys s
    resize_storm
    keys x
    resize 70 20
    check "still too small is still noticed" wait_for "This one is 70 x 20."
    resize 80 25
    check "and the game returns" wait_gone "needs a terminal"
    keys Escape
    check_eq "ESC after the bursts exits with 0" "0" "$(exit_status)"
    check "the shell works afterwards" shell_usable
}

# Some distinct faction names among a few looks: the game is still working the keys off.
still_working() {
    local seen="" i
    for i in 1 2 3 4 5 6; do
        seen+="$(faction_shown)"$'\n'
        sleep 0.05
    done
    [ "$(printf '%s' "$seen" | sort -u | wc -l)" -gt 1 ]
}

# The same faction on several looks apart: the burst is over.
settled_on() {
    local want="$1" limit="${2:-30}" waited=0 same=0
    while [ "$same" -lt 4 ]; do
        if [ "$(faction_shown)" == "$want" ]; then same=$((same + 1)); else same=0; fi
        sleep 0.1
        waited=$((waited + 1))
        if [ "$waited" -ge $((limit * 10)) ]; then return 1; fi
    done
}

alive_a_second_later() {
    sleep 1
    game_alive
}

held_key() {
    game_start
    keys x
    wait_for "Sector Assignment:"
    local pid before after burst
    pid="$(game_pid)"
    # The first frames settle what memory the game needs.
    keys 6 4
    check "the faction choice answers" settled_on "Knights of the Machine|Light Division" 10
    before="$(rss_kb "$pid")"
    burst="$(printf '6%.0s' $(seq 500))"
    keys -l "$burst"
    # One key a frame: 500 frames of at least 10 ms each, not all at once.
    check "a burst of 500 keys is worked off frame by frame" still_working
    # 500 steps to the right from faction 7: 507 mod 16 is 11.
    check "every one of the 500 keys counted" settled_on "Knights of the Machine|Hyper Mechanics"
    after="$(rss_kb "$pid")"
    check "memory did not grow with the burst (${before} kB before, ${after} kB after)" \
        test "$after" -le $((before + 1024))
    keys x
    wait_gone "Sector Assignment:"
    # In play too, 500 keys (staying put, reaching round) then ESC: the ESC waits its turn.
    keys -l "$(printf '5555555555555555555qweadzxc%.0s' $(seq 18))55555555555555"
    keys Escape
    # 500 frames are five seconds at the least: a second on, the ESC is still queued.
    check "a held key in play is worked off frame by frame" alive_a_second_later
    check "the ESC behind them is read in the end" wait_for "EXIT=0" 30
}

scenario "a burst of resizes" resize_burst
scenario "a held key" held_key
