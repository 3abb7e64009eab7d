#!/usr/bin/env bash
# Every line of each FILE ends in CR LF: the release's texts are read with Notepad.
status=0
for file in "$@"; do
  if [ ! -s "$file" ]; then echo "$file: missing or empty"; status=1; continue; fi
  bare=$(grep -c -v $'\r$' "$file")
  [ "$bare" -eq 0 ] || { echo "$file: $bare lines end without CR LF"; status=1; }
done
exit "$status"
