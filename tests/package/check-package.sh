#!/usr/bin/env bash
# check-package.sh BUILD_DIR VERSION WORK_DIR
# Packs the build with CPack, then checks the package from outside: its name,
# its dependencies, its files, what Debian's lintian finds in it, the desktop
# entry, and that the program unpacked into a scratch root builds a chart in
# batch mode. Every failed check is reported; the exit status is 1 when any
# failed.
set -uo pipefail

build=$1
version=$2
work=$3
failures=0

fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
finish() { echo "$failures check(s) failed"; exit $((failures > 0 ? 1 : 0)); }

rm -rf "$work" && mkdir -p "$work"/{packages,root,home,config,temp,runtime,out} && chmod 700 "$work/runtime"

# --- Packing ---------------------------------------------------------------
if ! cpack --config "$build/CPackConfig.cmake" -B "$work/packages" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    fail "cpack did not build the package"
    finish
fi
deb="$work/packages/orvantis_${version}_amd64.deb"
if [ ! -f "$deb" ]; then
    ls "$work/packages" >&2
    fail "no package named orvantis_${version}_amd64.deb"
    finish
fi

# --- Dependencies ----------------------------------------------------------
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(tr ',|' '\n\n' <<<"$depends" | sed -E 's/\(.*\)//; s/:any//; s/^ +//; s/ +$//' | grep -v '^$')
for needed in libqt6core6 libqt6gui6 libqt6widgets6 zlib1g libstdc++6 libc6 \
              fonts-crosextra-carlito fonts-liberation2 libxlsxwriter4 libzip4; do
    grep -qxF "$needed" <<<"$names" || fail "Depends lacks $needed"
done
# Every dependency must name a real Debian package: each is installed here,
# as the program runs here.
for name in $names; do
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" \
        || fail "dependency $name is not an installed package"
done
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "architecture is not amd64"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not $version"

# --- Files -----------------------------------------------------------------
dpkg-deb -c "$deb" | awk '{ $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }' >"$work/files.txt"
# Exactly these files and no others (directories aside): no build-tree
# leftovers, no test programs, nothing under usr/local.
grep -v '/$' "$work/files.txt" | sort >"$work/held.txt"
sort >"$work/expected.txt" <<'FILES'
./usr/bin/orvantis -> ../lib/orvantis/orvantis
./usr/lib/orvantis/HAND-M.CUR
./usr/lib/orvantis/orvantis
./usr/lib/orvantis/modules/orvantis-windows.so
./usr/share/applications/orvantis.desktop
./usr/share/doc/orvantis/changelog.gz
./usr/share/doc/orvantis/copyright
./usr/share/icons/hicolor/128x128/apps/orvantis.png
./usr/share/icons/hicolor/16x16/apps/orvantis.png
./usr/share/icons/hicolor/24x24/apps/orvantis.png
./usr/share/icons/hicolor/256x256/apps/orvantis.png
./usr/share/icons/hicolor/32x32/apps/orvantis.png
./usr/share/icons/hicolor/48x48/apps/orvantis.png
./usr/share/icons/hicolor/64x64/apps/orvantis.png
./usr/share/icons/hicolor/scalable/apps/orvantis.svg
./usr/share/man/man1/orvantis.1.gz
FILES
diff "$work/expected.txt" "$work/held.txt" >&2 || fail "package files differ from the expected list (< expected, > held)"

# --- Debian's checker ------------------------------------------------------
# Any error or warning fails (among them: the maintainer's address, the
# copyright file, the changelog, the manual page and how it renders, icon
# sizes against their folders, a desktop entry's file types without a file
# argument).
if ! lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1; then
    cat "$work/lintian.log" >&2
    fail "lintian finds errors or warnings in the package"
fi

# --- Unpacked --------------------------------------------------------------
root="$work/root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb could not unpack the package"
program=$(readlink -f "$root/usr/bin/orvantis")
[ "$program" = "$root/usr/lib/orvantis/orvantis" ] || fail "usr/bin/orvantis resolves to $program"
[ -f "$(dirname "$program")/HAND-M.CUR" ] || fail "no cursor file in the program's folder"
if readelf -d "$program" | grep -E 'RPATH|RUNPATH' | grep -qF "$build"; then
    fail "the installed program still looks for libraries in the build tree"
fi
# The batch mode loads no window library; the windows' module finds all of
# its libraries.
if readelf -d "$program" | grep NEEDED | grep -qE 'Qt6(Widgets|PrintSupport|Network)'; then
    fail "the program itself needs a window library"
fi
if ldd "$root/usr/lib/orvantis/modules/orvantis-windows.so" | grep -q 'not found'; then
    fail "the windows' module misses a library"
fi
cmp -s "$root/usr/lib/orvantis/HAND-M.CUR" "$(dirname "$0")/../../resources/HAND-M.CUR" \
    || fail "installed cursor differs from resources/HAND-M.CUR"

changelog_top=$(zcat "$root/usr/share/doc/orvantis/changelog.gz" 2>/dev/null | head -n 1)
[[ "$changelog_top" == "orvantis ($version) "* ]] || fail "the changelog's latest entry is not $version: $changelog_top"

entry="$root/usr/share/applications/orvantis.desktop"
desktop-file-validate "$entry" || fail "desktop entry does not validate"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -x "$root/usr/bin/${exec_line%% *}" ] || fail "Exec=$exec_line is not a program in usr/bin"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon has no scalable hicolor picture"

# --- The unpacked program builds a chart -----------------------------------
cat >"$work/config/Varnholt.ini" <<'INI'
[Orvantis]
Categories=Research|Development
Tasks="Initial researching^80^8/11/2016^8/24/2016^Research^|Draft project^10^8/23/2016^11/24/2016^Development^|Sub step^50^9/1/2016^9/9/2016^Development^V"
Events=General meeting^8/12/2016^8/12/2016
INI
workbook="$work/out/chart.xls"
picture="$work/out/chart.png"
if ! env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_CONFIG_HOME="$work/config" TEMP="$work/temp" \
        XDG_RUNTIME_DIR="$work/runtime" LANG=en_US.UTF-8 \
        "$root/usr/bin/orvantis" --build-chart "$workbook" --picture "$picture" >"$work/batch.log" 2>&1; then
    cat "$work/batch.log" >&2
    fail "the installed program did not build the chart"
fi
[ "$(head -c 8 "$workbook" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = d0cf11e0a1b11ae1 ] \
    || fail "no compound-file workbook at $workbook"
[ "$(head -c 8 "$picture" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] \
    || fail "no PNG picture at $picture"
ssconvert -S -T Gnumeric_stf:stf_csv "$workbook" "$work/out/sheet.csv.%n" >/dev/null 2>&1
for text in Research Development "Initial researching" "Draft project" "Sub step" "General meeting"; do
    grep -qF "$text" "$work/out/sheet.csv.0" 2>/dev/null || fail "workbook's first sheet lacks \"$text\""
done
leftovers=$(ls -A "$work/temp")
[ -z "$leftovers" ] || fail "temporary folder keeps: $leftovers"

finish
