#!/usr/bin/env bash
# Imports a generated 100 000-row CSV file with quillbrook-import and with the Python reference
# (bench/cli_import_reference.py: csv + vobject), each into a fresh folder, and reports seconds,
# peak memory and the ratio. Usage: bench/cli_import.sh [BUILD_DIR] [ROWS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
rows=${2:-100000}
program=$build/quillbrook-import
[ -x "$program" ] || { echo "no $program; build it first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
group="Benchmark"

awk -v rows="$rows" 'BEGIN {
  split("Anneke Joëlle Sjoerd François Marieke Hélène Pieter Amélie Gérard Femke Cécile Daan", first, " ")
  split("Berg Lefèvre Hoekstra Dubois Vries Garnier Brouwer Rousseau Lemaître Jansen Noël Smit", last, " ")
  split("Amsterdam Paris Utrecht Lyon Zwolle Nantes Rotterdam Marseille Leiden Bordeaux", city, " ")
  print "First Name,Last Name,Company,Work Phone,Mobile Phone,E-mail,Street,City,Postal Code,Country,Birthday,Note"
  for (i = 1; i <= rows; i++) {
    f = first[i % 12 + 1]; l = last[int(i / 12) % 12 + 1]; c = city[i % 10 + 1]
    company = (i % 7 == 0) ? "\"Atelier " l " & Fils, B.V.\"" : ""
    if (i % 50 == 0) { f = ""; l = ""; company = "Bedrijf " i }
    printf "%s,%s,%s,+31 20 555 %04d,+31 6 5550 %04d,contact%d@example.nl,", f, l, company, i % 10000, (i * 7) % 10000, i
    printf "\"%d Prinsengracht\nAppartement %d\",%s,%04d AB,Nederland,%04d-%02d-%02d,", i % 900 + 1, i % 40 + 1, c, 1000 + i % 9000, 1940 + i % 60, i % 12 + 1, i % 28 + 1
    printf "Klant sinds %d; \"vaste\" afnemer\n", 1990 + i % 30
  }
}' > "$work/contacts.csv"

cat > "$work/contacts.map" <<MAP
<?xml version="1.0"?>
<Map Version="2.0" AddressBook="Apple Address Book" Group="$group" RangeStart="1" RangeEnd="-1">
  <Link><AddressBookField ID="FirstName"/><ImportField Index="0"/></Link>
  <Link><AddressBookField ID="LastName"/><ImportField Index="1"/></Link>
  <Link><AddressBookField ID="Company"/><ImportField Index="2"/></Link>
  <Link><AddressBookField ID="Phone" Label="LabelWork"/><ImportField Index="3"/></Link>
  <Link><AddressBookField ID="Phone" Label="LabelMobile"/><ImportField Index="4"/></Link>
  <Link><AddressBookField ID="Email" Label="LabelWork"/><ImportField Index="5"/></Link>
  <Link><AddressBookField ID="Address" Label="LabelWork"/>
    <Link><AddressBookField ID="Street"/><ImportField Index="6"/></Link>
    <Link><AddressBookField ID="City"/><ImportField Index="7"/></Link>
    <Link><AddressBookField ID="PostalCode"/><ImportField Index="8"/></Link>
    <Link><AddressBookField ID="Country"/><ImportField Index="9"/></Link>
  </Link>
  <Link><AddressBookField ID="Birthday"/><ImportField Index="10"/></Link>
  <Link><AddressBookField ID="Note"/><ImportField Index="11"/></Link>
</Map>
MAP

# Runs a command under GNU time; prints "SECONDS KILOBYTES USER_SECONDS SYSTEM_SECONDS".
measure() {
  local log=$1
  shift
  /usr/bin/time -v -o "$log" "$@" >/dev/null
  local elapsed kilobytes
  elapsed=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$log" |
    awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }')
  kilobytes=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$log")
  echo "$elapsed $kilobytes $(sed -n 's/.*User time (seconds): //p' "$log")" \
    "$(sed -n 's/.*System time (seconds): //p' "$log")"
}

# Counts the cards a run wrote, so a run that silently wrote nothing does not look fast.
cards() { find "$1" -name '*.vcf' | wc -l; }

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$HOME"
echo "rows: $rows (+ header), $(du -h "$work/contacts.csv" | cut -f1) of CSV"

read -r q_seconds q_kb q_user q_system < <(measure "$work/q.time" "$program" --quiet --encoding utf-8 \
  --map "$work/contacts.map" --store "$work/quillbrook" "$work/contacts.csv")
echo "quillbrook-import: ${q_seconds} s (user ${q_user} s, system ${q_system} s)," \
  "peak ${q_kb} KB, $(cards "$work/quillbrook") cards"

read -r p_seconds p_kb p_user p_system < <(measure "$work/p.time" /usr/bin/python3 \
  "$root/bench/cli_import_reference.py" "$work/contacts.csv" "$work/reference" "$group")
echo "python reference: ${p_seconds} s (user ${p_user} s, system ${p_system} s)," \
  "peak ${p_kb} KB, $(cards "$work/reference") cards"

awk -v q="$q_seconds" -v p="$p_seconds" -v qk="$q_kb" -v pk="$p_kb" 'BEGIN {
  printf "ratio: quillbrook-import is %.1f times as fast, with %.2f times the memory\n",
    p / (q > 0 ? q : 0.001), qk / pk
}'
