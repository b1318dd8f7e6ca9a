# shellcheck shell=bash
# The Debian 12 packages the project builds with, and installing those that are missing.
# Sourced by scripts/quickstart and bench/run.

lexaport_packages=(build-essential cmake pkgconf git googletest libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev)

install_missing_packages() {
  local missing=()
  for p in "${lexaport_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}
