#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks what kolvane.exe shows the system: it exports exactly the string
# builders of the list of exports (its first column, the mangled names), and
# imports only DLLs that every Windows has.
# Usage: check_exe.sh <objdump> <kolvane.exe> <settings/exports.txt>
set -euo pipefail
objdump=$1
exe=$2
list=$3
table=$("$objdump" -p "$exe")
status=0

exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$table" |
  sed -n 's/^\s*\[ *[0-9]*\] //p' | sort)
expected=$(grep -v '^#' "$list" | awk 'NF { print $1 }' | sort)
if [ -z "$expected" ]; then
  echo "FAIL: no exports listed in $list"
  status=1
elif [ "$exports" != "$expected" ]; then
  echo "FAIL: the exports are not the string builders of $list"
  diff <(echo "$expected") <(echo "$exports") || true
  status=1
fi

# The system's own DLLs; a C++ runtime, libgcc or winpthread DLL would have
# to be shipped beside the program.
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|SHELL32|ADVAPI32|MSIMG32|OLE32|OLEAUT32|SHLWAPI|COMDLG32|msvcrt|api-ms-win-crt-[a-z0-9-]+|ucrtbase)\.dll$'
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$table")
if [ -z "$imports" ]; then
  echo "FAIL: no imports found; the table was not read"
  status=1
fi
while read -r dll; do
  if ! grep -Eiq "$allowed" <<<"$dll"; then
    echo "FAIL: imports $dll, which is not part of Windows"
    status=1
  fi
done <<<"$imports"

if [ "$(sed -n 's/^Subsystem\s*[0-9a-f]*\s*//p' <<<"$table")" != "(Windows GUI)" ]; then
  echo "FAIL: not a GUI program"
  status=1
fi
[ $status -eq 0 ] && echo "exports: $(echo $exports); imports: $(echo $imports)"
exit $status
