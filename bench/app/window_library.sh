#!/usr/bin/env bash
# A generated library (MP3 and FLAC, 30 s each) re-tuned to 432 Hz in one run, three ways: the
# window driven offscreen through its controls (one job per core), quorvane-batch with its
# default jobs, and the three tools chained with xargs -P $(nproc), all three taking the files in
# the list's order (by name), so that no way gains from a luckier order. Then the window's
# responsiveness with 8 jobs (the event loop's longest lateness during a whole run, and the time
# from a click on Abort to the run's end), and the share of one file's time the output checks take.
#   bench/app/window_library.sh [BUILD_DIR] [FILES]     (FILES: at least 8, default 8)
set -euo pipefail

build=$(cd "${1:-$(dirname "$0")/../../build}" && pwd)
files=${2:-8}
[ "$files" -ge 8 ] || files=8
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/.local/share" XDG_RUNTIME_DIR="$scratch/run"
export XDG_CONFIG_HOME="$scratch/home/.config"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$scratch/library"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen QUORVANE_MESSAGES=stderr
cores=$(nproc)

echo "Making a library of $files files..."
for i in $(seq 1 "$files"); do
    ffmpeg -v error -f lavfi -i "sine=frequency=$((400 + i)):duration=30:sample_rate=44100" \
           -f lavfi -i "sine=frequency=$((600 + i)):duration=30:sample_rate=44100" \
           -filter_complex "[0:a][1:a]join=inputs=2:channel_layout=stereo" \
           -c:a pcm_s16le -y "$scratch/tone.wav"
    if [ $((i % 2)) -eq 0 ]; then
        lame --quiet -b 192 "$scratch/tone.wav" "$scratch/library/song$i.mp3"
    else
        ffmpeg -v error -i "$scratch/tone.wav" -c:a flac "$scratch/library/song$i.flac"
    fi
done
rm -f "$scratch/tone.wav"

# One file through the tools with the engine's command lines, in a work folder of its own.
cat >"$scratch/chain.sh" <<'CHAIN'
#!/usr/bin/env bash
set -e
source=$1 out=$2 tempo=-1.81818181818182
work=$(mktemp -d); cd "$work"
name=$(basename "${source%.*}")
case "$source" in
    *.mp3) lame "$source" input.wav --decode ;;
    *) ffmpeg -i "$source" -ac 2 input.wav ;;
esac </dev/null >/dev/null 2>&1
soundstretch input.wav output.wav -rate=$tempo </dev/null >/dev/null 2>&1
case "$source" in
    *.mp3) lame -b 192 output.wav "$out/$name-432 Hz.mp3" ;;
    *) ffmpeg -i output.wav -ac 2 -c:a flac "$out/$name-432 Hz.flac" ;;
esac </dev/null >/dev/null 2>&1
cd /; rm -rf "$work"
CHAIN
chmod +x "$scratch/chain.sh"

now() { date +%s.%N; }
seconds_since() { echo "$(now) - $1" | bc -l; }
# Runs a command and prints the processor time it and its children took (user + system).
TIMEFORMAT='%U %S'
cpu_of() {
    local times
    times=$({ time "$@" >/dev/null 2>&1; } 2>&1)
    echo "$times" | awk '{ print $1 + $2 }'
}

echo "The tools chained, $cores files at once (xargs -P $cores)..."
mkdir -p "$scratch/xargs"
chain_all() {
    find "$scratch/library" -type f -print0 | LC_ALL=C sort -z |
        xargs -0 -P "$cores" -I{} "$scratch/chain.sh" {} "$scratch/xargs"
}
start=$(now)
xargs_cpu=$(cpu_of chain_all)
xargs_wall=$(seconds_since "$start")

echo "quorvane-batch, default jobs ($cores)..."
batch_all() {
    "$build/quorvane-batch" --frequency 432 "$scratch/library" >"$scratch/batch.out" 2>"$scratch/batch.err"
}
start=$(now)
batch_cpu=$(cpu_of batch_all || true)
batch_wall=$(seconds_since "$start")
batch_converted=$(grep -c $'\tconverted' "$scratch/batch.out" || true)
rm -rf "$HOME/Documents/Quorvane"

echo "The window, $cores files at once, through its controls..."
read -r window_wall window_converted window_rows window_late < <(
    "$build/bench/window_library_bench" "$build" "$scratch/library" "$cores" 2>"$scratch/window.err" ||
        true)
rm -rf "$HOME/Documents/Quorvane"

echo "The window with 8 jobs: a whole run, then a run aborted after 1.5 s..."
read -r _ _ _ late8 < <(
    "$build/bench/window_library_bench" "$build" "$scratch/library" 8 2>>"$scratch/window.err" ||
        true)
rm -rf "$HOME/Documents/Quorvane"
read -r _ _ _ abort_late8 abort8 < <(
    "$build/bench/window_library_bench" "$build" "$scratch/library" 8 1500 2>>"$scratch/window.err" ||
        true)
rm -rf "$HOME/Documents/Quorvane"

echo "The output checks' share of one file, and quorvane-batch against the tools chained..."
bash "$(dirname "$0")/../convert/engine_vs_tools.sh" "$build" >"$scratch/one.out" 2>/dev/null || true
check_share=$(sed -n "s/^output checks beyond the pauses.*(\([0-9.]*\) % of the tools.*/\1/p" "$scratch/one.out")
one_file=$(sed -n 's/^ratio *\([0-9.]*\)$/\1/p' "$scratch/one.out")

printf '\n%-44s %8.2f s (%.2f s a file)\n' "tools chained, xargs -P $cores" "$xargs_wall" \
       "$(echo "$xargs_wall / $files" | bc -l)"
printf '%-44s %8.2f s (%s of %s converted)\n' "quorvane-batch, $cores jobs" "$batch_wall" \
       "$batch_converted" "$files"
printf '%-44s %8.2f s (%s of %s converted)\n' "the window, $cores jobs" "${window_wall:-0}" \
       "${window_converted:-0}" "${window_rows:-$files}"
printf '%-44s %8.3f (goal <= 1.25)\n' "window / batch" "$(echo "${window_wall:-0} / $batch_wall" | bc -l)"
printf '%-44s %8s ms (goal <= 100)\n' "window, $cores jobs: longest event-loop lateness" "${window_late:-?}"
printf '%-44s %8s ms (goal <= 100)\n' "window, 8 jobs: longest event-loop lateness" \
       "$(printf '%s' "${late8:-?}")"
printf '%-44s %8s ms (goal <= 100; lateness %s ms)\n' "window, 8 jobs: Abort click to the run's end" \
       "${abort8:-?}" "${abort_late8:-?}"
printf '%-44s %8.3f (goal <= 1.0)\n' "batch / xargs chain" "$(echo "$batch_wall / $xargs_wall" | bc -l)"
# On cores all busy with tools, what the batch checks beyond the chain is wall time too.
printf '%-44s %8.2f s against %.2f s (%.3f)\n' "processor time, batch against xargs chain" \
       "$batch_cpu" "$xargs_cpu" "$(echo "$batch_cpu / $xargs_cpu" | bc -l)"
printf '%-44s %8s %% (goal < 5)\n' "output checks' share of one file" "${check_share:-?}"
printf '%-44s %8s (goal <= 1.10)\n' "quorvane-batch / tools chained, one file" "${one_file:-?}"
