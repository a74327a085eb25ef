#!/usr/bin/env bash
# Prepares the build's Wine prefix for running the programs: creates it on
# first use and registers the project's automation servers in it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?build dir}" && pwd)
"$root/cmake/wine-session.sh" prefix "$build"
