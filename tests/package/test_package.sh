#!/usr/bin/env bash
# Packs the build tree with cpack -G DEB in a scratch folder and checks the package:
# the program directory and nothing else under /opt/tirvon, the voice folder as the
# build made it, the desktop entries and what they point at, the control fields,
# and the maintainer scripts run against stand-ins of the system commands.
# Usage: test_package.sh <build dir> <scratch parent> <version>
set -euo pipefail
build=$1
version=$3
scratch=$(mktemp -d "$2/scratch.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    echo "FAIL: cpack could not make the package" >&2
    exit 1
fi
debs=("$scratch"/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "FAIL: expected one .deb in $scratch, found: ${debs[*]}" >&2
    exit 1
fi
deb=${debs[0]}

# --- Files -------------------------------------------------------------------
# "mode path" per entry, directories without their trailing slash.
dpkg-deb -c "$deb" | awk '{ p = $6; sub(/\/$/, "", p); print $1, p }' >"$scratch/listing"
mode_of() { awk -v p="$1" '$2 == p { print $1 }' "$scratch/listing"; }
has() { [ -n "$(mode_of "$1")" ]; }

for program in vartel config; do
    case $(mode_of "./opt/tirvon/$program") in
        -rwxr-xr-x) ;;
        '') fail "no ./opt/tirvon/$program in the package" ;;
        *) fail "./opt/tirvon/$program is not an executable: $(mode_of "./opt/tirvon/$program")" ;;
    esac
done
for f in ./opt/tirvon/help.pdf ./opt/tirvon/voice/beep.wav ./opt/tirvon/voice/alarm2.wav \
    ./usr/share/applications/tirvon-vartel.desktop ./usr/share/applications/tirvon-config.desktop \
    ./usr/share/icons/hicolor/scalable/apps/tirvon-b.svg \
    ./usr/share/doc/tirvon-b/examples/99-tirvon-modem.rules; do
    has "$f" || fail "no $f in the package"
done

# The voice folder holds exactly the sounds the build made.
(cd "$build/shipped/voice" && find . -type f | sed 's|^\./|./opt/tirvon/voice/|' | sort) >"$scratch/voice.built"
awk '$1 !~ /^d/ && $2 ~ /^\.\/opt\/tirvon\/voice\// { print $2 }' "$scratch/listing" | sort >"$scratch/voice.packed"
[ -s "$scratch/voice.built" ] || fail "the build made no voice files in $build/shipped/voice"
diff -u "$scratch/voice.built" "$scratch/voice.packed" >&2 || fail "the packed voice folder differs from shipped/voice"

# Only the programs and their shipped files go into the program directory: no
# simulator, no build tools, no tests.
unexpected=$(awk '$1 !~ /^d/ && $2 ~ /^\.\/opt\// { print $2 }' "$scratch/listing" |
    grep -Ev '^\./opt/tirvon/(vartel|config|help\.pdf|voice/.+)$' || true)
[ -z "$unexpected" ] || fail "unexpected files in the program directory: $unexpected"

# --- Control fields ------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tirvon-b ] || fail "Package is '$(field Package)', not tirvon-b"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
depends=$(field Depends)
for dep in libqt6serialport6 libqt6multimedia6 libqt6widgets6 libqt6printsupport6 libshp2 \
    qt6-qpa-plugins gstreamer1.0-plugins-base gstreamer1.0-plugins-good fonts-dejavu-core; do
    # A whole package name, with or without a version constraint.
    grep -Eq "(^|, )$dep( \\(|,|$)" <<<"$depends" || fail "Depends does not name $dep: $depends"
done

# --- Desktop entries -------------------------------------------------------------
dpkg-deb -x "$deb" "$scratch/root"
for entry in "$scratch"/root/usr/share/applications/*.desktop; do
    name=$(basename "$entry")
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" >&2 || fail "$name does not validate"
    fi
    grep -q '^\[Desktop Entry\]' "$entry" || fail "$name has no [Desktop Entry] group"
    # Cyrillic letters in UTF-8 begin with the byte D0 or D1, whatever the locale.
    LC_ALL=C grep -Eq $'^Name=.*[\xd0\xd1][\x80-\xbf]' "$entry" || fail "$name has no Russian Name"
    exec_path=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    [ -x "$scratch/root$exec_path" ] || fail "$name runs '$exec_path', which the package does not hold"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -n "$icon" ] && compgen -G "$scratch/root/usr/share/icons/hicolor/*/apps/$icon.*" >/dev/null ||
        fail "$name shows icon '$icon', which the package does not hold"
done

# --- Maintainer scripts ------------------------------------------------------------
dpkg-deb -e "$deb" "$scratch/control"
for script in postinst postrm; do
    [ -x "$scratch/control/$script" ] || { fail "no executable $script"; continue; }
    sh -n "$scratch/control/$script" || fail "$script is not valid sh"
done

# Stand-ins for the commands the scripts may call: each logs its call; getent
# finds the group once addgroup has made it.
stubs=$scratch/stubs
mkdir -p "$stubs"
for cmd in addgroup groupadd delgroup groupdel deluser chgrp chmod chown rm rmdir; do
    printf '#!/bin/sh\necho "%s $*" >>"%s/calls"\n' "$cmd" "$scratch" >"$stubs/$cmd"
done
printf '#!/bin/sh\necho "addgroup $*" >>"%s/calls"\ntouch "%s/group-made"\n' "$scratch" "$scratch" >"$stubs/addgroup"
printf '#!/bin/sh\n[ "$1 $2" = "group tirvon" ] && [ -e "%s/group-made" ]\n' "$scratch" >"$stubs/getent"
chmod +x "$stubs"/*
run_script() { : >"$scratch/calls"; PATH="$stubs:$PATH" sh "$scratch/control/$1" "$2"; }

if [ -x "$scratch/control/postinst" ]; then
    run_script postinst configure || fail "postinst configure failed"
    grep -qx 'addgroup --system tirvon' "$scratch/calls" || fail "postinst did not make the system group tirvon"
    grep -qx 'chgrp tirvon /opt/tirvon' "$scratch/calls" || fail "postinst did not give /opt/tirvon to tirvon"
    grep -qx 'chmod 2775 /opt/tirvon' "$scratch/calls" || fail "postinst did not make /opt/tirvon 2775"
    # Configured again (an upgrade), the group is there already.
    run_script postinst configure || fail "postinst failed when the group exists"
    ! grep -q '^addgroup' "$scratch/calls" || fail "postinst made the group again"
    grep -qx 'chmod 2775 /opt/tirvon' "$scratch/calls" || fail "postinst did not keep /opt/tirvon 2775"
fi
if [ -x "$scratch/control/postrm" ]; then
    for action in remove purge; do
        run_script postrm "$action" || fail "postrm $action failed"
        [ ! -s "$scratch/calls" ] || fail "postrm $action touched the operators' files or group: $(cat "$scratch/calls")"
    done
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package $(basename "$deb") checked"
