#!/usr/bin/env bash
# Adds deb-src entries mirroring the machine's existing Debian binary entries,
# so that `apt-get source` works. Only entries of this Debian release are copied.
set -euo pipefail
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
target=/etc/apt/sources.list.d/halvex-deb-src.sources
tmp=$(mktemp)

# deb822 files: copy each stanza that names this release, as deb-src.
for f in /etc/apt/sources.list.d/*.sources; do
  [ -e "$f" ] && [ "$f" != "$target" ] || continue
  awk -v codename="$codename" '
    function flush() {
      if (stanza != "" && isdeb && release) { gsub(/\nTypes:[^\n]*/, "\nTypes: deb-src", stanza); printf "%s\n\n", substr(stanza, 2) }
      stanza = ""; isdeb = 0; release = 0
    }
    /^[ \t]*$/ { flush(); next }
    /^#/ { next }
    { stanza = stanza "\n" $0 }
    /^Types:/ && $0 ~ /(^|[ \t])deb([ \t]|$)/ { isdeb = 1 }
    /^Suites:/ && index($0, codename) { release = 1 }
    END { flush() }' "$f" >> "$tmp"
done
# One-line format.
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -e "$f" ] && [ "$f" != "${target%.sources}.list" ] || continue
  awk -v codename="$codename" '$1 == "deb" && index($0, codename) { $1 = "deb-src"; print }' "$f" >> "$tmp.list"
done
if [ -s "$tmp" ]; then install -m 644 "$tmp" "$target"; fi
if [ -s "$tmp.list" ]; then install -m 644 "$tmp.list" "${target%.sources}.list"; fi
rm -f "$tmp" "$tmp.list"
