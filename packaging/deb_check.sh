#!/usr/bin/env bash
# Installs build/kestrin_*.deb as a user would, runs the installed vazctl
# against the installed vazsim, and removes the package again. Needs root
# (CI runs as root on its own machine).
set -euo pipefail
cd "$(dirname "$0")/.."
debs=(build/kestrin_*.deb)
[ -f "${debs[0]}" ] || { echo "deb_check: no build/kestrin_*.deb (run ./kit package)" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./${debs[0]}"

tmp=$(mktemp -d)
sim=""
cleanup() {
    [ -n "$sim" ] && kill "$sim" 2>/dev/null || true
    rm -rf "$tmp"
    apt-get remove -y -qq kestrin >/dev/null || true
}
trap cleanup EXIT

cd "$tmp"
/usr/bin/vazsim --pty "$tmp/tty" --hid "$tmp/hid.sock" --counter 777 --deck sample.ini &
sim=$!
for _ in $(seq 200); do [ -S "$tmp/hid.sock" ] && [ -e "$tmp/tty" ] && break; sleep 0.05; done
export VAZ_HID_DEVICES=$tmp/hid.sock VAZ_SERIAL_PORTS=$tmp/tty
/usr/bin/vazctl --version
/usr/bin/vazctl --usb info | tee info.txt
grep -q R6KTM10034721 info.txt && grep -q 777 info.txt
/usr/bin/vazctl --serial read 1 --format answer_sheet.fmt | tee read.txt
grep -q 72405498ADBCDCBC read.txt
pkg-config --modversion vaz
kill "$sim"; wait "$sim" 2>/dev/null || true; sim=""

apt-get remove -y -qq kestrin
[ ! -e /usr/bin/vazctl ] || { echo "deb_check: vazctl left behind after removal" >&2; exit 1; }
trap - EXIT
rm -rf "$tmp"
echo "deb_check: the package installs, runs and removes cleanly"
