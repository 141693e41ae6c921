#!/usr/bin/env bash
# Every text of the interface has its translation: lupdate reads the sources again into a copy
# of each shipped translation file; the copy must equal the file (no text added to or removed
# from the interface since it was translated) and hold no text left untranslated.
# Arguments: lupdate, the build's folder of lupdate project files.
set -euo pipefail
lupdate=$1
projects=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
shopt -s nullglob
jsons=("$projects"/*_project.json)
if ((${#jsons[@]} == 0)); then
  echo "no lupdate project files in $projects"
  exit 1
fi
for project in "${jsons[@]}"; do
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
