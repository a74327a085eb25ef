#!/usr/bin/env bash
# Prepares the build's Wine prefix for running the programs: creates it on
# first use and registers the project's automation servers in it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?build dir}" && pwd)
"$root/cmake/wine-session.sh" prefix "$build"

# The character server (agent/, "Agent.Control.2"): registered when it has
# been built; the demo cannot start its character without it.
agent_dll="$build/agent/ZorvanAgent.dll"
if [ -f "$agent_dll" ]; then
  "$root/cmake/wine-session.sh" register "$build" "$agent_dll" ||
    echo "install-prefix: could not register $agent_dll" >&2
else
  echo "install-prefix: $agent_dll is not built; Agent.Control.2 stays unregistered" >&2
fi
