# shellcheck shell=bash
# The one version, set in project() of CMakeLists.txt, and what a Windows program says of its own.
# Sourced by the package proofs.

project_version=$(sed -n 's/^project(Kelvaron VERSION \([0-9.]*\).*/\1/p' \
                  "$(dirname "${BASH_SOURCE[0]}")/../../CMakeLists.txt")
# The string after NAME in the file's version resource.
version_string() {  # FILE NAME
  strings -el "$1" | awk -v n="$2" 'found { print; exit } $0 == n { found = 1 }'
}
