# shellcheck shell=bash
# Debian's xscreensaver daemon on the private display, with one hack. Needs wait.sh and display.sh.
# Sourced by the end-to-end tests of Kelvaron as a hack.

# The daemon's home, $home in $work. xscreensaver launches no hacks as root: when this runs as root,
# the daemon runs as nobody, with a home and a $work it can reach. setpriv changes the user in place,
# so the daemon keeps the process id it was started with.
make_saver_home() {
  chmod 755 "$work"
  home="$work/home"
  mkdir -p "$home"
  as_user=()
  if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
  fi
}
saver() { "${as_user[@]}" env HOME="$home" DISPLAY="$DISPLAY" "$@"; }
# Starts the daemon with this command line as its only hack, unfaded, leaving its process in $daemon
# and its log in $work/xscreensaver.log; false if it does not answer.
start_saver() {  # HACK-COMMAND-LINE
  cat > "$home/.xscreensaver" <<CONFIG
mode: one
selected: 0
timeout: 0:30:00
lock: False
splash: False
fade: False
unfade: False
programs: "Kelvaron" $1 \\n
CONFIG
  saver xscreensaver -no-splash -verbose > "$work/xscreensaver.log" 2>&1 &
  daemon=$!
  wait_until 60 eval 'saver xscreensaver-command -version > /dev/null 2>&1'
}
