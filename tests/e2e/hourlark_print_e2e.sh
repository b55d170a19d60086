#!/usr/bin/env bash
# The tracker's reports printed on a real printer: starts a private print server with a PDF
# printer ("PDF", the default) and one that refuses every job ("Broken"), runs
# hourlark_print_e2e under Wine against it, then checks the PDFs it printed and turns their
# pages into pictures in <build>/print. Stops the server whatever happens.
#
# Usage: hourlark_print_e2e.sh <repository> <build folder> <hourlark_print_e2e.exe> <Hourlark.exe> <qatask.dll>
set -uo pipefail
root=$1 build=$2 e2e=$3 hourlark=$4 qatask=$5
out=$build/print
rm -rf "$out"
mkdir -p "$out"

for tool in /usr/sbin/cupsd lpadmin pdfinfo pdftotext pdfimages pdftoppm; do
  if ! command -v "$tool" >/dev/null; then
    echo "missing $tool: scripts/setup.sh installs the printing packages"
    exit 1
  fi
done

. "$root/scripts/private-cups.sh"
trap hl_cups_stop EXIT
hl_cups_start "$build/cups" || exit 1
lpadmin -h "$CUPS_SERVER" -p Broken -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null || exit 1
cupsreject -h "$CUPS_SERVER" Broken || exit 1

# The PDF printer writes into the PDF folder of the user the job comes from: this one.
home=$(getent passwd "$(id -un)" | cut -d: -f6)
pdfs=${home:-$HOME}/PDF
mkdir -p "$pdfs"

"${WINE64:-wine64}" "$e2e" "$hourlark" "$qatask" "$out" "$pdfs" </dev/null >"$out/e2e.log" 2>&1
status=$?
cat "$out/e2e.log"

failures=0
check() {
  if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi
}
pages() { pdfinfo "$1" 2>/dev/null | sed -n 's/^Pages: *//p'; }
# Every page A4 portrait: 595 x 842 points.
a4_portrait() {
  local n
  n=$(pages "$1")
  [ -n "$n" ] && [ "$n" -gt 0 ] || return 1
  pdfinfo -f 1 -l "$n" "$1" | sed -n 's/^Page *[0-9]* size: *//p' | awk '
    { if (!($1 > 594 && $1 < 597 && $3 > 841 && $3 < 843)) bad = 1 } END { exit bad }'
}
# The y (in points from the top) of a word on a page, from the text's boxes.
word_top() {
  pdftotext -bbox -f "$3" -l "$3" "$1" - 2>/dev/null |
    awk -v w="$2" -F'"' '/<word / && $0 ~ ">" w "<" { print int($4); exit }'
}
text_of() { pdftotext -layout -f "${2:-1}" -l "${3:-${2:-1}}" "$1" - 2>/dev/null; }

user_line=$(sed -n 1p "$out/expected.txt" 2>/dev/null)
period_line=$(sed -n 2p "$out/expected.txt" 2>/dev/null)
for job in table chart detail; do
  pdf=$out/$job.pdf
  check "$job: printed" "[ -s '$pdf' ]"
  [ -s "$pdf" ] || continue
  check "$job: every page A4 portrait" "a4_portrait '$pdf'"
  first=$(text_of "$pdf" 1)
  check "$job: the title on the first page" "grep -q 'Time spent statistics' <<<\"\$first\""
  check "$job: the user ($user_line)" "grep -qF \"\$user_line\" <<<\"\$first\""
  check "$job: the period ($period_line)" "grep -qF \"\$period_line\" <<<\"\$first\""
  # Title, user and period in the page header, in this order from the top, as in the preview.
  t=$(word_top "$pdf" Time 1) u=$(word_top "$pdf" "User:" 1) p=$(word_top "$pdf" "Period:" 1)
  check "$job: title ($t), user ($u) and period ($p) at the top of the page in order" \
    "[ -n '$t' ] && [ -n '$u' ] && [ -n '$p' ] && [ '$t' -lt '$u' ] && [ '$u' -lt '$p' ] && [ '$p' -lt 150 ]"
  pdftoppm -png -r 60 "$pdf" "$out/$job"
done
check "table: the week rows and their column titles" "text_of '$out/table.pdf' 1 | grep -q 'Week'"
check "chart: the chart's picture is on the page" "[ \"\$(pdfimages -list '$out/chart.pdf' 2>/dev/null | tail -n +3 | wc -l)\" -ge 1 ]"
detail_pages=$(pages "$out/detail.pdf")
check "detail: sixty programs take more than one page ($detail_pages)" "[ '${detail_pages:-0}' -ge 2 ]"
check "detail: the largest time first" "text_of '$out/detail.pdf' 1 | grep -m1 'Program number' | grep -q 'number 01'"
check "detail: the last program on the last page" "text_of '$out/detail.pdf' '${detail_pages:-1}' | grep -q 'Program number 60'"
table_pages=$(pages "$out/table.pdf")
check "two copies: twice the week table's pages ($(pages "$out/table-2-copies.pdf") of $table_pages)" \
  "[ -n '$table_pages' ] && [ \"\$(pages '$out/table-2-copies.pdf')\" = \$((2 * table_pages)) ]"
check "two copies: each copy is the whole table" \
  "[ \"\$(text_of '$out/table-2-copies.pdf' 1 '$table_pages')\" = \"\$(text_of '$out/table.pdf' 1 '$table_pages')\" ]"
check "page range: only page 2 of the detail list" "[ \"\$(pages '$out/detail-page-2.pdf')\" = 1 ]"
check "page range: it is the list's second page" \
  "[ \"\$(text_of '$out/detail-page-2.pdf' 1)\" = \"\$(text_of '$out/detail.pdf' 2)\" ]"
[ -s "$out/detail-page-2.pdf" ] && pdftoppm -png -r 60 "$out/detail-page-2.pdf" "$out/detail-page-2"
# Two copies of the detail list's two pages with Collate unchecked: each page twice in a row.
uncollated=$out/detail-uncollated.pdf
check "uncollated: four pages ($(pages "$uncollated"))" "[ \"\$(pages '$uncollated')\" = 4 ]"
for n in 1 2 3 4; do
  check "uncollated: page $n is the list's page $(((n + 1) / 2))" \
    "[ -n \"\$(text_of '$uncollated' $n)\" ] && [ \"\$(text_of '$uncollated' $n)\" = \"\$(text_of '$out/detail.pdf' $(((n + 1) / 2)))\" ]"
done

# The preview screenshots as pictures too.
for shot in "$out"/*.bmp; do
  [ -e "$shot" ] && convert "$shot" "${shot%.bmp}.png" 2>/dev/null && rm -f "$shot"
done

echo "$failures failed check(s) of the PDFs; the program's own checks: exit $status"
[ "$status" -eq 0 ] && [ "$failures" -eq 0 ]
