#!/usr/bin/env bash
# Checks what an install carries: the program, its desktop entry, its icons and the licences,
# and nothing from the build's tools or tests.
#   tools/check-install.sh --tree <build dir>   installs the build into a temporary prefix
#   tools/check-install.sh --deb <file.deb>     reads the package's contents (dpkg-deb -c)
set -euo pipefail

EXPECTED=(
    bin/trevalo
    share/applications/trevalo.desktop
    share/doc/trevalo/copyright
    share/doc/trevalo/OFL.txt
)
for size in 16 24 32 48 64 128 256; do
    EXPECTED+=("share/icons/hicolor/${size}x${size}/apps/trevalo.png")
done

# One installed file a line, relative to the prefix.
listing=$(mktemp)
trap 'rm -rf "$listing" "${prefix:-}"' EXIT
case "${1:-}" in
--tree)
    prefix=$(mktemp -d)
    "${CMAKE:-cmake}" --install "$2" --prefix "$prefix" >/dev/null
    (cd "$prefix" && find . -type f | sed 's|^\./||') >"$listing"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$prefix/share/applications/trevalo.desktop"
    fi
    ;;
--deb)
    dpkg-deb -c "$2" | awk '$1 !~ /^d/ { print $NF }' | sed 's|^\./usr/||' >"$listing"
    ;;
*)
    echo "usage: $0 --tree <build dir> | --deb <file.deb>" >&2
    exit 2
    ;;
esac

status=0
for path in "${EXPECTED[@]}"; do
    if ! grep -qxF "$path" "$listing"; then
        echo "check-install: missing $path" >&2
        status=1
    fi
done
extra=$(grep -vxF -f <(printf '%s\n' "${EXPECTED[@]}") "$listing" || true)
if [ -n "$extra" ]; then
    echo "check-install: not meant to be installed:" >&2
    echo "$extra" >&2
    status=1
fi
[ $status -eq 0 ] && echo "check-install: ${#EXPECTED[@]} files as expected"
exit $status
