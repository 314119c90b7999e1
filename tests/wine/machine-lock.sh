# Sourced by scripts/test and tests/wine/wine-suite: one lock for the whole machine, so that a timed test
# runs alone even beside another tree's scripts/test. Whatever loads the machine (a build, a Wine suite,
# the native tests) holds it shared; a timed test holds it alone. A turnstile in front gives the one that
# waits to be alone its turn: no new shared holder starts while it waits, so it waits at most for those
# running, never for a whole side-by-side run.
#   machine_lock shared|alone   sets machine_lock_fd (keep it out of long-lived children: cmd {machine_lock_fd}>&-;
#                               closing it, or the shell's end, lets go)
#   with_machine_lock shared|alone <command...>   runs the command (in a subshell) holding the lock
machine_lock() {
  local dir=${TMPDIR:-/tmp}/wine-suite-machine-$(id -u) turnstile
  mkdir -p "$dir"
  exec {turnstile}>"$dir/turnstile"
  flock -x "$turnstile"
  exec {machine_lock_fd}>"$dir/lock"
  if [ "$1" = alone ]; then flock -x "$machine_lock_fd"; else flock -s "$machine_lock_fd"; fi
  exec {turnstile}>&-
}

with_machine_lock() {
  local mode=$1 machine_lock_fd status
  shift
  machine_lock "$mode"
  ("$@") {machine_lock_fd}>&- && status=0 || status=$?
  exec {machine_lock_fd}>&-
  return $status
}
