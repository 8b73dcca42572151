#!/usr/bin/env bash
# InstallTest.sh tree|places|deb BUILD_DIR CMAKE CPACK VERSION
#   tree:   cmake --install into a DESTDIR gives exactly the expected files; the desktop entry
#           and the AppStream metadata pass their validators (when installed), the scheduled
#           jobs' systemd user units run the installed program and pass systemd-analyze verify;
#           both programs' --version, the manual pages and the metadata carry the project's
#           VERSION
#   places: the installed quorve-plu-cli, run from a read-only folder with a fresh HOME, keeps
#           SYSTEM.CFG in ~/.config/quorve-plu/ and DEBUG.LOG and the dumps in
#           ~/.local/state/quorve-plu/, and writes nothing into the installed tree
#   deb:    cpack -G DEB makes a package of VERSION with the programs and dependencies read from
#           the libraries they link (when dpkg-deb is present), and lintian finds no hardening
#           flag missing from its programs
set -euo pipefail
part="$1" build="$2" cmake="$3" cpack="$4" version="$5"

tmp="$(mktemp -d)"
register=""
cleanup() {
    [ -n "$register" ] && kill "$register" 2>/dev/null && wait "$register" 2>/dev/null
    chmod -R u+w "$tmp" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
skip() { echo "skipped: $*"; }

install_tree() { # DESTDIR
    DESTDIR="$1" "$cmake" --install "$build" --prefix /usr >/dev/null
}

case "$part" in
tree)
    dest="$tmp/dest"
    install_tree "$dest"
    expected="usr/bin/quorve-plu
usr/bin/quorve-plu-cli
usr/bin/quorve-plu-training-register
usr/lib/systemd/user/quorve-plu-backup@.service
usr/lib/systemd/user/quorve-plu-backup@.timer
usr/lib/systemd/user/quorve-plu-report@.service
usr/lib/systemd/user/quorve-plu-report@.timer
usr/lib/udev/rules.d/60-quorve-plu-serial.rules
usr/share/applications/org.quorve.plumanager.desktop
usr/share/doc/quorve-plu/changelog.gz
usr/share/doc/quorve-plu/copyright
usr/share/icons/hicolor/scalable/apps/org.quorve.plumanager.svg
usr/share/man/man1/quorve-plu-cli.1.gz
usr/share/man/man1/quorve-plu-training-register.1.gz
usr/share/man/man1/quorve-plu.1.gz
usr/share/man/pl/man1/quorve-plu-cli.1.gz
usr/share/man/pl/man1/quorve-plu.1.gz
usr/share/metainfo/org.quorve.plumanager.metainfo.xml
usr/share/quorve-plu/guide/guide.css
usr/share/quorve-plu/guide/index.html
usr/share/quorve-plu/guide/pl/guide.css
usr/share/quorve-plu/guide/pl/index.html
usr/share/quorve-plu/translations/quorve-plu_en.qm
usr/share/quorve-plu/translations/quorve-plu_pl.qm"
    actual="$(cd "$dest" && find . -type f -o -type l | sed 's|^\./||' | grep -v '^usr/share/quorve-plu/guide/\(pl/\)\?images/' | LC_ALL=C sort)"
    [ "$actual" = "$(LC_ALL=C sort <<<"$expected")" ] ||
        fail "installed files differ:$(diff <(LC_ALL=C sort <<<"$expected") <(echo "$actual"))"
    guide="$dest/usr/share/quorve-plu/guide"
    pictures="$(grep -o 'src="images/[^"]*"' "$guide/index.html" | sed 's/src="\(.*\)"/\1/')"
    [ -n "$pictures" ] || fail "the guide shows no pictures"
    for picture in $pictures; do
        [ -s "$guide/$picture" ] || fail "the guide's $picture is not installed"
    done
    for program in quorve-plu quorve-plu-cli quorve-plu-training-register; do
        [ -x "$dest/usr/bin/$program" ] || fail "$program is not executable"
        gzip -t "$dest/usr/share/man/man1/$program.1.gz" || fail "manual page of $program"
    done
    for program in quorve-plu quorve-plu-cli; do
        said="$(env -u DISPLAY -u WAYLAND_DISPLAY "$dest/usr/bin/$program" --version)" ||
            fail "$program --version"
        [[ "$said" == "$program $version" || "$said" == "$program $version (git "* ]] ||
            fail "$program --version says \"$said\", not $version"
    done
    for page in quorve-plu quorve-plu-cli quorve-plu-training-register; do
        zcat "$dest/usr/share/man/man1/$page.1.gz" | head -1 | grep -qF "\"quorve-plu $version\"" ||
            fail "the manual page of $page is not of $version"
    done
    metainfo="$dest/usr/share/metainfo/org.quorve.plumanager.metainfo.xml"
    grep -qF "<release version=\"$version\"" "$metainfo" || fail "the metadata's newest release is not $version"
    grep -qF "<project_license>GPL-3.0-or-later</project_license>" "$metainfo" || fail "the metadata's licence"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$dest/usr/share/applications/org.quorve.plumanager.desktop" ||
            fail "desktop entry"
    else
        skip "desktop-file-validate (desktop-file-utils) is not installed"
    fi
    # The scheduled jobs' units run the installed program, and systemd takes them as written
    # (verified as instances, with the program where DESTDIR holds it).
    units="$dest/usr/lib/systemd/user"
    for unit in report backup; do
        grep -qx "ExecStart=/usr/bin/quorve-plu-cli $unit --registers %I --quiet" \
            "$units/quorve-plu-$unit@.service" || fail "ExecStart of quorve-plu-$unit@.service"
    done
    if command -v systemd-analyze >/dev/null; then
        mkdir -m 700 "$tmp/runtime" "$tmp/units"
        for file in "$units"/*; do
            name="$(basename "$file" | sed 's/@\./@Till-1./')"
            sed "s|=/usr/bin/|=$dest/usr/bin/|" "$file" >"$tmp/units/$name"
        done
        # Their Documentation= page is checked among the installed files, not by a man of this
        # machine, which looks only where pages are installed for real.
        XDG_RUNTIME_DIR="$tmp/runtime" systemd-analyze verify --user --man=no "$tmp"/units/* ||
            fail "systemd-analyze verify of the user units"
    else
        skip "systemd-analyze (systemd) is not installed"
    fi
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net "$dest/usr/share/metainfo/org.quorve.plumanager.metainfo.xml" ||
            fail "AppStream metadata"
    else
        skip "appstreamcli (appstream) is not installed"
    fi
    ;;

places)
    dest="$tmp/dest"
    install_tree "$dest"
    # What an integrator may ship: every user's first SYSTEM.CFG.
    printf '[Version]\r\nCompanyName=Shipped Shop\r\n' >"$dest/usr/share/quorve-plu/SYSTEM.CFG"
    chmod -R a-w "$dest"
    touch "$tmp/stamp"
    home="$tmp/home"
    mkdir "$home"
    bin="$dest/usr/bin"
    cli() { (cd "$bin" && env -u XDG_CONFIG_HOME -u XDG_STATE_HOME HOME="$home" "$bin/quorve-plu-cli" "$@"); }
    config="$home/.config/quorve-plu"
    state="$home/.local/state/quorve-plu"

    paths="$(cli --paths)"
    for line in "SYSTEM.CFG       $config/SYSTEM.CFG" "language file    $config/quorve-plu.LNG" \
        "DEBUG.LOG        $state/DEBUG.LOG" "TEMP.LOG         $state/TEMP.LOG" \
        "user guide       $dest/usr/share/quorve-plu/guide/index.html"; do
        grep -qxF "$line" <<<"$paths" || fail "--paths lacks \"$line\":"$'\n'"$paths"
    done
    [ ! -e "$home/.config" ] || fail "--paths made folders"
    xdg="$(cd "$bin" && HOME="$home" XDG_CONFIG_HOME="$tmp/cfg" XDG_STATE_HOME="$tmp/st" "$bin/quorve-plu-cli" --paths)"
    grep -qxF "SYSTEM.CFG       $tmp/cfg/quorve-plu/SYSTEM.CFG" <<<"$xdg" || fail "XDG_CONFIG_HOME: $xdg"
    grep -qxF "DEBUG.LOG        $tmp/st/quorve-plu/DEBUG.LOG" <<<"$xdg" || fail "XDG_STATE_HOME: $xdg"

    # The first real start makes both folders and takes the shipped SYSTEM.CFG.
    status=0
    cli test --port /nonexistent/ttyX --quiet 2>/dev/null || status=$?
    [ "$status" = 3 ] || fail "a missing port should exit 3, not $status"
    [ "$(stat -c %a "$config")" = 700 ] && [ "$(stat -c %a "$state")" = 700 ] ||
        fail "the folders are not private"
    grep -q "CompanyName=Shipped Shop" "$config/SYSTEM.CFG" || fail "the shipped SYSTEM.CFG was not copied"

    # With the installed training register on COM2: the log, the dump and uploaded parameters
    # land in the user's folders.
    "$bin/quorve-plu-training-register" --link "$tmp/ttyTRAINING" --cfg "$config/SYSTEM.CFG" \
        --port COM2 >/dev/null &
    register=$!
    for _ in $(seq 100); do [ -L "$tmp/ttyTRAINING" ] && break; sleep 0.1; done
    [ -L "$tmp/ttyTRAINING" ] || fail "the training register did not start"
    cli test --port COM2 --quiet || fail "test on the training register"
    [ -s "$state/DEBUG.LOG" ] || fail "no DEBUG.LOG in $state"
    cli dump --count 1 --quiet || fail "dump"
    [ "$(stat -c %s "$state/TEMP.BIN")" = 256 ] && [ -s "$state/TEMP.LOG" ] || fail "no dump in $state"
    mkdir "$tmp/out"
    cli upload "$tmp/out/register.PLU" --kinds param --port COM2 --quiet || fail "upload"
    grep -q "^Header1=" "$config/SYSTEM.CFG" && grep -q "CompanyName=Shipped Shop" "$config/SYSTEM.CFG" ||
        fail "the parameters did not reach $config/SYSTEM.CFG"
    written="$(find "$dest" -newer "$tmp/stamp")"
    [ -z "$written" ] || fail "written into the installed tree: $written"
    ;;

deb)
    command -v dpkg-deb >/dev/null || { skip "dpkg-deb is not installed"; exit 0; }
    # gzip: the test only needs the package, not its smallest form.
    "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/pkg" \
        -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$tmp/cpack.log" 2>&1 || {
        cat "$tmp/cpack.log"
        fail "cpack"
    }
    deb="$(ls "$tmp"/pkg/*.deb)"
    [ "$(dpkg-deb -f "$deb" Package)" = quorve-plu ] || fail "package name"
    depends="$(dpkg-deb -f "$deb" Depends)"
    for library in libc6 libqt6core6 libqt6widgets6 libqt6sql6 libqt6sql6-sqlite; do
        grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
    done
    contents="$(dpkg-deb -c "$deb")"
    for file in ./usr/bin/quorve-plu ./usr/bin/quorve-plu-cli ./usr/bin/quorve-plu-training-register \
        ./usr/lib/udev/rules.d/60-quorve-plu-serial.rules ./usr/share/quorve-plu/guide/index.html \
        ./usr/share/doc/quorve-plu/copyright; do
        grep -q " $file\$" <<<"$contents" || fail "the package lacks $file"
    done
    if grep -v ' root/root ' <<<"$contents" | grep -q .; then fail "files not owned by root"; fi
    [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
    if command -v lintian >/dev/null; then
        # Exit status 1 means tags of other kinds were found; above that lintian itself failed.
        status=0
        lintian -I "$deb" >"$tmp/lintian.txt" 2>"$tmp/lintian.err" || status=$?
        [ "$status" -le 1 ] || fail "lintian: $(cat "$tmp/lintian.err")"
        if grep 'hardening-' "$tmp/lintian.txt"; then fail "the programs lack hardening flags"; fi
    else
        fail "lintian is not installed (scripts/setup installs it)"
    fi
    ;;
*)
    fail "unknown part $part"
    ;;
esac
echo "install_$part: passed"
