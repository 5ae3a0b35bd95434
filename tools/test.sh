#!/usr/bin/env bash
# Sets up, builds and runs every test: fuzzers (clang, briefly), the suite under
# AddressSanitizer + UndefinedBehaviorSanitizer, the core's tests under ThreadSanitizer,
# the plain suite, and last the Debian package made from the plain build, installed and used
# as an ordinary user, then purged (tools/install-test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

bash tools/setup.sh

configure() { # dir, extra cmake args...
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELTO_WERROR=ON "$@" >/dev/null
}

echo "== fuzz (libFuzzer, clang)"
configure build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKELTO_FUZZ=ON -DKELTO_TESTS=OFF
cmake --build build-fuzz -j "$jobs"
(cd build-fuzz && ctest -L fuzz --output-on-failure -j "$jobs")

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
configure build-asan -DKELTO_SANITIZE=ON -DKELTO_BENCH=OFF
cmake --build build-asan -j "$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j "$jobs" --timeout 600)

echo "== ThreadSanitizer (the core's tests: scheduling, stress, concurrency)"
configure build-tsan -DKELTO_TSAN=ON -DKELTO_BENCH=OFF
cmake --build build-tsan -j "$jobs" --target kelto_core_tests
(cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest -L core --output-on-failure -j "$jobs" --timeout 900)

echo "== tests"
configure build
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs" --timeout 600)

echo "== the Debian package, installed and used as an ordinary user"
bash tools/install-test.sh build
