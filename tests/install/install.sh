#!/bin/sh
# The install rules, into a scratch directory: every file where players and Debian's tools look
# for it, and nothing else. Usage: install.sh BUILD_DIR VERSION
set -eu
root="$(mktemp -d "${TMPDIR:-/tmp}/quillmire-install.XXXXXX")"
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$1" --prefix /usr/local >/dev/null
cd "$root/usr/local"
files="$(find . -type f | sort)"
[ "$files" = "./games/quillmire
./share/doc/quillmire/README.md
./share/doc/quillmire/changelog.gz
./share/doc/quillmire/copyright
./share/man/man6/quillmire.6.gz" ] || { echo "installed: $files" && exit 1; }
test -x games/quillmire
# The page renders without a warning; it and the changelog give the project's version.
warnings="$(zcat share/man/man6/quillmire.6.gz | groff -ww -z -man 2>&1)"
[ -z "$warnings" ] || { echo "$warnings" && exit 1; }
zcat share/man/man6/quillmire.6.gz | grep -q "^\.TH QUILLMIRE 6 .* \"Quillmire $2\" \"Games\"$"
zcat share/doc/quillmire/changelog.gz | head -n 1 | grep -qx "quillmire ($2) unstable; urgency=medium"

# The Debian package of the same files: named, versioned and filed as a game, under /usr.
cpack -G DEB --config "$1/CPackConfig.cmake" -B "$root/deb" >/dev/null
deb="$(echo "$root"/deb/quillmire_"$2"_*.deb)"
[ "$(dpkg-deb -f "$deb" Package Version Section)" = "Package: quillmire
Version: $2
Section: games" ]
dpkg-deb -f "$deb" Depends | grep -q "libncursesw6 "
dpkg-deb -c "$deb" | grep -c -e " ./usr/games/quillmire$" -e " ./usr/share/man/man6/quillmire.6.gz$" |
    grep -qx 2
