#!/usr/bin/env bash
# Every long option a program's --help lists is described in its man page,
# and every page formats without warnings.
#   man_pages_test.sh MAN_DIR PROGRAM...
set -euo pipefail
man_dir=$1
shift
status=0
for program in "$@"; do
    name=$(basename "$program")
    page=$man_dir/$name.1
    [ -f "$page" ] || { echo "FAIL: no man page $page"; status=1; continue; }
    options=$(QT_QPA_PLATFORM=offscreen "$program" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
    [ -n "$options" ] || { echo "FAIL: $name --help lists no options"; status=1; }
    for option in $options; do
        grep -qF -- "${option//-/\\-}" "$page" || { echo "FAIL: $name.1 does not describe $option"; status=1; }
    done
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
    [ -z "$warnings" ] || { echo "FAIL: $name.1: $warnings"; status=1; }
done
exit $status
