# shellcheck shell=bash
# Build steps whose output goes to a log, shown only when the step fails. Sourced by scripts/run.sh,
# scripts/test.sh, scripts/package.sh, scripts/build-ode.sh and fuzz/run.sh.

# Runs the command with its output in LOG; if it fails, shows the log's end and fails.
logged() {  # LOG COMMAND...
  local log=$1; shift
  "$@" > "$log" 2>&1 || { tail -n 40 "$log" >&2; return 1; }
}
# Configures the CMake build tree DIR from SOURCE, its output in DIR.configure.log.
configure() {  # SOURCE DIR CMAKE-OPTION...
  local source=$1 dir=$2; shift 2
  logged "$dir.configure.log" cmake -S "$source" -B "$dir" "$@"
}
# Build trees configured from now on compile through ccache, if it is installed: CMake takes these
# as the trees' first launchers.
use_compiler_cache() {
  if command -v ccache > /dev/null; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  fi
}
# Prints, a line each, the CMake options that build SOURCE with Debian's flags for ARCH (hardening),
# as its packages are built. The tests' trees take them too: what they test is what is packaged, and
# the packages' builds then find every object in the compiler's cache.
debian_build_options() {  # SOURCE ARCH
  local flags=(env DEB_HOST_ARCH="$2" DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get)
  # The flags map the directory they are asked in to "."; every tree asks in SOURCE, so they agree.
  (cd "$1" && printf '%s\n' -DCMAKE_BUILD_TYPE=None \
    "-DCMAKE_CXX_FLAGS=$("${flags[@]}" CPPFLAGS) $("${flags[@]}" CXXFLAGS)" \
    "-DCMAKE_EXE_LINKER_FLAGS=$("${flags[@]}" LDFLAGS)")
}

# The seconds each stage of a long script took, as lines "NAME<TAB>SECONDS" in $KELVARON_STAGES
# (nothing is kept when it is unset). `stage NAME` ends the stage before and starts NAME; `stage`
# alone ends the last one. A stage that fails is left out, as the script stops there.
stage() {  # [NAME]
  if [ -n "${stage_name:-}" ] && [ -n "${KELVARON_STAGES:-}" ]; then
    printf '%s\t%d\n' "$stage_name" $((SECONDS - stage_start)) >> "$KELVARON_STAGES"
  fi
  stage_name=${1:-} stage_start=$SECONDS
  [ -z "$stage_name" ] || echo "== $stage_name"
}
# Prints the stages' table from FILE, with their sum; then the builds that ran beside them, named
# "beside: ...", which the sum leaves out.
print_stages() {  # FILE
  awk -F '\t' '/^beside: / { beside = beside sprintf("  %-44s %6d s\n", $1, $2); next }
    { printf "  %-44s %6d s\n", $1, $2; total += $2 }
    END { printf "  %-44s %6d s\n", "all stages", total; if (beside != "") printf "Built beside the tests:\n%s", beside }' "$1"
}
