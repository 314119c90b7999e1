# Sourced by the Wine test scripts: a loopback port of their own, free when taken and held until the
# caller ends, by a lock machine-wide, so runs side by side (and other trees' runs) never share one.
#   take_port <digits> [<port to avoid>]   sets port and port_lock (the lock's descriptor, to be kept
#                                          out of long-lived children: cmd {port_lock}>&-)
take_port() {
  local digits=$1 avoid=${2:-} low high candidate fd locks=${TMPDIR:-/tmp}/wine-suite-ports-$(id -u)
  low=$((10 ** (digits - 1))) high=$((10 ** digits - 1))
  ((low < 1024)) && low=1024
  ((high > 65535)) && high=65535
  mkdir -p "$locks"
  port="" port_lock=""
  for _ in $(seq 500); do
    candidate=$((low + (RANDOM * 32768 + RANDOM) % (high - low + 1)))
    [ "$candidate" = "$avoid" ] && continue
    exec {fd}>"$locks/$candidate"
    if flock -n "$fd" && python3 -c 'import socket,sys; socket.socket().bind(("127.0.0.1", int(sys.argv[1])))' \
         "$candidate" 2>/dev/null; then
      port=$candidate port_lock=$fd
      return 0
    fi
    exec {fd}>&-
  done
  echo "take-port: no free port of $digits digits" >&2
  return 1
}
