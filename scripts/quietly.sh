# SPDX-License-Identifier: MIT
# Sourced by play.sh and test.sh: build steps keep their chatter in a log
# that is shown only when the step fails.

# quietly <log> <command...>: runs the command with its output in <log>; on
# failure shows the log and ends the script with status 1.
quietly() {
  local log=$1
  shift
  mkdir -p "$(dirname "$log")"
  if ! "$@" >"$log" 2>&1; then
    cat "$log"
    echo "ERROR: failed: $* (log: $log)"
    exit 1
  fi
}
