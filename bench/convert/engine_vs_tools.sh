#!/usr/bin/env bash
# Measures quorvane-batch on a 4-minute stereo track (MP3 and FLAC) against the same three tools
# chained directly with the same command lines, in one run.
#   bench/convert/engine_vs_tools.sh [BUILD_DIR]
set -euo pipefail

build=$(cd "${1:-$(dirname "$0")/../../build}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/.local/share" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$scratch/music" "$scratch/direct"
chmod 700 "$XDG_RUNTIME_DIR"
music="$scratch/music"
tempo=-1.81818181818182

echo "Making a 4-minute stereo track..."
ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=240:sample_rate=44100" \
       -f lavfi -i "sine=frequency=660:duration=240:sample_rate=44100" \
       -filter_complex "[0:a][1:a]join=inputs=2:channel_layout=stereo" -c:a pcm_s16le "$scratch/track.wav"
lame --quiet -b 192 "$scratch/track.wav" "$music/track.mp3"
ffmpeg -v error -i "$scratch/track.wav" -c:a flac "$music/track.flac"

now() { date +%s.%N; }

# The tools chained directly, with the engine's own command lines.
direct() {
    local w="$scratch/direct/"
    cd "$w"
    lame "$music/track.mp3" "${w}input.wav" --decode </dev/null >/dev/null 2>&1
    soundstretch input.wav output.wav -rate=$tempo </dev/null >/dev/null 2>&1
    lame -b 192 "${w}output.wav" "$w/track-432 Hz.mp3" </dev/null >/dev/null 2>&1
    rm -f input.wav output.wav
    ffmpeg -i "$music/track.flac" -ac 2 "${w}input.wav" </dev/null >/dev/null 2>&1
    soundstretch input.wav output.wav -rate=$tempo </dev/null >/dev/null 2>&1
    ffmpeg -i "${w}output.wav" -ac 2 -c:a flac "$w/track-432 Hz.flac" </dev/null >/dev/null 2>&1
    rm -f input.wav output.wav
}

echo "Running the tools directly..."
start=$(now); direct; end=$(now)
direct_wall=$(echo "$end - $start" | bc -l)

echo "Running quorvane-batch..."
start=$(now)
"$build/quorvane-batch" --frequency 432 --cpu-report "$music" >"$scratch/batch.out" 2>"$scratch/batch.err"
end=$(now)
batch_wall=$(echo "$end - $start" | bc -l)
engine_cpu=$(sed -n 's/^engine cpu seconds: //p' "$scratch/batch.err")
probe_cpu=$(sed -n 's/^speed probe cpu seconds: //p' "$scratch/batch.err")
check_wait=$(sed -n 's/^output check wait seconds: //p' "$scratch/batch.err")
decoded_as_written=$(sed -n 's/^outputs decoded while written: //p' "$scratch/batch.err")
cat "$scratch/batch.out"

files=2
# The batch keeps none of the window's pauses and measures no speed; its two files run side by
# side on a machine with two cores or more.
pauses=0
remainder=$(echo "$batch_wall - $direct_wall - $pauses" | bc -l)
printf '\n%-44s %8.2f s\n' "tools chained directly" "$direct_wall"
printf '%-44s %8.2f s\n' "quorvane-batch" "$batch_wall"
printf '%-44s %8.3f\n' "ratio" "$(echo "$batch_wall / $direct_wall" | bc -l)"
printf '%-44s %8.2f s\n' "prescribed pauses (none in a batch)" "$pauses"
printf '%-44s %8.3f s (%.3f s a file; goal <= 0.2)\n' "remainder beyond tools and pauses" \
       "$remainder" "$(echo "$remainder / $files" | bc -l)"
# Most of it is the checks' complete decodes of the source and of every file the tools write.
printf '%-44s %8.3f s (%.2f %% of the wall time)\n' \
       "engine's own CPU, speed probe aside" "$engine_cpu" "$(echo "100 * $engine_cpu / $batch_wall" | bc -l)"
printf '%-44s %8.3f s (the prescribed benchmark of the machine)\n' "speed probe CPU" "$probe_cpu"
printf '%-44s %8.3f s a file (%.2f %% of the tools'"'"' time; goal < 5 %%)\n' \
       "output checks beyond the pauses" "$(echo "$check_wait / $files" | bc -l)" \
       "$(echo "100 * $check_wait / $direct_wall" | bc -l)"
printf '%-44s %8s of %s\n' "outputs decoded while their encoder wrote" "${decoded_as_written:-?}" "$files"
