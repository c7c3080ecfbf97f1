#!/bin/sh
# Lays out bin/kelpmere (the launcher), libexec/kelpmere/kelpmere (a stand-in that prints its
# folder and arguments) and share/kelpmere/Ad/images as an installation does, runs the launcher
# from another folder and checks that the program ran in the user's folder with the Ad pictures
# and got every file the user named, relative ones made absolute, and Qt's options unchanged.
# usage: launcher-test.sh CONFIGURED-LAUNCHER
set -eu
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/usr/bin" "$root/usr/libexec/kelpmere" "$root/usr/share/kelpmere/Ad/images" "$root/here/sub dir"
cp "$1" "$root/usr/bin/kelpmere"
printf '#!/bin/sh\npwd\nfor a do echo "$a"; done\n' > "$root/usr/libexec/kelpmere/kelpmere"
chmod +x "$root/usr/bin/kelpmere" "$root/usr/libexec/kelpmere/kelpmere"
echo picture > "$root/usr/share/kelpmere/Ad/images/795x100.jpg"
touch "$root/here/sub dir/a b.torrent"

cd "$root/here"
out=$(XDG_DATA_HOME="$root/data" "$root/usr/bin/kelpmere" -platform xcb "sub dir/a b.torrent" /abs.torrent)
expected="$root/data/kelpmere
-platform
xcb
$root/here/sub dir/a b.torrent
/abs.torrent"
if [ "$out" != "$expected" ]; then
  printf 'expected:\n%s\ngot:\n%s\n' "$expected" "$out" >&2
  exit 1
fi
cmp "$root/usr/share/kelpmere/Ad/images/795x100.jpg" "$root/data/kelpmere/Ad/images/795x100.jpg"
