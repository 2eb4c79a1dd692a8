#!/usr/bin/env bash
# Scaling benchmark: CPU time of tasks 0, 1, 2, 4 and 5 through kalvendo-cli on
# documents of growing size, of task 2 on documents whose translations are
# joined in one long run (and of cutting that paragraph again after every
# sentence), and of the floor program on the same documents.
# Prints CPU seconds, CPU milliseconds per 1,000 paragraphs (per 1,000 joins),
# peak resident memory, and the growth from the smallest to the largest size.
#
# Usage: bench/scaling.sh [SIZES] [JOINS]
#   SIZES default "10000 20000 50000 100000", JOINS default "1000 4000 16000".
#   KALVENDO_BENCH_TIMEOUT (default 900 s) ends a run that takes longer.
#   KALVENDO_BENCH_LIBREOFFICE=1 also times LibreOffice's load+save of the
#   smallest patent document (warm profile).
# Expects a build in build/ (or $KALVENDO_BUILD_DIR) with kalvendo-cli,
# gen_patent, gen_tagged and floor.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${KALVENDO_BUILD_DIR:-build}"
sizes="${1:-10000 20000 50000 100000}"
joins="${2:-1000 4000 16000}"
limit="${KALVENDO_BENCH_TIMEOUT:-900}"
cli="$build/kalvendo-cli"

work="$(mktemp -d /tmp/kalvendo-scaling.XXXXXX)"
trap 'rm -rf "$work"' EXIT

# measure LABEL COUNT COMMAND...: one row of the table.
measure() {
    local label="$1" count="$2"
    shift 2
    local out="$work/time.txt"
    if timeout "$limit" /usr/bin/time -f "%U %S %M" -o "$out" "$@" >/dev/null 2>"$work/stderr.txt"; then
        read -r user sys rss <"$out"
        local cpu
        cpu="$(echo "$user + $sys" | bc -l)"
        printf '%-14s %8d %9.2f %12.1f %8.0f\n' "$label" "$count" "$cpu" \
            "$(echo "$cpu * 1000000 / $count" | bc -l)" "$(echo "$rss / 1024" | bc -l)"
        echo "$label|$count|$cpu" >>"$work/rows.txt"
    else
        printf '%-14s %8d %9s\n' "$label" "$count" ">${limit}s or failed"
        tail -n 3 "$work/stderr.txt" >&2 || true
    fi
}

printf '%-14s %8s %9s %12s %8s\n' "run" "size" "CPU s" "ms/1000" "peak MB"
for n in $sizes; do
    "$build/bench/gen_patent" "$work/patent-$n.docx" "$n" >/dev/null
    "$build/bench/gen_tagged" "$work/tagged-$n.docx" "$n"
    cp "$work/patent-$n.docx" "$work/t0-$n.docx"
    measure "floor" "$n" "$build/bench/floor" "$work/patent-$n.docx" "$work/floor-$n.docx"
    measure "task 0" "$n" "$cli" --task 0 "$work/t0-$n.docx"
    measure "task 1" "$n" "$cli" --task 1 "$work/t0-$n.docx"
    measure "task 5" "$n" "$cli" --task 5 "$work/t0-$n.docx"
    cp "$work/tagged-$n.docx" "$work/t2-$n.docx"
    measure "task 2" "$n" "$cli" --task 2 "$work/t2-$n.docx"
    cp "$work/tagged-$n.docx" "$work/t4-$n.docx"
    measure "task 4" "$n" "$cli" --task 4 "$work/t4-$n.docx"
    rm -f "$work"/*-"$n".docx* "$work"/*-"$n".htm
done
for k in $joins; do
    "$build/bench/gen_tagged" "$work/joins-$k.docx" --joins "$k"
    measure "task 2 joins" "$k" "$cli" --task 2 "$work/joins-$k.docx"
    # The joined paragraph cut again after every sentence: K splits of one paragraph.
    measure "splits" "$k" "$cli" --find "。" --replace "。^p" -o "$work/split-$k.docx" "$work/joins-$k.docx"
done

echo
echo "growth of CPU time from the smallest to the largest size:"
awk -F'|' '{ per = $3 / $2; if (!($1 in first)) { first[$1] = $3; firstPer[$1] = per; order[++n] = $1 }
            last[$1] = $3; lastPer[$1] = per }
     END { for (i = 1; i <= n; ++i) { k = order[i]
             printf "  %-14s %6.1fx (per 1,000: %.1fx)\n", k, last[k] / first[k], lastPer[k] / firstPer[k] } }' \
    "$work/rows.txt"

if [ "${KALVENDO_BENCH_LIBREOFFICE:-0}" = 1 ] && command -v soffice >/dev/null 2>&1; then
    n="$(echo "$sizes" | awk '{print $1}')"
    "$build/bench/gen_patent" "$work/patent.docx" "$n" >/dev/null
    "$build/bench/gen_patent" "$work/tiny.docx" 3 >/dev/null
    profile="file://$work/lo-profile"
    lo() { soffice -env:UserInstallation="$profile" --headless --convert-to docx --outdir "$work/lo" "$1"; }
    lo "$work/tiny.docx" >/dev/null 2>&1  # creates the profile
    echo
    measure "LO tiny" 3 bash -c "$(declare -f lo); profile='$profile' work='$work' lo '$work/tiny.docx'"
    measure "LO load+save" "$n" bash -c "$(declare -f lo); profile='$profile' work='$work' lo '$work/patent.docx'"
fi
