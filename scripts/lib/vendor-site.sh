# Sourced by the scripts that start the program (from the repository's root): the sample vendor site,
# served on the port the Windows build was configured for.

# The port of VENDOR_HOST in build/windows.
vendor_port() { grep -E '^VENDOR_HOST:' build/windows/CMakeCache.txt | sed -E 's/.*:([0-9]+)$/\1/'; }

# Serves vendor-site/ on 127.0.0.1 in the background and sets vendor_server_pid (empty when nothing
# is served); says so when the port is taken.  $1 names the caller in that message.
serve_vendor_site() {
  local port
  port=$(vendor_port)
  vendor_server_pid=""
  [ -d vendor-site ] && [[ "$port" =~ ^[0-9]+$ ]] || return 0
  python3 -m http.server "$port" --bind 127.0.0.1 --directory vendor-site >/dev/null 2>&1 &
  vendor_server_pid=$!
  sleep 0.5
  kill -0 "$vendor_server_pid" 2>/dev/null ||
    echo "$1: port $port is busy, so the sample vendor site is not served from here" >&2
}
