# shellcheck shell=bash
# Debian's xscreensaver daemon in the end-to-end tests, on the display display.sh started. It
# launches no hacks as root: run as root, the daemon, its commands and the hacks run as nobody, with
# a home under $work that nobody can reach.

# Makes that home, $home, and the user saver runs commands as.
make_saver_home() {
  chmod 755 "$work"
  home="$work/home"
  mkdir -p "$home"
  as_user=()
  if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$home"
    # setpriv changes the user in place, so the daemon keeps the process id it was started with.
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
  fi
}
# Runs the command as that user, in that home, on the display; saver_path goes first on its PATH.
saver() { "${as_user[@]}" env HOME="$home" DISPLAY="$DISPLAY" PATH="${saver_path:+$saver_path:}$PATH" "$@"; }
# Starts the daemon ($daemon, its log in $work/xscreensaver.log) and waits until it answers. Given a
# command line, it first writes a ~/.xscreensaver that has it as the only hack, unfaded.
start_saver() {  # [HACK-COMMAND-LINE]
  [ $# -eq 0 ] || saver sh -c "cat > '$home/.xscreensaver'" <<CONFIG
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
