# The title's 'h': the records of score.dat, page by page, and the file left as it was.
#
# score.dat is 8516 bytes: the version word 10100, 448 counters (unsigned 32-bit, little-endian)
# and 448 holder names of 15 bytes (NUL-terminated).

# Little-endian bytes of an unsigned 32-bit value, as printf escapes.
le32() {
    local v="$1"
    printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $(((v >> 8) & 255)) $(((v >> 16) & 255)) \
        $(((v >> 24) & 255))
}

# write_score_file FILE "INDEX VALUE NAME"... : every other counter 0 with an empty holder.
write_score_file() {
    local file="$1" entry i v name
    shift
    local -a values=() names=()
    for entry in "$@"; do
        read -r i v name <<<"$entry"
        values[i]="$v"
        names[i]="$name"
    done
    {
        printf %b "$(le32 10100)"
        for i in $(seq 0 447); do printf %b "$(le32 "${values[i]:-0}")"; done
        for i in $(seq 0 447); do
            name="${names[i]:-}"
            printf '%s' "$name"
            head -c $((15 - ${#name})) /dev/zero
        done
    } >"$file"
}

records_from_the_title() {
    local file="$E2E_DIR/score.dat" before after
    # 447 sectors cleared, 433 the Elder Dragon's kills (faction 2), 18 experience,
    # 3 and 5 leadership, 16 health, 17 weapons; a holder with no value shows "---".
    write_score_file "$file" "447 3 ALICE" "433 1 BOB" "18 12345 ABCDEFGHIJKLMN" \
        "3 4000000000 DAVE" "5 7 E 5" "16 10 EVE" "17 4 FRANK" "0 0 GHOST"
    check_eq "the test's score file is 8516 bytes" "8516" "$(stat -c %s "$file")"
    before="$(sha256sum <"$file")"
    game_start
    keys h
    check "'h' shows page 0" wait_row_has 0 "Overall Winners"
    check "row 2: sectors cleared, 3, by ALICE" record_row 2 0 "Sectors Cleared" 3 ALICE
    check "row 4: faction 0 has no megaboss kill: \"Sectors\"" record_row 4 0 "Sectors" 0 "---"
    check "row 6: faction 2's megaboss by name" record_row 6 0 "Elder Dragon" 1 BOB
    check "row 19: faction 15" record_row 19 0 "Sectors" 0 "---"
    check "row 2, column 40: experience, a 14-letter holder" \
        record_row 2 40 "Experience" 12345 ABCDEFGHIJKLMN
    check "row 4, column 40: leadership 0, a holder without a value shows ---" \
        record_row 4 40 "Leadership" 0 "---"
    check "row 7: leadership of faction 3 is unsigned" record_row 7 40 "Leadership" 4000000000 DAVE
    check "row 9: a holder with a blank" record_row 9 40 "Leadership" 7 "E 5"
    check "row 21, column 40: healthiest" record_row 21 40 "Healthiest" 10 EVE
    check "row 21, column 0: weaponry" record_row 21 0 "Weaponry" 4 FRANK
    check_eq "row 24" "$(centred "Press space to continue.")" "$(row 24)"
    keys Space
    check "space turns to page 1" wait_row_has 0 "Resources"
    check "page 1 row 2: gathered" record_row 2 0 "Gathered" 0 "---"
    check "page 1 row 2, column 40: spent" record_row 2 40 "Spent" 0 "---"
    keys Space
    check "and on to page 2" wait_row_has 0 "Unit Destruction"
    keys Escape
    check "ESC leaves the records for the sector assignment" wait_row_has 1 "Sector Assignment:"
    check "ESC did not end the program" game_alive
    keys Escape
    check_eq "ESC there ends it with 0" "0" "$(exit_status)"
    after="$(sha256sum <"$file")"
    check_eq "score.dat is unchanged" "$before" "$after"
    rm -f "$file"
}

scenario "the records from the title" records_from_the_title
