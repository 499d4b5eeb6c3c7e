#!/usr/bin/env bash
# Lines of production code and of test code, and their ratio (the aim: tests at most 45 % of the
# production lines). A line counts when it is neither blank nor only a comment.
#   production: src/, include/, resources/ (C, C++, headers, resource scripts, the .def)
#   tests:      tests/ (C, C++, headers, shell), harness and SDK checks included
# Build descriptions (CMake) count on neither side.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  find "$@" -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' -o -name '*.rc' -o -name '*.def' -o -name '*.sh' \) -print0 |
    xargs -0 cat | awk '
      { line = $0; sub(/^[ \t]+/, "", line) }
      in_block { if (line ~ /\*\//) in_block = 0; next }
      line == "" { next }
      line ~ /^\/\// || line ~ /^#( |$)/ && line !~ /^#(include|define|if|else|endif|pragma|undef|error)/ { next }
      line ~ /^\/\*/ { if (line !~ /\*\//) in_block = 1; next }
      { n++ }
      END { print n + 0 }'
}
production=$(count src include resources)
tests=$(count tests)
awk -v p="$production" -v t="$tests" 'BEGIN {
  ratio = 100 * t / p
  printf "lines of code: production %d, tests %d: tests are %.1f %% of production (aim: at most 45 %%: %s)\n",
    p, t, ratio, ratio <= 45 ? "met" : "over by " int(t - 0.45 * p + 0.999) " lines" }'
