# Starts the simulator pcrsim as the demo's collector, and registers the demo instruments,
# probes, cycle files and layout on the workspace's first start (pcrcal-demo-setup).
#
# The block idles at 25 °C until a calibration writes the probe coefficients, then runs the
# program of the demo cycle files from its first step (again for the second phase of a run).
#   PCR_DEMO_SIM_PORT  collector TCP port (default 5980; a busy port falls back to a free one)
#   PCR_DEMO_PROGRAM   the block's program, T:MIN,... (default 60:1,95:1,72:1); it only reaches
#                      the cycle files of a new workspace
#   PCR_DEMO_SEED      the simulator's seed (default 0); fixes the probes the probe set matches

sim_program=${PCR_DEMO_PROGRAM:-60:1,95:1,72:1}
sim_seed=${PCR_DEMO_SEED:-0}
sim_out="$workspace/pcrsim.out"

# Starts pcrsim on port $1 and sets sim_port to the port it serves; false when it did not start.
sim_start() {
  : >"$sim_out"
  "$build/sim/pcrsim" --collector-tcp "$1" --start-on-configure --program "$sim_program" --seed "$sim_seed" \
    >"$sim_out" 2>"$workspace/pcrsim.err" &
  sim_pid=$!
  local waited
  for waited in $(seq 1 50); do
    if grep -q '^collector tcp ' "$sim_out"; then
      sim_port=$(sed -n 's/^collector tcp [0-9.]*:\([0-9]*\)$/\1/p' "$sim_out" | head -n 1)
      demo_pids+=("$sim_pid")
      return 0
    fi
    if ! kill -0 "$sim_pid" 2>/dev/null; then
      wait "$sim_pid" 2>/dev/null || true
      return 1
    fi
    sleep 0.1
  done
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  return 1
}

if ! sim_start "${PCR_DEMO_SIM_PORT:-5980}"; then
  echo "demo: port ${PCR_DEMO_SIM_PORT:-5980} is not free for the simulator ($(head -n 1 "$workspace/pcrsim.err" 2>/dev/null)); taking a free port" >&2
  if ! sim_start 0; then
    echo "demo: the simulator pcrsim did not start: $(cat "$workspace/pcrsim.err" 2>/dev/null)" >&2
    exit 1
  fi
fi
echo "demo: simulated collector (pcrsim) at 127.0.0.1:$sim_port, program $sim_program"

"$build/pcrcal-demo-setup" --workspace "$workspace" --port "$sim_port" --program "$sim_program" --seed "$sim_seed"
