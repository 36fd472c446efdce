#!/usr/bin/env bash
# Makes docs/images/symbologies/NAME.png, the picture of each symbology in
# docs/symbologies.md: one sample value each, written by the korvane command
# in pixels (no resolution), so that every picture is small and sharp.
# Usage: symbology-pictures.sh [BUILD_DIR]   (default build; the command built there)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
korvane="$(cd "${1:-$root/build}" && pwd)/cli/korvane"
out="$root/docs/images/symbologies"
mkdir -p "$out"

# name, then the value drawn (the samples the Python tests read back)
samples=(
  code39 "CODE-39"        code39ext "Code39 ext"   code93 "CODE93"        code93ext "Code93ext"
  code11 "123-45"         codabar "A1234B"         msi "1234"             itf "123456"
  industrial25 "1234"     matrix25 "1234"          ean13 "590123412345"   ean8 "9638507"
  upca "03600029145"      upce "0123456"           code128 "Hello 128"
  gs1-128 "(01)09501101530003(10)AB12"             postnet "12345"        aztec "Seat 14C"
  qr "https://example.com/q"                       datamatrix "Lot 42"    pdf417 "Invoice 2026-0042"
  logmars "NSN-42"        vin "1M8GDM9AXKP042788"  pzn "1234567"          code32 "12345678"
  iata25 "1234"           datalogic25 "1234"       pharmacode "1234"      plessey "12AB"
  telepen "Telepen"       telepen-num "1234"
  databar "0950110153001" databar-truncated "0950110153001"
  databar-stacked "0950110153001"                  databar-stacked-omni "0950110153001"
  databar-expanded "(01)98898765432106(3202)012345(15)991231"
  databar-expanded-stacked "(01)98898765432106(3202)012345(15)991231"
  imb "01234567094987654321-01234"                 planet "12345678901"   rm4scc "SN34RD1A"
  kix "1231FZ13XHS"       auspost "1234567801234567"                      ausreply "12345678"
  ausroute "34567890"     ausredirect "98765432"  daft "FADTDAFT"
  microqr "12345"         rmqr "RMQR 2026"         upnqr "UPNQR"
)
listed=$("$korvane" --list --json | grep -c '"name"' || true)
if [ "$listed" -ne $(( ${#samples[@]} / 2 )) ]; then
  echo "symbology-pictures.sh: the registry has $listed symbologies, this script $(( ${#samples[@]} / 2 ))" >&2
  exit 1
fi
for ((i = 0; i < ${#samples[@]}; i += 2)); do
  name=${samples[i]}
  # Linear symbols 30 modules tall, EAN/UPC and the postal codes as their
  # standards have them; matrix symbols at four pixels a module, as they are smaller.
  size=(--x-dim 2px --height 30x)
  case $name in
    ean13|ean8|upca|upce|postnet|planet|imb|rm4scc|kix|aus*|daft) size=(--x-dim 2px) ;;
    aztec|qr|datamatrix|pdf417) size=(--x-dim 4px) ;;
    databar-stacked|databar-stacked-omni|databar-expanded-stacked) size=(--x-dim 2px) ;;
    ean13|ean8|upca|upce|postnet) size=(--x-dim 2px) ;;
    aztec|qr|datamatrix|pdf417|microqr|rmqr|upnqr) size=(--x-dim 4px) ;;
  esac
  "$korvane" -b "$name" --dpi none "${size[@]}" --verify -o "$out/$name.png" -- "${samples[i + 1]}"
done
ls -l "$out"
