# Sourced by the whole-run benchmarks: a scratch home, settings and
# temporary folders for the program, removed when the script ends. Sets
# $scratch.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime" \
       TEMP="$scratch/temp" TMPDIR="$scratch/temp" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$TEMP"
chmod 700 "$XDG_RUNTIME_DIR"
