#!/usr/bin/env bash
# Inside a brand-new minimal Debian 12 root (deb_clean_root_test.sh makes it): installs the package
# with apt-get as a user would, then uses it: --version, the licence, the icon and the metainfo in
# their places, the man pages, the replay, the relay serving the installed page on 127.0.0.1, a short full run
# on a private Xvfb display, the hack under XScreenSaver's daemon after kelvaron
# --add-to-xscreensaver; then purges it and checks that nothing of it is left.
#   tests/package/deb_install_test.sh ./kelvaron_VERSION_amd64.deb     (as root, in the fresh root)
set -euo pipefail
deb=$1
here=$(cd "$(dirname "$0")" && pwd)
for part in checks wait display screen keys settings xscreensaver relay; do . "$here/../../scripts/lib/$part.sh"; done
set +e  # the checks count failures themselves
trap stop_display EXIT
export DEBIAN_FRONTEND=noninteractive
# Test tools come after the package, so that only its own dependencies serve its first start.
apt_install() { apt-get install -y -qq --no-install-recommends "$@" > "$work/apt.log" 2>&1 || { cat "$work/apt.log"; false; }; }
version=$(dpkg-deb -f "$deb" Version)

apt-get update -qq
apt_install "$deb"
check "apt-get install $deb installs it with what it depends on" [ $? -eq 0 ]
[ "$failed" -eq 0 ] || { finish; exit 1; }
check "kelvaron --version prints the package's version" [ "$(kelvaron --version)" = "kelvaron $version" ]
check "XScreenSaver's hack folder links to it" \
  [ "$(readlink -f /usr/libexec/xscreensaver/kelvaron)" = /usr/bin/kelvaron -a -s /usr/share/xscreensaver/config/kelvaron.xml ]

check "its copyright file grants the MIT licence, a paragraph for each component built in" eval \
  'grep -q "^Copyright: 2026 the Kelvaron authors" /usr/share/doc/kelvaron/copyright &&
   [ "$(grep -c "^Files: " /usr/share/doc/kelvaron/copyright)" -eq 3 ] && grep -q "^License: Expat$" /usr/share/doc/kelvaron/copyright'
check "the desktop entry names the icon, which is there at every size and as SVG" eval \
  'grep -qx "Icon=kelvaron" /usr/share/applications/kelvaron.desktop &&
   [ "$(ls /usr/share/icons/hicolor/*/apps/kelvaron.* | wc -l)" -eq 9 ]'
apt_install appstream
metainfo=/usr/share/metainfo/io.github.kelvaron.kelvaron.metainfo.xml
appstreamcli validate --pedantic --no-net "$metainfo" > "$work/appstream.log" 2>&1
check "the metainfo file is valid" [ $? -eq 0 ]
check "... at the package's version" grep -q "<release version=\"$version\"" "$metainfo"
cat "$work/appstream.log"

apt_install man-db
check "man 6 kelvaron finds the page" [ "$(man -w 6 kelvaron)" = /usr/share/man/man6/kelvaron.6.gz ]
MANWIDTH=80 man 6 kelvaron > "$work/man.txt" 2> "$work/man.err"
check "... which renders without warnings" [ -s "$work/man.txt" -a ! -s "$work/man.err" ]
check "... with the version, the keys, the settings file and the exit statuses" eval \
  'grep -q "kelvaron $version" "$work/man.txt" && grep -q "^KEYS" "$work/man.txt" &&
   grep -q "kelvaron/kelvaron.conf" "$work/man.txt" && grep -q "^EXIT STATUS" "$work/man.txt"'
check "... and how to host a room and join one" eval \
  'grep -q "^ *--host" "$work/man.txt" && grep -q "^ *--join LINK" "$work/man.txt" && grep -q "^PLAYING TOGETHER" "$work/man.txt"'

# The replay, with its page, on the package's own libraries: the world it computes is the one the
# project's tests hold every build to (drive.keys' golden trace, first line: the world as built).
check "man 6 kelvaron-replay finds its page, which renders without warnings" eval \
  '[ "$(man -w 6 kelvaron-replay)" = /usr/share/man/man6/kelvaron-replay.6.gz ] &&
   MANWIDTH=80 man 6 kelvaron-replay 2>&1 > /dev/null | { ! grep -q .; }'
check "kelvaron-replay runs a synctest and traces the world as built" eval \
  '[ "$(kelvaron-replay --frames 30 --synctest 8)" = "synctest: 30 frames, rolled back 8 at every frame, no difference" ] &&
   [ "$(kelvaron-replay --frames 1 | head -n 1)" = "frame 0 11.75 20 5 0 0 0 12.75 30 5 0 0 0 13.75 40 5 0 0 0" ]'

# The relay, beside the program where kelvaron --host looks for it, and the page it serves.
page=/usr/share/kelvaron/web
check "kelvaron-relay --help names the installed page as its default" eval \
  'kelvaron-relay --help > "$work/relay-help.txt" && grep -q "(default: $page)" "$work/relay-help.txt"'
check "man 6 kelvaron-relay finds its page" [ "$(man -w 6 kelvaron-relay)" = /usr/share/man/man6/kelvaron-relay.6.gz ]
MANWIDTH=80 man 6 kelvaron-relay > "$work/relay-man.txt" 2> "$work/relay-man.err"
check "... which renders without warnings, with its options and exit statuses" eval \
  '[ ! -s "$work/relay-man.err" ] && grep -q "Kelvaron $version" "$work/relay-man.txt" &&
   grep -q "^ *--max-per-address N" "$work/relay-man.txt" && grep -q "^EXIT STATUS" "$work/relay-man.txt"'
# A GET over bash's own TCP: the answer, header and body, into FILE.
http_get() {  # PORT TARGET FILE
  exec 3<> "/dev/tcp/127.0.0.1/$1" || return 1
  printf 'GET %s HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n' "$2" >&3
  timeout 10 cat <&3 > "$3"
  exec 3<&-
}
# The relay answers TARGET with 200 and the installed FILE, byte for byte.
serves() {  # TARGET FILE
  local size
  size=$(stat -c %s "$2")
  http_get "$relay_port" "$1" "$work/answer" && head -n 1 "$work/answer" | grep -q "^HTTP/1.0 200 " &&
    grep -aqi "^Content-Length: $size"$'\r'"$" "$work/answer" && tail -c "$size" "$work/answer" | cmp -s - "$2"
}
start_relay kelvaron-relay "$work/relay.log"
check "kelvaron-relay starts on 127.0.0.1 with the package's page" eval \
  '[ -n "${relay_port:-}" ] && ! grep -q "no page" "$work/relay.log"'
check "... and serves it at / and at a room's link" eval 'serves / "$page/index.html" && serves "/?room=0123abcd" "$page/index.html"'
# Every file the page's service worker keeps for running offline.
mapfile -t files < <(sed -n '/const kFiles/,/];/p' "$page/sw.js" | grep -o "'[^']*'" | tr -d "'" | grep -v '^\./$')
served=0
for f in "${files[@]}"; do serves "/$f" "$page/$f" && served=$((served + 1)); done
check "... and each of the ${#files[@]} files the page keeps offline ($served served)" \
  [ "$served" -eq "${#files[@]}" -a "$served" -ge 7 ]
stop_relay

# The full run, at a stored mode the display has: the screen, with no question first.
apt_install xvfb x11-utils xdotool imagemagick
start_display 1024x768x24 || exit 1
export XDG_CONFIG_HOME="$work/config"
write_keyfile bitsPP=24 screenWidth=1024 screenHeight=768
kelvaron /s > "$work/run.log" 2>&1 &
pid=$!
win=$(wait_for_window Start 60)
check "kelvaron /s opens its window" [ -n "$win" ]
check "... and draws car 0's view" wait_for_colour "$work/run.png" 512x384+512+0 red 2000 60
# A window just put on the screen may not take keys yet: Escape is pressed again until it ends.
escape_until_ended() {
  local deadline=$((SECONDS + 60)) presses=0
  while kill -0 "$pid" 2> /dev/null && [ $SECONDS -lt $deadline ]; do
    press_escape "$win"; presses=$((presses + 1))
    wait_until 5 eval '! kill -0 "$pid" 2> /dev/null'
  done
  echo "Escape pressed $presses times"
  wait_for_exit "$pid" 1 && [ "$status" -eq 0 ]
}
check "Escape ends it with status 0" escape_until_ended
kill "$pid" 2> /dev/null

# XScreenSaver as nobody (it runs no hacks as root), with a list that has no Kelvaron until the
# command puts it in.
apt_install xscreensaver procps
make_saver_home
cat > "$home/.xscreensaver" <<'CONFIG'
mode: one
selected: 0
lock: False
fade: False
unfade: False
programs: \
  maze -root \n
CONFIG
chown nobody "$home/.xscreensaver"
check "kelvaron --add-to-xscreensaver puts it in the list" eval \
  'saver kelvaron --add-to-xscreensaver && grep -q "^  kelvaron -root" "$home/.xscreensaver"'
trap '[ -n "${daemon:-}" ] && kill "$daemon" 2> /dev/null; stop_display' EXIT
start_saver
failed_before=$failed
saver xscreensaver-command -activate > /dev/null
# XScreenSaver 6 runs it as its settings descriptor says: kelvaron --root.
hack_runs() { pgrep -f '^kelvaron --?root' > /dev/null; }
check "XScreenSaver runs the hack from its list" wait_until 60 hack_runs
check "... which draws on the screen" wait_for_colour "$work/saver.png" 512x384+512+0 red 2000 60
[ "$failed" -eq "$failed_before" ] || { ps -eo pid=,stat=,args= | grep '[k]elvaron'; tail -n 30 "$work/xscreensaver.log"; }
# How the hack ends under the daemon is xscreensaver_test.sh's matter; here it only has to go.
kill "$daemon"; wait "$daemon"
pkill -KILL -f '^kelvaron --?root'

dpkg -L kelvaron > "$work/files"
apt-get purge -y -qq kelvaron > "$work/apt.log" 2>&1
check "apt-get purge removes it" [ -z "$(dpkg-query -W -f '${db:Status-Status}' kelvaron 2> /dev/null | grep -v not-installed)" ]
check "... and dpkg's list of its files" [ -z "$(ls /var/lib/dpkg/info/kelvaron.* 2> /dev/null)" ]
# Every file and link of the package is gone, and no folder of it is left empty.
left=$(while read -r p; do
  if [ -L "$p" ] || [ -f "$p" ] || { [ -d "$p" ] && [ -z "$(ls -A "$p")" ]; }; then echo "$p"; fi
done < "$work/files")
check "... and every file it put there" [ -z "$left" ]
[ -n "$left" ] && echo "left behind: $left"
finish
