# SPDX-License-Identifier: MIT
# What the shell tests share, sourced by each: a count of failed checks, and
# fail <message>, which says one on standard error and counts it. A test
# ends with `[ "$failures" -eq 0 ]` as its exit status.
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
