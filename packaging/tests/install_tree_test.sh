#!/usr/bin/env bash
# Installs the kit into a temporary prefix and uses it from there only: C hosts
# built with the installed pkg-config files against the installed vazsim and
# exam-service, vazctl and kestrin finding the installed library and shipped
# data, --version of every program, no search path into the build tree.
#   install_tree_test.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
version=$3
here=$(cd "$(dirname "$0")" && pwd)

tmp=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; fail "cmake --install"; }
# From here on nothing of the build tree: not its programs, not its libraries.
cd "$tmp"
export PATH=/usr/bin:/bin
unset LD_LIBRARY_PATH VAZ_LIBRARY
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_RUNTIME_DIR=$tmp
mkdir -p "$HOME"

for f in bin/kestrin bin/vazctl bin/vazsim bin/exam-service include/vaz.h include/vaz_exports.h \
         include/vaz_host_hooks.h include/skelvin.h share/kestrin/config.ini share/kestrin/decks/sample.ini \
         share/applications/kestrin.desktop share/icons/hicolor/48x48/apps/kestrin.png \
         share/man/man1/vazctl.1 share/man/man1/vazsim.1 share/man/man1/kestrin.1 \
         lib/udev/rules.d/70-vaz-reader.rules share/doc/kestrin/README.md; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
done
pcdir=$(dirname "$(find "$prefix" -name vaz.pc | head -1)")
libdir=$(dirname "$pcdir")
for lib in vaz skelvin; do
    soname=$(readelf -d "$libdir/lib$lib.so" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
    [ "$soname" = "lib$lib.so.${version%%.*}" ] || fail "lib$lib.so has SONAME '$soname'"
done
for f in "$prefix"/bin/* "$libdir"/*.so.*; do
    if readelf -d "$f" | grep -E 'R(UN)?PATH' | grep -qE "$build|$source"; then
        fail "$f searches the build tree: $(readelf -d "$f" | grep -E 'R(UN)?PATH')"
    fi
done

# --version of every program.
for p in vazctl vazsim exam-service kestrin; do
    out=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/$p" --version)
    [ "$out" = "$p $version" ] || fail "$p --version printed '$out'"
done

# The virtual reader with a shipped deck named by its bare name.
"$prefix/bin/vazsim" --pty "$tmp/tty" --hid "$tmp/hid.sock" --counter 4321 --deck sample.ini --trace \
    >"$tmp/vazsim.out" 2>"$tmp/vazsim.trace" &
pids+=($!)
for _ in $(seq 200); do [ -S "$tmp/hid.sock" ] && [ -e "$tmp/tty" ] && break; sleep 0.05; done
[ -S "$tmp/hid.sock" ] || { cat "$tmp/vazsim.out" "$tmp/vazsim.trace"; fail "vazsim did not start"; }
grep -q "7 sheets in the hopper" "$tmp/vazsim.out" || fail "vazsim did not load the shipped sample deck: $(cat "$tmp/vazsim.out")"
export VAZ_HID_DEVICES=$tmp/hid.sock VAZ_SERIAL_PORTS=$tmp/tty

# A C host from the installed pkg-config file, nothing else on the search path.
export PKG_CONFIG_LIBDIR=$pcdir PKG_CONFIG_PATH=
[ "$(pkg-config --variable=prefix vaz)" = "$prefix" ] || fail "vaz.pc names prefix $(pkg-config --variable=prefix vaz)"
cc -Wall -Werror -o vaz_host "$here/vaz_host.c" $(pkg-config --cflags --libs vaz) -Wl,-rpath,"$(pkg-config --variable=libdir vaz)" \
    || fail "the C host does not build with pkg-config vaz"
out=$(./vaz_host) || fail "vaz_host: $out"
[ "$out" = "type 0x11 id R6KTM10034721 counter 4321" ] || fail "vaz_host printed '$out'"

# vazctl loads the installed library and finds the shipped format by its name.
out=$(LD_DEBUG=files "$prefix/bin/vazctl" --usb read 1 --format answer_sheet.fmt 2>"$tmp/vazctl.err") \
    || { cat "$tmp/vazctl.err" >&2; fail "vazctl read: $out"; }
grep -q "file=$prefix/.*libvaz\.so" "$tmp/vazctl.err" || fail "vazctl did not load libvaz from the prefix"
grep -q "72405498ADBCDCBC" <<<"$out" || fail "vazctl read no answers of the first sample sheet: $out"
grep -q "$prefix/share/kestrin/decks/answer_sheet.fmt" <<<"$out" || fail "vazctl did not download the shipped format: $out"

# kestrin from the installed tree: connects through the installed library,
# paints, saves its picture.
handshakes=$(grep -c "ONLINE/" "$tmp/vazsim.trace" || true)
QT_QPA_PLATFORM=offscreen LD_DEBUG=files timeout 120 "$prefix/bin/kestrin" --screenshot "$tmp/kestrin.png" \
    >"$tmp/kestrin.out" 2>"$tmp/kestrin.err" || { tail -20 "$tmp/kestrin.err" >&2; fail "kestrin --screenshot"; }
grep -q "file=$prefix/.*libvaz\.so" "$tmp/kestrin.err" || fail "kestrin did not load libvaz from the prefix"
[ "$(head -c 8 "$tmp/kestrin.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "kestrin wrote no PNG"
[ "$(grep -c "ONLINE/" "$tmp/vazsim.trace" || true)" -gt "$handshakes" ] || fail "kestrin did not connect to vazsim"

# The cloud client from its pkg-config file, against the installed loopback service.
"$prefix/bin/exam-service" --port 0 --account factory:line7 >"$tmp/exam.out" &
pids+=($!)
for _ in $(seq 200); do [ -s "$tmp/exam.out" ] && break; sleep 0.05; done
endpoint=$(head -1 "$tmp/exam.out")
[ -n "$endpoint" ] || fail "exam-service did not start"
cc -Wall -Werror -o skelvin_host "$here/skelvin_host.c" $(pkg-config --cflags --libs skelvin) \
    -Wl,-rpath,"$(pkg-config --variable=libdir skelvin)" || fail "the C host does not build with pkg-config skelvin"
out=$(./skelvin_host "$endpoint" factory line7) || fail "skelvin_host: $out"
[ "$out" = OK ] || fail "skelvin_host printed '$out'"

echo "installed kit at $prefix works from there"
