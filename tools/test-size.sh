#!/usr/bin/env bash
# How large the tests are against everything else: non-blank lines of the
# tracked files under tests/ and of the other tracked sources (program,
# resources, tools, cmake, CMake files). The project keeps the tests at no
# more than 40% of the rest, aiming at a third.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { git ls-files "$@" | xargs cat | grep -cv '^[[:space:]]*$'; }
tests=$(count tests)
rest=$(count core draw results app resources tools cmake CMakeLists.txt CMakePresets.json .ci)
echo "tests: $tests non-blank lines; everything else: $rest"
awk -v t="$tests" -v r="$rest" 'BEGIN { printf "ratio: %.3f (at most 0.40)\n", t / r; exit !(t <= 0.4 * r) }'
