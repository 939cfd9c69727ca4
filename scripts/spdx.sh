#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every file of the project carries the line "SPDX-License-Identifier: MIT"
# near its top, in its own comment syntax, as a REUSE check expects.
#   scripts/spdx.sh [source folder]        lists the files without it; fails if any
#   scripts/spdx.sh --add [source folder]  adds the line to each of them
# Files without a comment syntax are licensed by LICENSE as a whole: the
# licence text itself, JSON, pictures and the fuzz corpus (raw input bytes).
set -euo pipefail
add=false
if [ "${1:-}" = --add ]; then
  add=true
  shift
fi
cd "${1:-$(dirname "$0")/..}"

line='SPDX-License-Identifier: MIT'

files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files
  else
    find . -type f ! -path './build/*' ! -path './.git/*' | sed 's|^\./||'
  fi
}

exempt() {
  case $1 in
    LICENSE | *.json | *.png | *.bmp | fuzz/corpus/*) return 0 ;;
  esac
  return 1
}

# The comment that carries the line, by the kind of file; nothing when the
# kind is unknown.
comment_for() {
  case $1 in
    *.h | *.cpp | *.js | *.mjs) echo "// $line" ;;
    *.css) echo "/* $line */" ;;
    *.html) echo "<!-- $line -->" ;;
    *.md | *.xml | *.svg | *.manifest) echo "<!-- $line -->" ;;
    *.rc) echo "// $line" ;;
    *.def | *.nsi) echo "; $line" ;;
    *.1) echo ".\\\" $line" ;;
    *.sh | *.py | *.cmake | */CMakeLists.txt | CMakeLists.txt | *.txt | *.desktop | .gitignore | \
      .clang-format | .ci/*) echo "# $line" ;;
  esac
}

# Inserts the comment as the first line, after a "#!" line or an XML
# declaration, which must stay first.
insert() { # <file> <comment>
  local file=$1 comment=$2 first
  first=$(head -n 1 "$file")
  if [[ "$first" == '#!'* || "$first" == '<?xml'* ]]; then
    { printf '%s\n%s\n' "$first" "$comment"; tail -n +2 "$file"; } >"$file.spdx"
  else
    { printf '%s\n' "$comment"; cat "$file"; } >"$file.spdx"
  fi
  chmod --reference="$file" "$file.spdx"
  mv "$file.spdx" "$file"
}

missing=0
while IFS= read -r file; do
  if exempt "$file" || head -n 5 "$file" | grep -qF "$line"; then
    continue
  fi
  comment=$(comment_for "$file")
  if $add && [ -n "$comment" ]; then
    insert "$file" "$comment"
    echo "added: $file"
  else
    note=""
    [ -n "$comment" ] || note=" (no comment syntax known for it)"
    echo "no SPDX line: $file$note" >&2
    missing=$((missing + 1))
  fi
done < <(files)

if ((missing)); then
  echo "$missing file(s) without '$line'" >&2
  exit 1
fi
