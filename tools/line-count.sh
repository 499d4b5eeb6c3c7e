#!/usr/bin/env bash
# Lines of production code and of test code, and the tests' share of all code (the aim: about a
# quarter to a third). A line counts when it is neither blank nor only a comment.
#   production: src/, include/, resources/ (C, C++, headers, resource scripts, the .def, and the
#               Python that draws the icons and bitmap), and languages/ (the language-file builder
#               that ships in the SDK)
#   tests:      tests/ (C, C++, headers, shell), harness and SDK checks included, and the test
#               scripts in tools/ (the runner, its environment, the DLL, callback, mnemonic and fuzz
#               checks)
# Build descriptions (CMake) count on neither side.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  find "$@" -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' -o -name '*.rc' -o -name '*.def' -o -name '*.sh' -o -name '*.py' \) -print0 |
    xargs -0 cat | awk '
      { line = $0; sub(/^[ \t]+/, "", line) }
      in_block { if (line ~ /\*\//) in_block = 0; next }
      line == "" { next }
      line ~ /^\/\// || line ~ /^#( |$)/ && line !~ /^#(include|define|if|else|endif|pragma|undef|error)/ { next }
      line ~ /^\/\*/ { if (line !~ /\*\//) in_block = 1; next }
      { n++ }
      END { print n + 0 }'
}
production=$(count src include resources languages)
test_scripts=()
for f in test.sh wine-env.sh i686-runnable.sh check-dll-tables.sh check-callbacks.sh check-mnemonics.py fuzz.sh; do
  [ -f "tools/$f" ] && test_scripts+=("tools/$f")
done
tests=$(count tests "${test_scripts[@]}")
awk -v p="$production" -v t="$tests" 'BEGIN {
  share = 100 * t / (p + t)
  printf "lines of code: production %d, tests %d: tests are %.1f %% of all code (aim: 25 to 33.3 %%: %s)\n",
    p, t, share, share < 25 ? "under" : share <= 100 / 3 ? "met" : "over by " int(t - p / 2 + 0.999) " lines" }'
