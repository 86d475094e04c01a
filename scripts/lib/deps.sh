# shellcheck shell=bash
# Dependencies built from Debian's sources, kept by a hash of their recipe in $KELVARON_DEPS_CACHE
# when it is set (the clean roots keep it beside their base roots): a build whose recipe is
# unchanged is unpacked rather than made again. Sourced by scripts/build-ode.sh and
# scripts/build-samemath.sh.

# Prints the key of NAME's recipe: the files it is made by and the compiler's version.
recipe_key() {  # NAME COMPILER FILE...
  local name=$1 compiler=$2; shift 2
  echo "$name-$({ cat "$@"; "$compiler" --version 2>&1 | head -n 1; } | sha256sum | cut -c 1-16)"
}
# Unpacks KEY's build into PREFIX; false when the cache has none.
restore_build() {  # KEY PREFIX
  [ -n "${KELVARON_DEPS_CACHE:-}" ] && [ -s "$KELVARON_DEPS_CACHE/$1.tar" ] || return 1
  mkdir -p "$2" && tar -xf "$KELVARON_DEPS_CACHE/$1.tar" -C "$2"
}
# Keeps PREFIX's build, without its sources, as KEY's.
keep_build() {  # KEY PREFIX
  [ -n "${KELVARON_DEPS_CACHE:-}" ] || return 0
  local part="$KELVARON_DEPS_CACHE/$1.tar.$$"
  mkdir -p "$KELVARON_DEPS_CACHE"
  tar -cf "$part" -C "$2" --exclude=./src . && mv "$part" "$KELVARON_DEPS_CACHE/$1.tar"
}
