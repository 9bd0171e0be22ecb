# ESC ends the program with status 0 from every screen and leaves a working shell.

quit_on_title() {
    game_start
    keys Escape
    check_eq "ESC on the title exits with 0" "0" "$(exit_status)"
    check "the shell works afterwards" shell_usable
}

quit_in_sector_assignment() {
    game_start
    keys x
    wait_for "Sector Assignment:"
    keys Escape
    check_eq "ESC in the sector assignment exits with 0" "0" "$(exit_status)"
}

quit_in_game() {
    game_start
    keys x
    wait_for "Sector Assignment:"
    keys x
    wait_gone "Sector Assignment:"
    keys Escape
    check_eq "ESC in the game exits with 0" "0" "$(exit_status)"
    check "the shell works afterwards" shell_usable
}

scenario "ESC on the title" quit_on_title
scenario "ESC in the sector assignment" quit_in_sector_assignment
scenario "ESC in the game" quit_in_game
