# shellcheck shell=bash
# The Debian 12 packages the project builds with, and installing those that are missing.
# Sourced by scripts/quickstart, bench/run and fuzz/run.

lexaport_packages=(build-essential cmake pkgconf git googletest libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev)

# Only for fuzz/run: clang and its runtime libraries (libFuzzer and the sanitizers). The normal
# build does not need them.
lexaport_fuzz_packages=(clang libclang-rt-14-dev)

# install_missing_packages [LIST...]: installs what is missing of the named package lists
# (array names; default lexaport_packages).
install_missing_packages() {
  local lists=("$@")
  [ ${#lists[@]} -eq 0 ] && lists=(lexaport_packages)
  local missing=() list p
  for list in "${lists[@]}"; do
    local -n packages="$list"
    for p in "${packages[@]}"; do
      dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    unset -n packages
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}
