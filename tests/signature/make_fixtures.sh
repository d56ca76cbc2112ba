#!/bin/sh
# Writes the signature tests' files into folder $1 with Debian's minisign:
# throwaway key pairs (their public key lines as <name>.pubkey), an archive
# and the signatures the tests need. Nothing of it is kept in the sources.
set -eu
command -v minisign >/dev/null || { echo "minisign is missing; run tools/setup.sh" >&2; exit 1; }
out=$1
rm -rf "$out"
mkdir -p "$out/other" "$out/longer"
cd "$out"

for key in first second stranger; do
    minisign -G -W -p $key.pub -s $key.key >/dev/null
    sed -n 2p $key.pub | tr -d '\n' > $key.pubkey
done

sign() {
    minisign -S -s "$1.key" -m "$2" -x "$3" >/dev/null
}

# More than two of the verifier's 1 MiB reads and not a whole number of
# them, ending in a known byte.
head -c 2500000 /dev/urandom > kpwd_lobby.zip
printf 'A' >> kpwd_lobby.zip
sign first kpwd_lobby.zip signed.minisig
sign second kpwd_lobby.zip second.minisig
sign stranger kpwd_lobby.zip stranger.minisig
# The legacy form signs the file itself rather than its hash.
minisign -S -l -s first.key -m kpwd_lobby.zip -x legacy.minisig >/dev/null

# The same name over other bytes: the last byte changed, one byte more.
head -c -1 kpwd_lobby.zip > other/kpwd_lobby.zip
printf 'B' >> other/kpwd_lobby.zip
sign first other/kpwd_lobby.zip other_last_byte.minisig
cp kpwd_lobby.zip longer/kpwd_lobby.zip
printf 'A' >> longer/kpwd_lobby.zip
sign first longer/kpwd_lobby.zip longer.minisig

# The same bytes under another name.
cp kpwd_lobby.zip kpwd_lobby_old.zip
sign first kpwd_lobby_old.zip other_name.minisig
rm -r other longer kpwd_lobby_old.zip

touch fixtures.stamp
