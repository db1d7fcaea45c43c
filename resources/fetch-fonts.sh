#!/bin/sh
# Rebuilds resources/fonts/ from the Kumbh Sans package on the npm registry
# (SIL Open Font License 1.1): the latin subset, regular (400) and bold (700),
# unpacked from WOFF2 into TrueType so Qt can load them from the bundle.
# Needs npm and woff2_decompress (Debian packages npm and woff2); neither is
# installed by tools/setup-deps.sh because the TrueType files are committed.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
version=${KUMBH_SANS_VERSION:-5.3.0}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cd "$work"
npm pack --silent "@fontsource/kumbh-sans@$version" >/dev/null
tar xzf fontsource-kumbh-sans-*.tgz
for pair in 400:Regular 700:Bold; do
    weight=${pair%%:*}
    style=${pair#*:}
    cp "package/files/kumbh-sans-latin-$weight-normal.woff2" "KumbhSans-$style.woff2"
    woff2_decompress "KumbhSans-$style.woff2"
    cp "KumbhSans-$style.ttf" "$here/fonts/"
done
cp package/LICENSE "$here/fonts/OFL.txt"
fc-scan --format '%{file}: %{family} %{style}\n' "$here"/fonts/*.ttf
