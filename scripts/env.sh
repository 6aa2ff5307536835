# Build environment shared by the run and test scripts (sourced).
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The cache is keyed on paths relative to the checkout, so a fresh clone in
# another folder reuses what an earlier build compiled.
export CCACHE_BASEDIR="$root"
export CCACHE_NOHASHDIR=true
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/marlox-ccache}"
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-5G}"
jobs="$(nproc)"
