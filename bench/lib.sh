# Shared by the benchmark scripts: source it, then call bench_install with the peers' packages.

# Installs the Debian packages that are missing (the peers a benchmark compares against).
bench_install() {
  local sudo=() need=() p
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
  done
  if [ ${#need[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null
  fi
}

# hyperfine CSV, label → "peer/varnolt" ratios of the mean times.
bench_ratios() {
  awk -F, -v label="$2" 'NR > 1 { mean[$1] = $2 } END {
    for (name in mean) if (name != "varnolt") printf "%s: %s/varnolt = %.2f (varnolt %.3f s, %s %.3f s)\n", label, name, mean[name] / mean["varnolt"], mean["varnolt"], name, mean[name]
  }' "$1"
}
