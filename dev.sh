#!/bin/sh
# Set-up, build and run for a Debian 12 machine.
#   ./dev.sh run    install what the project needs, build, start korvane
#   ./dev.sh test   install what the project needs, build, run every test
#   ./dev.sh fuzz [SECONDS]   build the libFuzzer targets with clang and run each
#   ./dev.sh ci     the test build, the Qt-free libraries alone, and a build
#                   with AddressSanitizer and UndefinedBehaviorSanitizer
set -eu
cd "$(dirname "$0")"

PACKAGES="build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev qt6-gtk-platformtheme
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-noto-cjk
  xvfb xauth x11-utils imagemagick xdotool poppler-utils gerbv
  clang libclang-rt-14-dev"

install_packages() {
    missing=""
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -q
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
}

build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build
}

case "${1:-}" in
run)
    install_packages
    build
    exec ./build/app/korvane
    ;;
test)
    install_packages
    build
    ctest --test-dir build --output-on-failure
    ;;
ci)
    install_packages
    build
    ctest --test-dir build --output-on-failure
    # The libraries alone, with Qt nowhere on the include path.
    cmake -S . -B build-qtfree -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_QT_FREE=ON \
        -DKORVANE_BUILD_TESTS=OFF
    cmake --build build-qtfree
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" -DKORVANE_SANITIZE=ON -DKORVANE_BUILD_BENCH=OFF
    cmake --build build-asan
    # Leaks inside the system's Qt and font libraries are not ours to fix; a
    # huge picture must get a null allocation back, as without the sanitizer.
    QT_QPA_PLATFORM=offscreen \
    ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    LSAN_OPTIONS=suppressions="$PWD/.ci/lsan.supp":print_suppressions=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-asan --output-on-failure
    ;;
fuzz)
    install_packages
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKORVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build-fuzz
    seconds="${2:-300}"
    for target in build-fuzz/fuzz/fuzz_*; do
        [ -x "$target" ] || continue
        name=$(basename "$target")
        mkdir -p "build-fuzz/corpus/$name"
        "$target" -max_total_time="$seconds" -print_final_stats=1 "build-fuzz/corpus/$name" fuzz/seeds/"$name" 2>&1 | tail -n 12
    done
    ;;
*)
    echo "usage: ./dev.sh run | test | ci | fuzz [SECONDS]" >&2
    exit 2
    ;;
esac
