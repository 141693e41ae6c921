#!/usr/bin/env bash
# Every text of the interface has its translation: lupdate reads the sources again into a copy
# of each shipped translation file; the copy must equal the file (no text added to or removed
# from the interface since it was translated) and hold no text left untranslated.
# Arguments: lupdate, cmake, Qt's script that writes an lupdate project file, the build's
# folder of the projects' descriptions (written when CMake configures the build).
set -euo pipefail
lupdate=$1
cmake=$2
generate=$3
projects=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
shopt -s nullglob
descriptions=("$projects"/*_project.cmake)
if ((${#descriptions[@]} == 0)); then
  echo "no lupdate project descriptions in $projects"
  exit 1
fi
for description in "${descriptions[@]}"; do
  project="$work/$(basename "$description" .cmake).json"
  "$cmake" -DIN_FILE="$description" -DOUT_FILE="$project" -P "$generate" >/dev/null
  # The project names its translation files; each is read again into a copy of its own.
  mapfile -t shipped < <(grep '"translations"' "$project" | grep -o '"[^"]*\.ts"' | tr -d '"')
  for ts in "${shipped[@]}"; do
    copy="$work/$(basename "$ts")"
    cp "$ts" "$copy"
    "$lupdate" -silent -project "$project" -ts "$copy" -no-obsolete -locations none \
      -tr-function-alias QT_TRANSLATE_NOOP+=ZV_TRANSLATABLE >/dev/null 2>"$work/lupdate.err" || {
      cat "$work/lupdate.err"
      failed=1
    }
    if ! diff -u "$ts" "$copy" >"$work/diff"; then
      echo "$(basename "$ts") is not up to date with the sources (build update_translations and translate):"
      head -40 "$work/diff"
      failed=1
    fi
    untranslated=$(grep -c 'type="unfinished"\|<translation></translation>' "$copy" || true)
    if ((untranslated > 0)); then
      echo "$(basename "$ts"): $untranslated texts without a translation:"
      grep -B2 'type="unfinished"\|<translation></translation>' "$copy" | grep '<source>' | head -20
      failed=1
    fi
  done
done
exit $failed
