#!/usr/bin/env bash
# Installs from Debian what the build and the tests need and this machine lacks; nothing when
# everything is there. Run by `make build` (and so by `make demo` and `make test`) and by
# .ci/run. Installing needs root; without it the missing packages are named and the build
# goes on to fail where they are needed.
set -euo pipefail

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v g++ >/dev/null || need+=(g++)
command -v clang++ >/dev/null || need+=(clang)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
command -v xmllint >/dev/null || need+=(libxml2-utils)
[ -f /usr/include/sqlite3.h ] || need+=(libsqlite3-dev)
[ -f /usr/include/CLI/CLI.hpp ] || need+=(libcli11-dev)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
# The graph tests render DOT with Graphviz and drive the HTML pages in headless Chromium
# through ChromeDriver with Selenium, run by Debian's own Python.
echo 'digraph { a -> b }' | dot -Tsvg >/dev/null 2>&1 || need+=(graphviz)
command -v chromium >/dev/null || need+=(chromium)
command -v chromedriver >/dev/null || need+=(chromium-driver)
[ -x /usr/bin/python3 ] || need+=(python3)
/usr/bin/python3 -c 'import selenium' >/dev/null 2>&1 || need+=(python3-selenium)

[ ${#need[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
    echo "missing Debian packages (install them as root): ${need[*]}" >&2
    exit 0
fi
# Packages unpacked by an install that was cut short are configured before anything else.
DEBIAN_FRONTEND=noninteractive dpkg --configure -a
apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}"
