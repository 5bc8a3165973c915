#!/usr/bin/env bash
# Sets up a Debian machine for Korvel, builds it, and starts it or runs the tests.
#   ./korvel.sh start   install what is missing, build, start Korvel
#   ./korvel.sh test    install what is missing, build, run the whole test suite
#   ./korvel.sh asan    the same tests under AddressSanitizer, LeakSanitizer and UBSan
#   ./korvel.sh format  check that every C++ file is formatted as .clang-format says
#   ./korvel.sh package build the Debian package and check it with lintian
#   ./korvel.sh probe   time Korvel's start against a bare Qt dialog under Xvfb, and run
#                       the benchmarks
#   ./korvel.sh fuzz [S] build the whole tree with clang, with the libFuzzer targets, and
#                       run each target for S seconds
#                       (60 by default) from the seeds in fuzz/corpus
set -euo pipefail
cd "$(dirname "$0")"

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-tools-dev qt6-tools-dev-tools
    qt6-l10n-tools qt6-translations-l10n qt6-qpa-plugins qt6-wayland qt6-base-private-dev
    libmuparser-dev libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core
)
# The tests also validate the installed desktop entry and metadata, and the data files'
# types in the MIME database; and they run Korvel on a session bus and a Wayland compositor
# of their own; and a screen reader's view of it through the accessibility bus under Xvfb.
test_packages=(desktop-file-utils appstream libxml2-utils shared-mime-info libglib2.0-bin
    dbus-daemon dbus-bin weston xvfb xauth xdotool at-spi2-core python3-gi gir1.2-atspi-2.0)

# Installs the packages above and any named as arguments that are not installed yet.
install_missing() {
    local missing=()
    for p in "${packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The data file tests write numbers under a German locale, as Korvel runs on a German
# desktop, and the screen reader's check runs Korvel under Dutch and German locales;
# generate those the machine lacks.
ensure_locales() {
    local wanted=() locale
    for locale in de_DE nl_NL; do
        locale -a 2>/dev/null | grep -qix "${locale}\.utf-\?8" || wanted+=("$locale")
    done
    [ ${#wanted[@]} -eq 0 ] && return 0
    install_missing locales
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    for locale in "${wanted[@]}"; do
        if grep -q "^# *${locale}.UTF-8 UTF-8" /etc/locale.gen; then
            "${sudo[@]}" sed -i "s/^# *\(${locale}.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        elif ! grep -q "^${locale}.UTF-8 UTF-8" /etc/locale.gen; then
            echo "${locale}.UTF-8 UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
        fi
    done
    "${sudo[@]}" locale-gen >/dev/null
}

build() {
    local preset=$1
    if [ -n "${CI:-}" ]; then export KORVEL_WERROR=ON; fi
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
}

case "${1:-}" in
    start)
        install_missing
        build default
        exec ./build/default/src/app/korvel
        ;;
    test)
        install_missing "${test_packages[@]}"
        ensure_locales
        build default
        ctest --preset default
        ;;
    asan)
        install_missing "${test_packages[@]}"
        ensure_locales
        build asan
        ctest --preset asan
        ;;
    package)
        install_missing dpkg-dev lintian
        build default
        rm -f build/default/korvel_*.deb
        (cd build/default && cpack -G DEB)
        deb=$(ls build/default/korvel_*.deb)
        lintian --info "$deb" || true
        echo "Package: $deb"
        ;;
    probe)
        install_missing xvfb xauth
        build default
        xvfb-run -a -s "-screen 0 1280x800x24" build/default/bench/korvel_startprobe \
            build/default/src/app/korvel build/default/bench/korvel_baredialog "${2:-21}"
        QT_QPA_PLATFORM=offscreen build/default/bench/korvel_bench
        QT_QPA_PLATFORM=offscreen build/default/bench/korvel_dialog_bench
        ;;
    fuzz)
        install_missing clang libclang-rt-14-dev
        if [ -n "${CI:-}" ]; then export KORVEL_WERROR=ON; fi
        cmake --preset fuzz >/dev/null
        targets="cdf csv settings command number derivation claimedsize"
        # The whole tree, not only the fuzz targets: clang is the stricter compiler.
        cmake --build --preset fuzz
        seconds=${2:-60}
        work=$(mktemp -d)
        for target in $targets; do
            mkdir -p "$work/$target"
            cp fuzz/corpus/"$target"/* "$work/$target/"
            # Every input must end within a second and allocate at most 64 MiB at once.
            status=0
            UBSAN_OPTIONS="suppressions=$PWD/fuzz/ubsan.supp:print_stacktrace=1" \
                build/fuzz/fuzz/"$target"_fuzzer -max_total_time="$seconds" -timeout=1 \
                -malloc_limit_mb=64 -rss_limit_mb=2048 -print_final_stats=1 \
                -dict=fuzz/korvel.dict -artifact_prefix="$work/$target-" "$work/$target" \
                >"$work/$target.log" 2>&1 || status=$?
            grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$work/$target.log" || true
            if [ "$status" -ne 0 ]; then
                tail -n 40 "$work/$target.log" >&2
                echo "fuzzing $target failed; the input is in $work" >&2
                exit 1
            fi
        done
        echo "Fuzzed each target for $seconds s: nothing found."
        ;;
    format)
        install_missing clang-format
        git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
        echo "Formatting checked."
        ;;
    *)
        echo "usage: $0 start|test|asan|format|package|probe|fuzz" >&2
        exit 2
        ;;
esac
