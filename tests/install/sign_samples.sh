#!/bin/sh
# The sample client archive as signed channels serve it, one folder per
# case, each holding quillmoor.zip and (but for one) quillmoor.zip.minisig:
#   sign_samples.sh OUT SAMPLES KEYS
# SAMPLES holds quillmoor.zip and quillmoor_broken.zip, KEYS the throwaway
# key pairs of the signature tests (first, second, stranger).
set -eu
out=$1 samples=$2 keys=$3
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# case KEY [minisign options]: the good archive signed by KEY.
signed() {
    name=$1 key=$2
    shift 2
    mkdir -p "$out/$name"
    cp "$samples/quillmoor.zip" "$out/$name/"
    minisign -S -s "$keys/$key.key" -m "$out/$name/quillmoor.zip" -x "$out/$name/quillmoor.zip.minisig" "$@" >/dev/null
}

signed signed first
signed second second
signed stranger stranger
signed legacy first -l
signed truncated first
head -c 120 "$out/truncated/quillmoor.zip.minisig" > "$work/cut" && mv "$work/cut" "$out/truncated/quillmoor.zip.minisig"
signed garbled first
# One character of the signature line (the second) turned into another.
awk 'NR == 2 { $0 = substr($0, 1, 20) (substr($0, 21, 1) == "A" ? "B" : "A") substr($0, 22) } { print }' \
    "$out/garbled/quillmoor.zip.minisig" > "$work/garbled" && mv "$work/garbled" "$out/garbled/quillmoor.zip.minisig"

# Good signatures, but for other bytes or for another file name.
mkdir -p "$out/other_bytes" "$out/other_name" "$work/bytes"
cp "$samples/quillmoor.zip" "$out/other_bytes/"
cp "$samples/quillmoor_broken.zip" "$work/bytes/quillmoor.zip"
minisign -S -s "$keys/first.key" -m "$work/bytes/quillmoor.zip" -x "$out/other_bytes/quillmoor.zip.minisig" >/dev/null
cp "$samples/quillmoor.zip" "$out/other_name/"
cp "$samples/quillmoor.zip" "$work/quillmoor_old.zip"
minisign -S -s "$keys/first.key" -m "$work/quillmoor_old.zip" -x "$out/other_name/quillmoor.zip.minisig" >/dev/null

mkdir -p "$out/missing"
cp "$samples/quillmoor.zip" "$out/missing/"
touch "$out/signed.stamp"
