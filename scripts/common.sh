# Shared start of the main and test commands (sourced): the project root as the working
# directory, the build's job count, step headings, and the dependency step.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
jobs=${ORVALA_JOBS:-2}
step() { printf '\n=== %s ===\n' "$*"; }

install_dependencies() {
  step "dependencies"
  if [ "$(id -u)" -eq 0 ]; then
    scripts/install-deps.sh
  else
    sudo scripts/install-deps.sh
  fi
}
