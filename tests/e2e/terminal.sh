# Faults from the terminal's side: sizes below 80 x 25, bursts of resizes, a held key, signals,
# a terminal that closes and input that has ended.

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$(game_pid)/stat"; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$(game_pid)/status"; }
# Waiting behind the notice sleeps: under a tenth of a second of CPU time in one second.
idles() { set -- "$(cpu_ticks)" && sleep 1 && [ $(($(cpu_ticks) - $1)) -lt 10 ]; }

# Sizes below, at and above 80 x 25, one after another with no wait between them.
resize_storm() {
    local size
    for _ in 1 2 3; do
        for size in 60x20 120x40 80x24 79x25 200x60 20x5 81x26 80x25 40x50 100x10 300x100 1x1 \
            90x30; do
            resize "${size%x*}" "${size#*x}"
        done
    done
    resize 80 25
}

notice_gone() { ! shows_any "needs a terminal" "This one is"; }
# The notice's three lines and nothing of the screen before it.
only_notice() { [ "$(screen | grep -c -v '^ *$')" -eq 3 ]; }

# The faction on offer, rows 3 and 4 without the shades that flicker round the names.
faction_shown() { screen | sed -n '4,5{s/[░▒▓ ]//g;p}' | paste -sd'|'; }
# A faction neither where the burst began nor where it ends: the keys are worked off one a frame.
on_its_way() { [ "$(faction_shown)" != "$1" ] && [ "$(faction_shown)" != "$2" ]; }
# The same faction for a second on end: the burst is over.
settled_on() {
    local start="$SECONDS" same=0
    while [ "$same" -lt 10 ]; do
        if [ "$(faction_shown)" == "$1" ]; then same=$((same + 1)); else same=0; fi
        [ $((SECONDS - start)) -ge 60 ] && return 1
        sleep 0.1
    done
}

# The screen with what moves by itself blotted out (the player's turning bar, the citizens, the
# drops, the oozes and the corrupted node's blink): what must come back after a notice.
still_map() { screen | sed 's/[/─\\│,'"'"'`·oOX┼]/./g'; }
map_is() { [ "$(still_map)" == "$1" ] && notice_gone; }

sizes_and_held_keys() {
    local before light="KnightsoftheMachine|LightDivision"
    local hyper="KnightsoftheMachine|HyperMechanics"
    game_start
    resize 80 20
    check "the title gives way to a notice" wait_for "This one is 80 x 20."
    resize_storm
    check "and comes back whole after a burst of resizes" \
        eval 'wait_row_has 22 "Press any other key now to Play a Game." && wait_row_has 4 Quillmire'
    keys x
    check "the sector assignment" wait_row_has 1 "Sector Assignment:"
    resize 60 20
    check "below 80 x 25 a notice: what is needed" wait_for "needs a terminal of at least 80 x 25"
    check "and what there is" wait_for "This one is 60 x 20."
    check "the game waits without spinning" idles
    resize 79 25
    check "one column short is too small" wait_for "This one is 79 x 25."
    resize_storm
    check "after a burst the sector assignment is whole, with its strip" \
        wait_until 15 eval 'row_has 1 "Sector Assignment:" && strip_shows 7 && notice_gone'

    check "the faction choice answers" settled_on "$light"
    before="$(rss_kb)"
    keys -l "$(printf '6%.0s' $(seq 500))"
    check "a burst of 500 keys is worked off a frame at a time" \
        wait_until 15 on_its_way "$light" "$hyper"
    # 500 steps on from faction 7: 507 mod 16 is 11.
    check "every one of them counted" settled_on "$hyper"
    check "memory did not grow with it ($before kB before)" test "$(rss_kb)" -le $((before + 1024))

    keys x
    check "in play, the player unit at its start" wait_player 12 40
    before="$(still_map)"
    resize 60 20
    check "a terminal too small in play shows the notice" wait_for "This one is 60 x 20."
    check "and nothing of the map beside it" wait_until 15 only_notice
    resize 80 25
    check "back at 80 x 25 the map is whole, nothing left of the notice" \
        wait_until 15 map_is "$before"
    keys 6
    check "and the keys work" wait_player 12 41
    # 500 keys in play (staying put, reaching round) then ESC: 500 frames take five seconds at
    # the least, so a second on, the ESC still waits its turn.
    keys -l "$(printf '5555555555555555555qweadzxc%.0s' $(seq 18))55555555555555"
    keys Escape
    sleep 1
    check "a held key in play is worked off frame by frame" game_alive
    check "the ESC behind it is read in the end" wait_for "EXIT=0" 60
    check "the shell works afterwards" shell_usable
}

# A signal ends the game the way ESC does, the terminal restored; an abort still fails.
signals() {
    local entry how want said pid
    for entry in "TERM 0 0" "HUP 0 0" "INT 0 0" "ABRT [1-9][0-9]* a failure"; do
        read -r how want said <<<"$entry"
        new_game
        if [ "$how" == INT ]; then keys C-c; else kill -"$how" "$(game_pid)"; fi
        check "SIG$how ends the game with status $said" eval "[[ \$(exit_status) =~ ^$want\$ ]]"
        check "SIG$how: the shell works afterwards" shell_usable
    done
    new_game
    pid="$(game_pid)"
    tm kill-session -t game
    check "a closed terminal ends the game" wait_until 15 eval "! kill -0 $pid 2>/dev/null"
    # Input that can bring no key: the title ends the program instead of waiting for ever.
    game_start tmux-256color C.UTF-8 "</dev/null"
    check_eq "input at its end ends the program with 0" "0" "$(exit_status)"
    check "the shell works afterwards" shell_usable
}

scenario "sizes, bursts of resizes and held keys" sizes_and_held_keys
scenario "signals, a closed terminal, input at its end" signals
