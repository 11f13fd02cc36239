# Sourced by ./test and ./run: installs the Debian packages that are missing, saying which.
QB_PACKAGES=(
  cmake ninja-build g++ pkg-config
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev
  khard python3-vobject time
)

qb_install_missing_packages() {
  local missing=()
  local package
  for package in "${QB_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}

qb_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir"
}
