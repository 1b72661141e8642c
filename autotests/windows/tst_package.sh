#!/usr/bin/env bash
# Tests what tools/windows/package made in <build>: the zip's files; the unzipped program, in
# a folder with a Chinese name and started from another one, used as a user would against the
# sample service (queries, the history's bytes, an export through the save dialog, the sounds
# recorded from a real audio server, the window's glyphs); and the installer: install, a query
# with the installed program, install over a used folder, uninstall, the history (wlnum.ini)
# kept byte for byte.
#   autotests/windows/tst_package.sh <build> [<Linux build>]
# Runs the programs under the Wine prefix of <build> (tools/windows/wine-env). The Linux build
# (default build/) has the sample service and trackoro-package-check, which reads back the
# recording and the screenshot.
set -euo pipefail
build=$(realpath "$1")
project=$(realpath "$(dirname "$0")/../..")
linux_build=$(realpath "${2:-$project/build}")
source "$project/tools/windows/wine-env"
source "$project/autotests/support/recorded_audio.sh"
source "$project/autotests/windows/program_driver.sh"
trackoro_wine_env "$build"
service=$linux_build/bin/trackoro-sample-service
check=$linux_build/autotests/windows/trackoro-package-check
for tool in "$service" "$check"; do
    [ -x "$tool" ] || { echo "missing $tool (build the Linux targets first)"; exit 1; }
done
# No menu entries of Wine's for the Start-menu shortcut on this machine.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=trackoro-$version-windows-x86_64
zip=$build/$name.zip
setup=$build/$name-setup.exe
work=$(mktemp -d)
failures=0
stop_all() {
    driver_stop
    driver_audio_stop
    driver_service_stop
}
trap 'stop_all; rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() {
    echo "PASS: $*"
}
windows_path() {
    winepath_of "$1"
}

# --- The zip: exactly one folder with the program, its files, DLLs and plugins. ---------------
expected_files=(
    trackoro.exe zeluna.mp3 ts.mp3 skinh.she
    Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll
    libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll
    platforms/qwindows.dll styles/qwindowsvistastyle.dll
    tls/qschannelbackend.dll tls/qcertonlybackend.dll
)
expected=$(
    printf '%s/\n' "$name" "$name/platforms" "$name/styles" "$name/tls"
    printf "$name/%s\n" "${expected_files[@]}"
)
listed=$(unzip -Z1 "$zip")
if [ "$(LC_ALL=C sort <<<"$listed")" = "$(LC_ALL=C sort <<<"$expected")" ]; then
    pass "the zip holds $name/ with exactly the program, its files, DLLs and plugins"
else
    fail "the zip's files differ from the expected ones:"
    diff <(LC_ALL=C sort <<<"$expected") <(LC_ALL=C sort <<<"$listed") || true
fi
if grep -qi 'wlnum\.ini' <<<"$listed"; then
    fail "the zip holds a history file"
fi

unzipped=$work/"测试 文件夹"
mkdir -p "$unzipped"
unzip -q "$zip" -d "$unzipped"
folder=$unzipped/$name

# Every DLL a file of the folder loads that is not Windows' own is in the folder.
missing=$(
    cd "$folder"
    find . -name '*.exe' -o -name '*.dll' | while read -r file; do
        x86_64-w64-mingw32-objdump -p "$file" |
            awk '/DLL Name:/ && $3 ~ /^(Qt6|lib)/ { print $3 }' | while read -r dll; do
                [ -f "$dll" ] || echo "$file needs $dll"
            done
    done
)
if [ -z "$missing" ]; then
    pass "every Qt and MinGW DLL the program and plugins load is in the folder"
else
    fail "DLLs missing: $missing"
fi
# The posix thread model's runtime (its libstdc++ loads winpthread), stripped.
# A window program: started from Explorer or the Start menu it opens no console beside it.
headers=$(x86_64-w64-mingw32-objdump -p "$folder/trackoro.exe")
if ! grep -q "^Subsystem.*(Windows GUI)" <<<"$headers"; then
    fail "trackoro.exe is not a window program: $(grep "^Subsystem" <<<"$headers")"
fi

# The program's icon, the one in the sources, on trackoro.exe and on the installer: Explorer,
# the Start menu and the taskbar show it. Compared by the sizes of its images, in bytes.
icon_images() {
    local ico=$1 count i
    count=$(od -An -tu2 -j4 -N2 "$ico" | tr -d ' ')
    for i in $(seq 0 $((count - 1))); do
        od -An -tu4 -j$((6 + 16 * i + 8)) -N4 "$ico" | tr -d ' '
    done | sort -n | tr '\n' ' '
}
resource_icon_images() {
    wrestool -l "$1" | sed -n 's/.*type=icon .*size=\([0-9]*\)\].*/\1/p' | sort -n | tr '\n' ' '
}
icon=$(icon_images "$project/dist/windows/trackoro.ico")
for file in "$folder/trackoro.exe" "$setup"; do
    if [ "$(resource_icon_images "$file")" = "$icon" ]; then
        pass "$(basename "$file") carries the program's icon"
    else
        fail "$(basename "$file")'s icons ($(resource_icon_images "$file")) are not the program's ($icon)"
    fi
done

# The version resource of trackoro.exe, as the file's properties show it: the fixed file
# version and the strings, read back from the built file.
version_info=$(wrestool -x --raw --type=16 "$folder/trackoro.exe" | python3 -c '
import struct, sys
data = sys.stdin.buffer.read()
at = data.find(struct.pack("<I", 0xFEEF04BD))
ms, ls = struct.unpack_from("<II", data, at + 8) if at >= 0 else (0, 0)
print("file %d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF))
text = data.decode("utf-16-le", "replace")
for key in ("FileVersion", "ProductVersion", "ProductName", "CompanyName", "FileDescription"):
    at = text.find(key + "\0")
    if at >= 0:
        value = text[at + len(key) + 1:].lstrip("\0").split("\0")[0]
        print("%s %s" % (key, value))
')
expected_info="file ${version%.*}.0.${version##*.}
FileVersion ${version%.*}.0.${version##*.}
ProductVersion $version
ProductName Trackoro
CompanyName Velmora
FileDescription Trackoro 快递查询"
if [ "$version_info" = "$expected_info" ]; then
    pass "trackoro.exe's version resource reads ${version%.*}.0.${version##*.}, Trackoro $version"
else
    fail "trackoro.exe's version resource reads: $version_info"
fi

# (objdump's output is read whole: grep -q ending early would fail the pipe under pipefail.)
imports=$(x86_64-w64-mingw32-objdump -p "$folder/libstdc++-6.dll")
if grep -q 'DLL Name: libwinpthread-1.dll' <<<"$imports"; then
    pass "libstdc++-6.dll is the posix one"
else
    fail "libstdc++-6.dll is not the posix thread model's"
fi
for dll in libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll trackoro.exe; do
    sections=$(x86_64-w64-mingw32-objdump -h "$folder/$dll")
    if grep -q '\.debug_' <<<"$sections"; then
        fail "$dll is not stripped"
    else
        pass "$dll is stripped"
    fi
done

# --- The unzipped program, started from another working folder. -----------------------------
elsewhere=$work/"其他 目录"
mkdir -p "$elsewhere"
# answers_version <exe> <what>: <exe>, started from $elsewhere, prints "Trackoro <version>".
answers_version() {
    local output
    output=$(cd "$elsewhere" && trackoro_wine_run 60 "$(windows_path "$1")" --version 2>&1 |
        tr -d '\r') || true
    if [ "$output" = "Trackoro $version" ]; then
        pass "$2 answers --version"
    else
        fail "$2 printed '$(head -c 400 <<<"$output")' for --version, not 'Trackoro $version'"
    fi
}
answers_version "$folder/trackoro.exe" "the unzipped trackoro.exe in 测试 文件夹, started from another folder,"

# gb18030_file <file> <text>: the text (printf's escapes) in GB18030, as iconv writes it.
gb18030_file() {
    printf "$2" | iconv -f UTF-8 -t GB18030 >"$1"
}
# same_bytes <expected> <file> <what>
same_bytes() {
    if cmp -s "$1" "$2"; then
        pass "$3"
    else
        fail "$3: the bytes differ"
        { od -c "$2" 2>&1 || true; } | head -n 12 || true
    fi
}

# --- The unzipped program in use: from another folder, against the sample service. ---------
# The first courier of the list is picked by the arrow key; the remark is pasted.
use=$work/use
mkdir -p "$use"
driver_service_start "$service" "$use"
driver_audio_start "$use" || fail "no audio server to record"
if driver_start "$folder/trackoro.exe" "$elsewhere"; then
    pass "the unzipped program, started from 其他 目录, opens its window and loads"
    driver_fill_and_query SF1001 爸爸衣服 || fail "the query of SF1001 did not happen"
    gb18030_file "$use/history-1" 'SF1001|AAE快递|爸爸衣服\r\n'
    same_bytes "$use/history-1" "$folder/wlnum.ini" \
        "the history beside the unzipped program is SF1001's line in GB18030 with CR LF"
    # The same lines again: no alert.
    driver_query_again SF1001 || fail "the second query of SF1001 did not happen"
    # The window with the lines, as drawn: Chinese characters in a Chinese font give far more
    # shapes than boxes would (the main window drawn with boxes gives under 50).
    driver_window_shot "$build/package-window.png"
    if result=$("$check" glyphs "$build/package-window.png" 0 0 10000 10000 90); then
        pass "the window draws its Chinese characters, not boxes: $result"
    else
        fail "the window's characters: $result (see $build/package-window.png)"
    fi
    # The lines shown, exported through the save dialog to a file with a Chinese name.
    if driver_export "$(windows_path "$use")\\导出 列表.txt"; then
        gb18030_file "$use/export" \
'1          2026-12-03 15:21:09   已签收，签收人：本人 感谢使用顺丰\r\n'\
'2          2026-12-03 07:58:33   【上海浦东集散中心】快件已到达\r\n'\
'3          2026-12-02 05:10:17   【深圳宝安集散中心】快件已发车，下一站 上海浦东集散中心\r\n'\
'4          2026-12-02 02:44:51   【深圳宝安集散中心】快件已到达\r\n'\
'5          2026-12-01 18:30:05   【深圳】快件已发车，下一站 深圳宝安集散中心\r\n'\
'6          2026-12-01 09:12:40   【深圳】顺丰速运 已收取快件\r\n'
        same_bytes "$use/export" "$use/导出 列表.txt" \
            "the six lines shown, exported to 导出 列表.txt, in GB18030 with CR LF"
    else
        fail "the export through the save dialog did not happen"
    fi
    # EMS4004 gains a line with each query: the second one is a change.
    driver_query_number EMS4004 || fail "the query of EMS4004 did not happen"
    driver_query_again EMS4004 || fail "the second query of EMS4004 did not happen"
    gb18030_file "$use/history-2" 'SF1001|AAE快递|爸爸衣服\r\nEMS4004|AAE快递|爸爸衣服\r\n'
    same_bytes "$use/history-2" "$folder/wlnum.ini" "the history holds both numbers, in order"
    # What was still playing ends.
    sleep 1.5
    driver_stop
else
    fail "the unzipped program did not start and load"
fi
driver_audio_stop
# Heard: the start-up sound (zeluna.mp3, 1.14 s) and the change alert (ts.mp3, 0.53 s) for
# SF1001's first answer and for EMS4004's grown one; nothing for the answers that did not grow.
if result=$("$check" heard "$use/recording.raw" 1.0-1.3 0.45-0.65 0.45-0.65); then
    pass "heard the start-up sound and two change alerts, each whole"
    grep '^  at ' <<<"$result" || true
else
    fail "the sounds heard: $result"
fi

# --- The installer, per user. -----------------------------------------------------------------
local_appdata_windows=$("$TRACKORO_WINE" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
appdata_windows=$("$TRACKORO_WINE" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
local_appdata=$("$TRACKORO_WINE" winepath -u "$local_appdata_windows" 2>/dev/null)
appdata=$("$TRACKORO_WINE" winepath -u "$appdata_windows" 2>/dev/null)
installed=${local_appdata%/}/Programs/Trackoro
shortcut=${appdata%/}/Microsoft/Windows/Start\ Menu/Programs/Trackoro.lnk
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Trackoro'
if [ -z "$local_appdata_windows" ] || [ ! -d "$local_appdata" ]; then
    fail "no LOCALAPPDATA in the Wine prefix ('$local_appdata_windows')"
    exit 1
fi
clean_install() {
    rm -rf "$installed" "$shortcut"
    "$TRACKORO_WINE" reg delete "$uninstall_key" /f >/dev/null 2>&1 || true
}
clean_install
# (The X server only when this test started it: run by tools/windows/run-tests it is that one's.)
trap 'stop_all; clean_install; rm -rf "$work"; [ -z "${TRACKORO_WINE_XVFB_PID:-}" ] || trackoro_wine_stop' EXIT

install() {
    (cd "$elsewhere" && trackoro_wine_run 120 "$(windows_path "$setup")" /S) >/dev/null 2>&1
}
registered() {
    local value
    value=$("$TRACKORO_WINE" reg query "$uninstall_key" /v UninstallString 2>/dev/null) || return 1
    grep -q 'Uninstall\.exe' <<<"$value"
}
# The uninstaller copies itself to the temporary folder, starts the copy and returns; the copy
# deletes Uninstall.exe near its end.
uninstall() {
    (cd "$elsewhere" && trackoro_wine_run 60 "$(windows_path "$installed/Uninstall.exe")" /S) >/dev/null 2>&1
    local _
    for _ in $(seq 300); do
        [ ! -e "$installed/Uninstall.exe" ] && ! registered && break
        sleep 0.1
    done
    sleep 0.5
}

install || fail "the installer ended with an error"
all_there=1
for file in "${expected_files[@]}" Uninstall.exe; do
    [ -f "$installed/$file" ] || { fail "not installed: $file"; all_there=0; }
done
[ "$all_there" = 1 ] && pass "installed into %LOCALAPPDATA%\\Programs\\Trackoro"
if [ -f "$shortcut" ]; then
    pass "the Start-menu shortcut exists"
else
    fail "no Start-menu shortcut at $shortcut"
fi
if registered; then
    pass "the uninstaller is registered for the user"
else
    fail "no uninstaller registered under $uninstall_key"
fi
answers_version "$installed/trackoro.exe" "the installed trackoro.exe"

# The installed program queries and keeps its history beside itself. (No audio server now:
# the sounds are silent and nothing else changes.)
if driver_start "$installed/trackoro.exe" "$elsewhere" &&
    driver_fill_and_query YT2002 妈妈鞋子; then
    sleep 0.5
    gb18030_file "$use/history-installed" 'YT2002|AAE快递|妈妈鞋子\r\n'
    same_bytes "$use/history-installed" "$installed/wlnum.ini" \
        "the installed program queries and writes its history in its folder"
    # An install over the running program stops before it replaces a file, and says so.
    status=0
    install || status=$?
    if [ "$status" = 2 ]; then
        pass "an install while the program runs stops (exit status 2)"
    else
        fail "an install while the program runs ended with status $status, not 2"
    fi
else
    fail "the installed program did not query"
fi
driver_stop

# A history in GBK with a line the next install must not touch.
history=$work/wlnum.ini
printf '1234567890|\xd6\xd0\xcd\xa8\xbf\xec\xb5\xdd|\xb2\xe2\xca\xd4\r\nYT000111|\xd4\xb2\xcd\xa8|\r\n' >"$history"
cp "$history" "$installed/wlnum.ini"
install || fail "the install over the used folder ended with an error"
if cmp -s "$history" "$installed/wlnum.ini"; then
    pass "an install over the used folder keeps wlnum.ini byte for byte"
else
    fail "the install over the used folder changed or removed wlnum.ini"
fi

uninstall
left=()
for file in "${expected_files[@]}" Uninstall.exe platforms styles tls; do
    [ -e "$installed/$file" ] && left+=("$file")
done
if [ "${#left[@]}" = 0 ]; then
    pass "the uninstaller removed the program's files"
else
    fail "left after uninstalling: ${left[*]}"
fi
if cmp -s "$history" "$installed/wlnum.ini"; then
    pass "the uninstaller left wlnum.ini byte for byte"
else
    fail "the uninstaller removed or changed wlnum.ini"
fi
[ -e "$shortcut" ] && fail "the Start-menu shortcut is left after uninstalling"
registered && fail "the uninstaller is still registered after uninstalling"

# Without a history the uninstaller removes the folder too.
rm -f "$installed/wlnum.ini"
install || fail "the installer ended with an error"
uninstall
if [ ! -e "$installed" ]; then
    pass "without a history the uninstaller removes the folder"
else
    fail "without a history the folder is left: $(ls -A "$installed" | tr '\n' ' ')"
fi

if [ "$failures" != 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "All package checks passed."
