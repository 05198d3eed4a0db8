#!/bin/sh
# Compiles a zh_CN.GBK locale into $1 for the GBK host tests. The locale
# sources come with Debian's "locales" package; without them the tests that
# need the locale skip, and this says why.
set -e
dir=$1
mkdir -p "$dir"
if [ ! -e /usr/share/i18n/locales/zh_CN ] || [ ! -e /usr/share/i18n/charmaps/GBK.gz ]; then
    echo "no locale sources (package locales): the GBK host tests will skip"
    exit 0
fi
# localedef exits non-zero on mere warnings; the compiled locale is what counts.
localedef -c -i zh_CN -f GBK "$dir/zh_CN.GBK" || test -e "$dir/zh_CN.GBK/LC_CTYPE"
