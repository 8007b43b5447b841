#!/usr/bin/env bash
# Flies the demonstration flight: the flight computer of a build folder on
# the made-up sample data the build writes to <build>/demo, its receiver
# played by the feeder through a pseudo-terminal.
#
#   scripts/demo.sh BUILD_FOLDER [--reset-demo] [--speed N] [--wait S] [program arguments]
#
# The program gets a configuration folder of its own (XDG_CONFIG_HOME, set
# for it alone) holding its settings and a user-dirs.dirs that names the
# demo documents folder, so the user's own settings and documents are never
# opened. Both are seeded on the first run; --reset-demo seeds them again.
# The seeded settings name the task file and the glider's IGC header, so
# Flight > Declare task offers the demo task with the header filled in.
# --speed N plays the flight N times faster than real time (default 5).
# The glider first stands on the field until the pilot has declared the
# task (its C records are in a flight log of the documents folder), or for
# --wait S seconds at most (default 60; 0 takes off at once).
set -euo pipefail

build=$(cd "$1" && pwd)
shift
speed=5
wait=60
reset=0
args=()
while [ $# -gt 0 ]; do
  case $1 in
    --reset-demo) reset=1 ;;
    --speed) speed=${2:?--speed needs a number}; shift ;;
    --wait) wait=${2:?--wait needs a number of seconds}; shift ;;
    *) args+=("$1") ;;
  esac
  shift
done

demo=$build/demo
data=$demo/data
config=$demo/config
documents=$demo/documents
settings="$config/Tarnwell Software/KOR_VAN WinCE"
link=$demo/gps
if [ ! -f "$data/demo_flight.nmea" ]; then
  echo "demo.sh: no demo data in $data (build the demo_data target)" >&2
  exit 1
fi

# The home field, where the map opens before the first fix.
latitude=$(sed -n 's/^home_latitude=//p' "$data/demo_flight.txt")
longitude=$(sed -n 's/^home_longitude_west=//p' "$data/demo_flight.txt")

seed() {
  mkdir -p "$(dirname "$settings")" "$documents"
  printf 'XDG_DOCUMENTS_DIR="%s"\n' "$documents" >"$config/user-dirs.dirs"
  cat >"$settings" <<SETTINGS
kv-settings 1
# The demonstration's settings: made-up data, not for navigation.
[Settings]
MapFile=text:$data/demo_map.map
OverlayFile=text:$data/demo_overlay.map
DEMheaderFile=text:$data/demo_terrain.hdr
WaypointFile=text:$data/demo_waypoints.dta
TaskFileName=text:$data/demo_task.tsk
[Settings\\Polars]
Filename=text:$data/demo_glider.plr
UsePolar=int:1
[Settings\\Winds]
Method=int:3
[Settings\\AlarmZones]
HorGuard=text:0.50000
[NMEA]
Port=text:$link
[Options\\TaskFiles]
file=text:$data/demo_task.tsk
[Options\\Miscellaneous]
LoadMapAtStartup=int:1
InitLatitude=text:$latitude
InitLongitude=text:$longitude
[Options\\Thermals]
autoZoom=int:1
[Options\\Logging]
LogFormat=int:1
LogInterval=int:1
[IGCHeaders]
PLT=text:Demo Pilot
GTY=text:Demo Standard
GID=text:D-DEMO
SETTINGS
}
if [ "$reset" = 1 ] || [ ! -f "$settings" ] || [ ! -f "$config/user-dirs.dirs" ]; then
  seed
fi

# The feeder also ends by itself should this script be gone.
"$build/demo_feeder" --link "$link" --speed "$speed" --watch $$ \
  --hold-for "$documents" --hold "$wait" "$data/demo_flight.nmea" &
feeder=$!
trap 'kill "$feeder" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -L "$link" ] && break
  kill -0 "$feeder" 2>/dev/null || break
  sleep 0.1
done
if ! kill -0 "$feeder" 2>/dev/null; then
  echo "demo.sh: the feeder did not start" >&2
  exit 1
fi

echo "Demonstration flight at ${speed}x: made-up data, not for navigation."
status=0
XDG_CONFIG_HOME=$config "$build/KOR_VAN" ${args[@]+"${args[@]}"} || status=$?
kill "$feeder" 2>/dev/null || true
wait "$feeder" 2>/dev/null || true
trap - EXIT
exit "$status"
