#!/usr/bin/env bash
# Builds the project, generates a Japanese patent-like document of N paragraphs
# (default 10000), times the engine on it (open, the 65 numbering passes,
# save) and times LibreOffice's bare load-and-save of the same file.
#
# Usage: bench/run.sh [PARAGRAPHS]
set -euo pipefail
cd "$(dirname "$0")/.."
paragraphs="${1:-10000}"
build="${KALVENDO_BUILD_DIR:-build}"
KALVENDO_BUILD_DIR="$build" ./scripts/build >/dev/null

work="$(mktemp -d /tmp/kalvendo-bench.XXXXXX)"
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
elapsed_ms() { echo "($2 - $1) * 1000" | bc -l | xargs printf '%.0f'; }

"$build/bench/gen_patent" "$work/patent.docx" "$paragraphs"
ls -l "$work/patent.docx" | awk '{print "package size: " $5 " bytes"}'
echo
echo "== Kalvendo engine =="
start="$(now)"
"$build/bench/bench_engine" "$work/patent.docx" "$work/numbered.docx"
end="$(now)"
engine_ms="$(elapsed_ms "$start" "$end")"
echo "whole process     ${engine_ms} ms (start-up included)"
if [ -n "${KALVENDO_BENCH_ARGS:-}" ]; then
  echo
  echo "== Kalvendo engine, bench_engine ${KALVENDO_BENCH_ARGS} (not in the ratio) =="
  "$build/bench/bench_engine" "$work/patent.docx" "$work/numbered.docx" ${KALVENDO_BENCH_ARGS}
fi

if ! command -v soffice >/dev/null 2>&1; then
  echo
  echo "soffice not found: LibreOffice comparison skipped"
  exit 0
fi

echo
echo "== LibreOffice: soffice --headless --convert-to docx =="
profile="file://$work/lo-profile"
mkdir -p "$work/lo" "$work/warm"
# A first call creates the private profile; it is not timed. The tiny document
# gives the start-up cost, so the load-and-save share can be told apart.
"$build/bench/gen_patent" "$work/tiny.docx" 3 >/dev/null
soffice -env:UserInstallation="$profile" --headless --convert-to docx --outdir "$work/warm" "$work/tiny.docx" >/dev/null 2>&1
start="$(now)"
soffice -env:UserInstallation="$profile" --headless --convert-to docx --outdir "$work/warm" "$work/tiny.docx" >/dev/null 2>&1
end="$(now)"
startup_ms="$(elapsed_ms "$start" "$end")"
start="$(now)"
soffice -env:UserInstallation="$profile" --headless --convert-to docx --outdir "$work/lo" "$work/patent.docx" >/dev/null 2>&1
end="$(now)"
lo_ms="$(elapsed_ms "$start" "$end")"
if [ ! -s "$work/lo/patent.docx" ]; then
  echo "LibreOffice did not write a document"
  exit 1
fi
echo "whole process     ${lo_ms} ms (start-up included; a 3-paragraph document takes ${startup_ms} ms)"
echo
echo "ratio LibreOffice load+save / Kalvendo open+65 passes+save (whole processes): $(echo "$lo_ms / $engine_ms" | bc -l | xargs printf '%.1f')"
