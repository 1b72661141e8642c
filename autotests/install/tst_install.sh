#!/usr/bin/env bash
# tst_install.sh <build dir> <sample service> <query driver>
# Installs the build into a temporary prefix as a user would, and checks what the user gets:
# the tree, the menu entry and the metadata as the desktop's own validators read them, one
# query through the installed launcher that leaves the history in the installed program
# folder (and, in a folder the user cannot write, still answers and says the save failed),
# an install over it that keeps the history, and the release archive.
set -euo pipefail
build=$(realpath "$1")
service=$(realpath "$2")
driver=$(realpath "$3")

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
pass() {
    echo "PASS: $*"
}

tmp=$(mktemp -d)
service_pid=
cleanup() {
    [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null
    chmod -R u+w "$tmp" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
prefix=$tmp/prefix
folder=$prefix/lib/trackoro
history=$folder/wlnum.ini

install_into() {
    if ! cmake --install "$build" --prefix "$1" >"$tmp/install.log" 2>&1; then
        cat "$tmp/install.log" >&2
        fail "cmake --install into $1"
        exit 1
    fi
}

# --- The installed tree ---------------------------------------------------------------
install_into "$prefix"
expected=(
    bin/trackoro
    lib/trackoro/trackoro lib/trackoro/trackoro_sound.so lib/trackoro/zeluna.mp3 lib/trackoro/ts.mp3 lib/trackoro/skinh.she
    share/applications/trackoro.desktop
    share/metainfo/example.velmora.trackoro.metainfo.xml
    share/icons/hicolor/48x48/apps/trackoro.png
    share/icons/hicolor/128x128/apps/trackoro.png
    share/icons/hicolor/256x256/apps/trackoro.png
)
installed=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$installed" = "$wanted" ]; then
    pass "the install holds exactly the program folder, the launcher and the desktop files"
else
    fail "installed files differ from the expected ones:"
    diff <(echo "$wanted") <(echo "$installed") >&2 || true
fi
for program in bin/trackoro lib/trackoro/trackoro; do
    [ -x "$prefix/$program" ] || fail "$program is not executable"
done
[ -e "$history" ] && fail "the install put a history file into the program folder"
for asset in zeluna.mp3 ts.mp3 skinh.she; do
    cmp -s "$build/bin/$asset" "$folder/$asset" || fail "$asset differs from the build's"
done

# --- Menu entry, icons and metadata ----------------------------------------------------
desktop=$prefix/share/applications/trackoro.desktop
if out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ]; then
    pass "desktop-file-validate: no errors, warnings or hints"
else
    fail "desktop-file-validate: $out"
fi
metainfo=$prefix/share/metainfo/example.velmora.trackoro.metainfo.xml
if out=$(appstreamcli validate --no-net "$metainfo" 2>&1); then
    pass "appstreamcli validate"
else
    fail "appstreamcli validate: $out"
fi
# The tree as a whole: the metadata's launchable is the installed menu entry.
if out=$(appstreamcli validate-tree --no-net "$prefix" 2>&1); then
    pass "appstreamcli validate-tree"
else
    fail "appstreamcli validate-tree: $out"
fi
grep -q '<release version="3.2.118"' "$metainfo" || fail "the metadata names no release 3.2.118"
icon=$(sed -n 's/^Icon=//p' "$desktop")
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ "$exec_line" = "$(basename "$prefix/bin/trackoro")" ] || fail "Exec=$exec_line is not the launcher"
for size in 48 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    if [ -f "$png" ] && [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ]; then
        dims=$(od -An -tu1 -j16 -N8 "$png" |
            awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
        [ "$dims" = "${size}x${size}" ] || fail "icon $png is $dims, not ${size}x${size}"
    else
        fail "no PNG icon '$icon' at ${size}x${size}"
    fi
done

# --- One query through the installed launcher -------------------------------------------
"$service" >"$tmp/service.log" 2>&1 &
service_pid=$!
url=
for _ in $(seq 1 200); do
    url=$(sed -n 's/^listening on //p' "$tmp/service.log")
    [ -n "$url" ] && break
    kill -0 "$service_pid" 2>/dev/null || break
    sleep 0.05
done
if [ -z "$url" ]; then
    cat "$tmp/service.log" >&2
    fail "the sample service did not start"
    exit 1
fi

number=SF1001
courier=顺丰快递
remark=爸爸衣服
# The driver is preloaded into every process the launcher starts. It is copied beside the
# prefix, where the other user can read it too (the build folder may sit in a folder only
# its owner can enter); so is a sanitizer build's leak suppression file. A sanitized
# program's runtime loads after the driver, which ASan accepts when told to.
readable=$tmp/readable
mkdir -p "$readable"
cp "$driver" "$readable/"
preload=$readable/$(basename "$driver")
libraries=$(ldd "$folder/trackoro")
if [[ "$libraries" == *libasan* ]]; then
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
    if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]]; then
        cp "${BASH_REMATCH[1]}" "$readable/lsan.supp"
        LSAN_OPTIONS=${LSAN_OPTIONS/"suppressions=${BASH_REMATCH[1]}"/suppressions=$readable/lsan.supp}
        export LSAN_OPTIONS
    fi
fi

# query <log> [command prefix...]: one query through the installed launcher, run from
# another folder so that nothing depends on the working folder. A program that is still
# running after two minutes (the driver gives up after one) is stopped and fails.
query() {
    local log=$1
    shift
    mkdir -p "$tmp/elsewhere"
    (cd "$tmp/elsewhere" &&
        timeout -k 5 120 env LD_PRELOAD="$preload" TRACKORO_DRIVE_NUMBER=$number \
            TRACKORO_DRIVE_COURIER=$courier TRACKORO_DRIVE_REMARK=$remark \
            QT_QPA_PLATFORM=offscreen "$@" "$prefix/bin/trackoro" --tracking-url "$url" \
            --update-url "${url}jc.txt" --branch-url "${url%/}" >"$log" 2>"$log.err")
}
shows() {
    grep -qxF "$2" "$1"
}

# A program folder the user cannot write, as after an install by root into a system
# prefix: the query works and the save is reported as failed. Root may write anywhere, so
# root runs it as nobody.
chmod -R go-w "$prefix"
chmod go+rx "$tmp"
as_user=()
if [ "$(id -u)" = 0 ]; then
    mkdir -p "$tmp/home"
    chown 65534:65534 "$tmp/home"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$tmp/home")
else
    chmod a-w "$folder"
fi
if query "$tmp/readonly.log" "${as_user[@]+"${as_user[@]}"}"; then
    if shows "$tmp/readonly.log" "status: 快件状态：已签收" &&
        shows "$tmp/readonly.log" "message: 历史记录保存失败!" && [ ! -e "$history" ]; then
        pass "a read-only program folder: the query is answered and the save reported as failed"
    else
        fail "a read-only program folder:"
        cat "$tmp/readonly.log" "$tmp/readonly.log.err" >&2
    fi
else
    fail "the installed program in a read-only folder ended with status $?:"
    cat "$tmp/readonly.log" "$tmp/readonly.log.err" >&2
fi
chmod u+w "$folder"

# The folder the user owns, as after ./run --install.
if query "$tmp/query.log"; then
    if shows "$tmp/query.log" "status: 快件状态：已签收" &&
        shows "$tmp/query.log" "message: 查询完毕..."; then
        pass "the installed launcher ran the query and showed its answer"
    else
        fail "the query's answer was not shown:"
        cat "$tmp/query.log" "$tmp/query.log.err" >&2
    fi
else
    fail "the installed program ended with status $?:"
    cat "$tmp/query.log" "$tmp/query.log.err" >&2
fi
printf '%s|%s|%s\r\n' "$number" "$courier" "$remark" | iconv -f UTF-8 -t GB18030 >"$tmp/expected.ini"
if cmp -s "$tmp/expected.ini" "$history"; then
    pass "wlnum.ini was written in the installed program folder"
else
    fail "wlnum.ini in the program folder is not the query's entry"
    [ -e "$history" ] && od -c "$history" | head >&2
fi
[ -e "$tmp/elsewhere/wlnum.ini" ] && fail "a history file was written in the working folder"
# The running program tells the desktop which menu entry (and so which icon) is its own.
if shows "$tmp/query.log" "desktop entry: $(basename "$desktop" .desktop)"; then
    pass "the running program names its menu entry"
else
    fail "the program does not name its menu entry: $(grep '^desktop entry' "$tmp/query.log" || true)"
fi

# --- An install over the used folder keeps the history -----------------------------------
cp "$history" "$tmp/kept.ini" 2>/dev/null || true
install_into "$prefix"
if [ -s "$tmp/kept.ini" ] && cmp -s "$tmp/kept.ini" "$history"; then
    pass "a second install kept wlnum.ini byte for byte"
else
    fail "a second install did not keep wlnum.ini"
fi

# --- The release archive ----------------------------------------------------------------
name=trackoro-3.2.118-linux-x86_64
if cpack -G TGZ --config "$build/CPackConfig.cmake" -B "$tmp/package" >"$tmp/cpack.log" 2>&1 &&
    [ -f "$tmp/package/$name.tar.gz" ]; then
    archived=$(tar -tzf "$tmp/package/$name.tar.gz" | grep -v '/$' | sed "s|^$name/||" | sort)
    if [ "$archived" = "$wanted" ]; then
        pass "the archive holds $name/ with the installed tree ($(stat -c %s "$tmp/package/$name.tar.gz") bytes)"
    else
        fail "the archive's files differ from the install's:"
        diff <(echo "$wanted") <(echo "$archived") >&2 || true
    fi
    mkdir -p "$tmp/unpacked"
    tar -xzf "$tmp/package/$name.tar.gz" -C "$tmp/unpacked"
    if [ "$("$tmp/unpacked/$name/bin/trackoro" --version)" = "Trackoro 3.2.118" ]; then
        pass "the unpacked archive's launcher runs its program"
    else
        fail "the unpacked archive's launcher does not run"
    fi
else
    cat "$tmp/cpack.log" >&2
    fail "cpack made no $name.tar.gz"
fi

echo "$failures failed"
[ "$failures" = 0 ]
