#!/usr/bin/env bash
# A generated library re-tuned to 432 Hz in one run, three ways: the three tools chained in a
# sequential loop, the same chain with xargs -P $(nproc), and quorvane-batch with its default
# jobs (every output checked and tagged). Then quorvane-batch's peak memory at --jobs 8 and how
# its wall time grows from FILES to 4 x FILES files.
#   bench/convert/library.sh [BUILD_DIR] [FILES]     (FILES: at least 12, default 12)
set -euo pipefail

build=$(cd "${1:-$(dirname "$0")/../../build}" && pwd)
files=${2:-12}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/.local/share" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$scratch/library" "$scratch/big"
chmod 700 "$XDG_RUNTIME_DIR"
cores=$(nproc)

# Half MP3 (192 kbit/s), half FLAC; 30 s of stereo each, every file a little different.
make_library() {
    local folder=$1 count=$2 i
    for i in $(seq 1 "$count"); do
        ffmpeg -v error -f lavfi -i "sine=frequency=$((400 + i)):duration=30:sample_rate=44100" \
               -f lavfi -i "sine=frequency=$((600 + i)):duration=30:sample_rate=44100" \
               -filter_complex "[0:a][1:a]join=inputs=2:channel_layout=stereo" \
               -c:a pcm_s16le -y "$scratch/tone.wav"
        if [ $((i % 2)) -eq 0 ]; then
            lame --quiet -b 192 "$scratch/tone.wav" "$folder/song$i.mp3"
        else
            ffmpeg -v error -i "$scratch/tone.wav" -c:a flac "$folder/song$i.flac"
        fi
    done
    rm -f "$scratch/tone.wav"
}

echo "Making a library of $files files and one of $((4 * files))..."
make_library "$scratch/library" "$files"
make_library "$scratch/big" "$((4 * files))"

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

echo "The tools chained, one file after the other..."
mkdir -p "$scratch/loop"
start=$(now)
for f in "$scratch/library"/*; do "$scratch/chain.sh" "$f" "$scratch/loop"; done
loop_wall=$(seconds_since "$start")

echo "The same chain, $cores files at once (xargs -P $cores)..."
mkdir -p "$scratch/xargs"
start=$(now)
find "$scratch/library" -type f -print0 |
    xargs -0 -P "$cores" -I{} "$scratch/chain.sh" {} "$scratch/xargs"
xargs_wall=$(seconds_since "$start")

# Runs quorvane-batch and samples its own peak memory (VmHWM) until it ends.
batch() {
    local peak=0 pid hwm
    "$build/quorvane-batch" --frequency 432 "$@" >"$scratch/batch.out" 2>"$scratch/batch.err" &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        hwm=$(sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$pid/status" 2>/dev/null || true)
        [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && peak=$hwm
        sleep 0.05
    done
    wait "$pid"
    echo "$peak"
}

echo "quorvane-batch, default jobs ($cores)..."
start=$(now)
batch "$scratch/library" >/dev/null
batch_wall=$(seconds_since "$start")
converted=$(grep -c $'\tconverted' "$scratch/batch.out" || true)

echo "quorvane-batch --jobs 8..."
peak8=$(batch --jobs 8 "$scratch/library")

echo "quorvane-batch, default jobs, $((4 * files)) files..."
start=$(now)
peak_big=$(batch "$scratch/big")
big_wall=$(seconds_since "$start")

printf '\n%-52s %8.2f s (%.2f s a file)\n' "tools chained, one after the other" "$loop_wall" \
       "$(echo "$loop_wall / $files" | bc -l)"
printf '%-52s %8.2f s (%.2f s a file)\n' "tools chained, xargs -P $cores" "$xargs_wall" \
       "$(echo "$xargs_wall / $files" | bc -l)"
printf '%-52s %8.2f s (%.2f s a file; %s of %s converted)\n' "quorvane-batch, $cores jobs" \
       "$batch_wall" "$(echo "$batch_wall / $files" | bc -l)" "$converted" "$files"
printf '%-52s %8.3f (goal <= 1.0)\n' "quorvane-batch / xargs chain" \
       "$(echo "$batch_wall / $xargs_wall" | bc -l)"
printf '%-52s %8.1f MiB (goal < 100)\n' "peak memory of quorvane-batch at --jobs 8" \
       "$(echo "$peak8 / 1024" | bc -l)"
printf '%-52s %8.2f s (%.2f s a file; x%.2f for x4 files)\n' \
       "quorvane-batch, $((4 * files)) files" "$big_wall" "$(echo "$big_wall / (4 * $files)" | bc -l)" \
       "$(echo "$big_wall / $batch_wall" | bc -l)"
printf '%-52s %8.1f MiB\n' "peak memory at $((4 * files)) files" "$(echo "$peak_big / 1024" | bc -l)"
