#!/bin/sh
# Load and picture of the two big boards by korvane-cli and by gerbv, three
# runs each: best wall time, peak RSS (GNU time) and the ratios. Builds
# nothing: run it after a Release build, from the source folder or with
# KORVANE_CLI set.
#   bench/compare.sh [FOLDER]    FOLDER holds big.gbr and big.drl (made when missing)
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
cli=${KORVANE_CLI:-$here/build/cli/korvane-cli}
gen=${KORVANE_GEN_BIG:-$here/../shared/tools/gen_big.py}
dir=${1:-${TMPDIR:-/tmp}/korvane-compare}
runs=3

if [ ! -x "$cli" ]; then
    echo "korvane-cli not found: $cli (build first or set KORVANE_CLI)" >&2
    exit 1
fi
if [ ! -x /usr/bin/time ]; then
    echo "GNU time (/usr/bin/time) is needed for the peak RSS" >&2
    exit 1
fi
mkdir -p "$dir" || exit 1
[ -f "$dir/big.gbr" ] || python3 "$gen" gerber "$dir/big.gbr" 1000000 || exit 1
[ -f "$dir/big.drl" ] || python3 "$gen" drill "$dir/big.drl" 200000 || exit 1
have_gerbv=1
command -v gerbv >/dev/null 2>&1 || have_gerbv=0

# best "SECONDS KB" of $runs runs of the command
best() {
    b_s=""; b_kb=""
    i=0
    while [ $i -lt $runs ]; do
        /usr/bin/time -f "%e %M" -o "$dir/time.txt" "$@" >/dev/null 2>"$dir/err.txt" || {
            echo "failed: $*" >&2; cat "$dir/err.txt" >&2; return 1; }
        read -r s kb <"$dir/time.txt"
        if [ -z "$b_s" ] || awk "BEGIN{exit !($s < $b_s)}"; then b_s=$s; fi
        if [ -z "$b_kb" ] || [ "$kb" -lt "$b_kb" ]; then b_kb=$kb; fi
        i=$((i + 1))
    done
    echo "$b_s $b_kb"
}

printf '%-9s %-8s %9s %10s\n' file program "best s" "peak MB"
for f in gbr drl; do
    if [ $f = gbr ]; then opt="--gerber"; else opt="--drill"; fi
    k=$(best "$cli" load $opt "1=$dir/big.$f" --png "$dir/korvane_$f.png" --size 1280x960) || exit 1
    set -- $k
    ks=$1; kkb=$2
    printf '%-9s %-8s %9s %10s\n' "big.$f" korvane "$ks" "$((kkb / 1024))"
    if [ $have_gerbv = 0 ]; then
        echo "big.$f   gerbv not installed: no comparison"
        continue
    fi
    g=$(best gerbv -x png -w 1280x960 -o "$dir/gerbv_$f.png" "$dir/big.$f") || exit 1
    set -- $g
    gs=$1; gkb=$2
    printf '%-9s %-8s %9s %10s\n' "big.$f" gerbv "$gs" "$((gkb / 1024))"
    awk -v f="big.$f" -v ks="$ks" -v gs="$gs" -v kkb="$kkb" -v gkb="$gkb" \
        'BEGIN{printf "%-9s ratio    %8.1fx faster, peak RSS %.2f of gerbv\n", f, gs / ks, kkb / gkb}'
done
