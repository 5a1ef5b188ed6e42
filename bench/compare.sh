#!/bin/sh
# Load and picture of the two big boards by korvane-cli and by gerbv, three
# runs each: best wall time, peak RSS (GNU time) and the ratios, and
# korvane-cli on files ten times smaller for the linearity. Builds
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
# Ten times smaller, for the linearity line.
[ -f "$dir/small.gbr" ] || python3 "$gen" gerber "$dir/small.gbr" 100000 || exit 1
[ -f "$dir/small.drl" ] || python3 "$gen" drill "$dir/small.drl" 20000 || exit 1
have_gerbv=1
command -v gerbv >/dev/null 2>&1 || have_gerbv=0

# best "SECONDS KB CPU-SECONDS" of $runs runs of the command (CPU: user +
# system, which a busy machine disturbs less than the wall time)
best() {
    b_s=""; b_kb=""; b_cpu=""
    i=0
    while [ $i -lt $runs ]; do
        /usr/bin/time -f "%e %M %U %S" -o "$dir/time.txt" "$@" >/dev/null 2>"$dir/err.txt" || {
            echo "failed: $*" >&2; cat "$dir/err.txt" >&2; return 1; }
        read -r s kb u sy <"$dir/time.txt"
        cpu=$(awk "BEGIN{print $u + $sy}")
        if [ -z "$b_s" ] || awk "BEGIN{exit !($s < $b_s)}"; then b_s=$s; fi
        if [ -z "$b_cpu" ] || awk "BEGIN{exit !($cpu < $b_cpu)}"; then b_cpu=$cpu; fi
        if [ -z "$b_kb" ] || [ "$kb" -lt "$b_kb" ]; then b_kb=$kb; fi
        i=$((i + 1))
    done
    echo "$b_s $b_kb $b_cpu"
}

printf '%-9s %-8s %9s %10s %9s\n' file program "best s" "peak MB" "best cpu"
for f in gbr drl; do
    if [ $f = gbr ]; then opt="--gerber"; else opt="--drill"; fi
    k=$(best "$cli" load $opt "1=$dir/big.$f" --png "$dir/korvane_$f.png" --size 1280x960) || exit 1
    set -- $k
    ks=$1; kkb=$2; kcpu=$3
    printf '%-9s %-8s %9s %10s %9s\n' "big.$f" korvane "$ks" "$((kkb / 1024))" "$kcpu"
    k=$(best "$cli" load $opt "1=$dir/small.$f" --png "$dir/korvane_small_$f.png" --size 1280x960) || exit 1
    set -- $k
    printf '%-9s %-8s %9s %10s %9s\n' "small.$f" korvane "$1" "$(($2 / 1024))" "$3"
    awk -v f="big.$f" -v ks="$ks" -v ss="$1" \
        'BEGIN{printf "%-9s linear   a tenth of the file takes %.2f of the time\n", f, ss / ks}'
    if [ $have_gerbv = 0 ]; then
        echo "big.$f   gerbv not installed: no comparison"
        continue
    fi
    g=$(best gerbv -x png -w 1280x960 -o "$dir/gerbv_$f.png" "$dir/big.$f") || exit 1
    set -- $g
    gs=$1; gkb=$2; gcpu=$3
    printf '%-9s %-8s %9s %10s %9s\n' "big.$f" gerbv "$gs" "$((gkb / 1024))" "$gcpu"
    awk -v f="big.$f" -v ks="$ks" -v gs="$gs" -v kkb="$kkb" -v gkb="$gkb" -v kc="$kcpu" -v gc="$gcpu" \
        'BEGIN{printf "%-9s ratio    %8.1fx faster (CPU %.1fx), peak RSS %.2f of gerbv\n", f, gs / ks, gc / kc, kkb / gkb}'
done
