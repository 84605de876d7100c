#!/bin/sh
# A builder run whose output cannot be written must fail, leave no partial or temporary
# file behind and keep an existing block as it was: once into a folder that does not exist,
# once under a file-size limit far below the archive's size (SIGXFSZ ignored, so the write
# itself fails).
# Usage: builder_write_failure.sh WORK_DIR BUILDER SOURCE-ARGUMENTS...
set -u
work=$1
builder=$2
shift 2
rm -rf "$work"
mkdir -p "$work" || exit 1
status=0

if "$builder" "$@" --archive "$work/missing/climate-archive.bin" \
    --globe "$work/missing/globe-data.bin" >/dev/null 2>"$work/err1"; then
    echo "FAIL: writing into a missing folder reported success"
    status=1
fi
if [ -e "$work/missing" ]; then
    echo "FAIL: the missing folder was created"
    status=1
fi
grep -q "cannot" "$work/err1" || { echo "FAIL: no message for the missing folder"; status=1; }

printf 'old archive' >"$work/climate-archive.bin"
printf 'old globe' >"$work/globe-data.bin"
(
    trap '' XFSZ
    ulimit -f 2048
    exec "$builder" "$@" --archive "$work/climate-archive.bin" --globe "$work/globe-data.bin"
) >/dev/null 2>"$work/err2"
if [ $? -eq 0 ]; then
    echo "FAIL: a write beyond the file-size limit reported success"
    status=1
fi
[ "$(cat "$work/climate-archive.bin")" = "old archive" ] ||
    { echo "FAIL: the old archive was changed"; status=1; }
[ "$(cat "$work/globe-data.bin")" = "old globe" ] ||
    { echo "FAIL: the old globe block was changed"; status=1; }
if ls "$work" | grep -q '\.part$'; then
    echo "FAIL: a temporary file was left behind"
    status=1
fi
rm -rf "$work"
exit $status
