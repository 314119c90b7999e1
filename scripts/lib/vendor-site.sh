# Sourced by the scripts that start the program (from the repository's root): the sample vendor site,
# served on the port the Windows build was configured for.

# VENDOR_HOST in build/windows, and its port.
vendor_host() { sed -n 's/^VENDOR_HOST:[A-Z]*=//p' build/windows/CMakeCache.txt; }
vendor_built_port() { vendor_host | sed -E 's/.*:([0-9]+)$/\1/'; }
# The port the site is served on: the built one, or VENDOR_SITE_PORT (see scripts/run).
vendor_port() { echo "${VENDOR_SITE_PORT:-$(vendor_built_port)}"; }

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
