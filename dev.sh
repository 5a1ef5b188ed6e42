#!/bin/sh
# Set-up, build and run for a Debian 12 machine.
#   ./dev.sh run    install what the project needs, build, start korvane
#   ./dev.sh test   install what the project needs, build, run every test
#   ./dev.sh fuzz [SECONDS [TARGET...]]   build the libFuzzer targets with clang
#                   and run each (or the targets named), with the Gerber and
#                   drill token dictionaries (KORVANE_FUZZ_DICT=0: without)
#   ./dev.sh ci     the test build, clang-tidy over it, the Qt-free libraries
#                   alone, and a build with AddressSanitizer and
#                   UndefinedBehaviorSanitizer
#   ./dev.sh tidy   clang-tidy over every source file of build/ (warnings are errors)
#   ./dev.sh includes   fails on an include of a library above the including one
set -eu
cd "$(dirname "$0")"

PACKAGES="build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev qt6-gtk-platformtheme qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-noto-cjk
  xvfb xauth x11-utils imagemagick xdotool poppler-utils gerbv
  clang libclang-rt-14-dev clang-tidy clang-format"

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

# Every C++ file of the checkout, for the format check.
sources() {
    git ls-files '*.cpp' '*.h'
}

# clang-format with the committed .clang-format: lists every line it would
# change and fails when any file is not in the house style.
format_check() {
    sources | xargs clang-format --dry-run --Werror
}

# clang-tidy with the committed .clang-tidy over every source file of the
# libraries and the two programs that build/compile_commands.json compiles
# (generated files left out), two at a time. Tests, benchmarks and fuzz
# targets are left out: their GoogleTest and fuzzing headers take most of the
# time, which the CI budget cannot spare. Needs the build: the Qt files
# include moc and uic output.
tidy() {
    run-clang-tidy -p build -quiet -j "${KORVANE_TIDY_JOBS:-2}" \
        "^$PWD/(app|cli|convert|core|drill|gerber|lists|platform|print|renumber|view)/" >build/tidy.log 2>&1 ||
        { grep -E -A3 '(warning|error):' build/tidy.log | sed -E 's/\x1b\[[0-9;]*m//g'; return 1; }
}

# The token dictionary of a fuzz target that reads Gerber or drill data
# (both for the targets that read either); nothing for the others.
fuzz_dictionary() {
    case "$1" in
    fuzz_gerber | fuzz_gerber_load | fuzz_gerber_writer | fuzz_dcode_list | fuzz_print_job)
        echo fuzz/dict/gerber.dict ;;
    fuzz_drill | fuzz_drill_writer | fuzz_tool_list)
        echo fuzz/dict/drill.dict ;;
    fuzz_renumber | fuzz_cross_creation)
        cat fuzz/dict/gerber.dict fuzz/dict/drill.dict >build-fuzz/gerber_drill.dict
        echo build-fuzz/gerber_drill.dict ;;
    esac
}

# The layers of the tree, lowest first: each folder may include its own
# headers and those of the folders named after it, nothing above.
LAYERS="core:
gerber:core
drill:core
view:core
convert:core gerber drill
renumber:core gerber drill convert
lists:core gerber drill convert
print:core gerber drill view convert
platform:core gerber drill view convert renumber lists print
cli:core gerber drill view convert renumber lists print platform
app:core gerber drill view convert renumber lists print platform"

# Fails on an include of a folder above the including file's own (a
# header of print/ in gerber/, say), and names each such line.
include_check() {
    echo "$LAYERS" | while IFS=: read -r folder below; do
        git ls-files "$folder/*.cpp" "$folder/*.h" | xargs -r grep -nE '^#include "[a-z]+/' |
            awk -v folder="$folder" -v allowed=" $folder $below " '{
                target = $0; sub(/^[^"]*"/, "", target); sub(/\/.*/, "", target)
                if (index(allowed, " " target " ") == 0)
                    print $0 "  <- " folder "/ may not include " target "/"
            }'
    done >build/include-check.log
    [ ! -s build/include-check.log ] || { cat build/include-check.log; return 1; }
}

# Prints how long one step took, so that CI logs show where the time goes.
timed() {
    start=$(date +%s)
    "$@"
    echo "== $* took $(($(date +%s) - start)) s" >&2
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
    timed build
    timed ctest --test-dir build --output-on-failure
    timed format_check
    timed include_check
    timed tidy
    # The libraries alone, with Qt nowhere on the include path.
    cmake -S . -B build-qtfree -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_QT_FREE=ON \
        -DKORVANE_BUILD_TESTS=OFF
    timed cmake --build build-qtfree
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" -DKORVANE_SANITIZE=ON -DKORVANE_BUILD_BENCH=OFF
    timed cmake --build build-asan
    # Leaks inside the system's Qt and font libraries are not ours to fix; a
    # huge picture must get a null allocation back, as without the sanitizer.
    timed env QT_QPA_PLATFORM=offscreen \
    ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    LSAN_OPTIONS=suppressions="$PWD/.ci/lsan.supp":print_suppressions=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-asan --output-on-failure
    ;;
tidy)
    install_packages
    [ -f build/compile_commands.json ] || build
    tidy
    ;;
format)
    format_check
    ;;
includes)
    mkdir -p build
    include_check
    ;;
fuzz)
    install_packages
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKORVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build-fuzz
    seconds="${2:-300}"
    [ $# -gt 2 ] && shift 2 || set --
    for target in build-fuzz/fuzz/fuzz_*; do
        [ -x "$target" ] || continue
        name=$(basename "$target")
        if [ $# -gt 0 ]; then
            case " $* " in *" $name "*) ;; *) continue ;; esac
        fi
        mkdir -p "build-fuzz/corpus/$name"
        dict=$(fuzz_dictionary "$name")
        [ "${KORVANE_FUZZ_DICT:-1}" = 0 ] && dict=""
        "$target" -max_total_time="$seconds" -print_final_stats=1 ${dict:+-dict="$dict"} \
            "build-fuzz/corpus/$name" fuzz/seeds/"$name" 2>&1 | tail -n 12
        # The inputs of this run that reach new coverage join the committed
        # seeds, each the smallest found for its coverage.
        "$target" -merge=1 fuzz/seeds/"$name" "build-fuzz/corpus/$name" >"build-fuzz/$name.merge.log" 2>&1
    done
    ;;
*)
    echo "usage: ./dev.sh run | test | ci | tidy | format | includes | fuzz [SECONDS [TARGET...]]" >&2
    exit 2
    ;;
esac
