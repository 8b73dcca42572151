#!/usr/bin/env bash
# Remakes the user guide's pictures (docs/guide/images/*.png) from the real program: it runs on
# a virtual screen (Xvfb) under openbox beside the simulated register, xdotool drives it with
# the keyboard and the mouse as a user would, and each picture is one window with its frame.
#
#   docs/screenshots.sh [--lang pl] [BUILD_DIR]
#
# BUILD_DIR holds bin/quorve-plu, bin/quorve-plu-cli and bin/quorve-sim (default build-release,
# built here as scripts/run builds it). With --lang pl the program runs in pl_PL.UTF-8 and the
# pictures of the Polish guide (docs/guide/pl/images) are made. Needs xvfb, openbox, xdotool and imagemagick. Run it
# after a change that shows in a window, look at the pictures, and commit them with the change.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
lang=en
if [ "${1:-}" = "--lang" ]; then
    lang="$2"
    shift 2
fi
case "$lang" in
en) images="$root/docs/guide/images" ;;
pl) images="$root/docs/guide/pl/images" ;;
*) echo "--lang takes en or pl" >&2; exit 2 ;;
esac
mkdir -p "$images"

# The windows' titles and the menus' and buttons' mnemonics in each language.
if [ "$lang" = pl ]; then
    locale=pl_PL.UTF-8
    t_main='Menedżer PLU Quorve' t_import='Import' t_settings='Ustawienia komunikacji'
    t_download='Wysyłanie do kasy' t_compare='Porównanie z kasą' t_backups='Kopie zapasowe kasy'
    t_detect='Wykryj port' t_about='O programie...' t_connect_error='Łączenie\.\.\.Błąd!'
    m_comm=alt+k m_help=alt+c i_settings=u i_compare=r i_backups=z i_detect=w i_about=o
    b_device=alt+u b_close=alt+z b_no=n t_history='Historia' b_journal=alt+z b_sales=alt+s
    t_registers='Kasy' i_registers=l till1=Kasa-1 till2=Kasa-2 office=Biuro front=Przód back=Tył front_x=40
else
    locale=C.UTF-8
    t_main='Quorve PLU manager' t_import='Import' t_settings='Communication setting'
    t_download='Download data' t_compare='Compare with register' t_backups='Register backups'
    t_detect='Detect port' t_about='About...' t_connect_error='Connect\.\.\.Error!'
    m_comm=alt+c m_help=alt+h i_settings=s i_compare=m i_backups=b i_detect=d i_about=a
    b_device=alt+d b_close=alt+c b_no=n t_history='History' b_journal=alt+j b_sales=alt+a
    t_registers='Registers' i_registers=g till1=Till-1 till2=Till-2 office=Office front=Front back=Back front_x=140
fi

for tool in Xvfb openbox xdotool import; do
    command -v "$tool" >/dev/null || {
        echo "$tool is missing: sudo apt-get install xvfb openbox xdotool imagemagick" >&2
        exit 1
    }
done

build="${1:-$root/build-release}"
if [ $# -eq 0 ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQPLU_TESTS=OFF >/dev/null
    cmake --build "$build" --target quorve-plu quorve-plu-cli quorve-sim
fi

# The program runs as installed (a bin folder beside share/quorve-plu) for a user whose home is
# a fresh folder, so the pictures show what a shop sees and nothing of the build is touched.
work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/bin" "$work/share/quorve-plu" "$work/home/.config/quorve-plu" \
    "$work/home/.local/state/quorve-plu"
cp "$build/bin/quorve-plu" "$build/bin/quorve-plu-cli" "$build/bin/quorve-sim" "$work/bin/"
# The build's translations where an installed program looks first, so a .qm made since the
# programs were linked shows.
if [ -d "$build/bin/translations" ]; then
    cp -r "$build/bin/translations" "$work/share/quorve-plu/"
fi
export HOME="$work/home" LANG="$locale" LC_ALL="$locale" ASAN_OPTIONS=detect_leaks=0
unset XDG_CONFIG_HOME XDG_STATE_HOME
cfg="$HOME/.config/quorve-plu/SYSTEM.CFG"
state="$HOME/.local/state/quorve-plu"
printf '[Comm]\r\nPort=2\r\nBaudRate=4\r\n[Version]\r\nCompanyName=Corner Shop Ltd.\r\n' >"$cfg"

# QPLU_SHOTS_DISPLAY picks where the search for a free display starts (shared machines).
display="${QPLU_SHOTS_DISPLAY:-10}"
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
export DISPLAY=":$display"
Xvfb "$DISPLAY" -screen 0 1024x700x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

# A simulated register on a port name: its link, and [Ports] of SYSTEM.CFG pointing at it.
start_register() { # PORT NAME [FLAGS...]
    local port="$1" name="$2"
    shift 2
    "$work/bin/quorve-sim" --link "$state/$name" --cfg "$cfg" --port "$port" \
        --rate 0 "$@" >/dev/null &
    register=$!
    pids+=($!)
    for _ in $(seq 50); do [ -L "$state/$name" ] && return; sleep 0.1; done
    echo "the simulated register did not start" >&2
    exit 1
}

# The newest visible window with this exact title.
window() {
    xdotool search --sync --onlyvisible --name "^$1\$" | tail -1
}
# The window that has the focus once it has changed from the one given.
next_active() {
    local before="$1" now
    for _ in $(seq 300); do
        now="$(xdotool getactivewindow 2>/dev/null || true)"
        [ -n "$now" ] && [ "$now" != "$before" ] && { echo "$now"; return; }
        sleep 0.1
    done
    echo "no new window appeared" >&2
    exit 1
}
shot() { # WINDOW NAME
    sleep 0.6 # let it paint
    import -frame -window "$1" "$images/$2.png"
    echo "${images#"$root"/}/$2.png"
}
key() { xdotool key "$@"; sleep 0.3; }

# At the pace of a real line, so the progress window can be seen.
start_register COM2 ttySIM --wire-time
main_register=$register
(cd "$HOME" && "$work/bin/quorve-plu" >/dev/null 2>&1) &
pids+=($!)
main="$(window "$t_main")"
xdotool windowactivate --sync "$main"
sleep 1
# A click on the first Name cell gives the grid the focus, as a user's first click does.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" 260 120 click 1

# Test data. X keeps Ctrl+Alt+Fn for switching consoles; with Shift the key reaches the program.
key shift+ctrl+alt+F3
key F7          # the register's report into the pane
sleep 2
shot "$main" main-window

# The find bar on a piece of a name; Esc leaves the cursor on the match.
key ctrl+f
xdotool type --delay 80 plu-12
key Return
shot "$main" find-bar
key Escape

# A shop system's price list in Polish: its header names the columns, the VAT rate is ignored.
printf '%s\r\n' 'Kod kreskowy;Nazwa;Cena brutto;Dział;Ilość;Stawka VAT' \
    '5900000000017;Mleko 3,2%;2,49;2;24;5' '5900000000024;Chleb żytni;4,30;1;12;5' \
    '5900000000031;Masło ekstra;7,99;2;8,5;5' '5900000000048;Sok jabłkowy 1 l;5,20;3;30;23' \
    >"$HOME/cennik.csv"
key ctrl+i
chooser="$(window "$t_import")"
xdotool type --delay 40 "$HOME/cennik.csv"
key Return
importer=""
for _ in $(seq 100); do
    importer="$(xdotool search --onlyvisible --name "^$t_import\$" 2>/dev/null |
        grep -vx "$chooser" | tail -1 || true)"
    [ -n "$importer" ] && break
    sleep 0.1
done
[ -n "$importer" ] || { echo "the import dialog did not appear" >&2; exit 1; }
shot "$importer" import-dialog
key Escape

# The settings with COM1 chosen: a device of the machine's own list rather than the training
# register's link, which no list holds. Cancel keeps COM2.
key $m_comm $i_settings
settings="$(window "$t_settings")"
key $b_device shift+Tab Up
shot "$settings" comm-setting
key Escape

key F9
download="$(window "$t_download")"
key space Tab Tab ctrl+a # tick PLU, then the last PLU number
xdotool type --delay 80 10000
shot "$download" download-dialog
key Return
progress="$(next_active "$main")"
sleep 4
shot "$progress" progress
key Escape
sleep 1

# The cancelled download left the register behind the document: compare the first 200 PLUs.
key $m_comm $i_compare
compare_dialog="$(window "$t_compare")"
key Tab Tab ctrl+a # every kind is ticked; the last PLU number
xdotool type --delay 80 200
key Return
comparison=""
for _ in $(seq 600); do
    comparison="$(xdotool search --onlyvisible --name "^$t_compare\$" 2>/dev/null |
        grep -vx "$compare_dialog" | tail -1 || true)"
    [ -n "$comparison" ] && break
    sleep 0.1
done
[ -n "$comparison" ] || { echo "the comparison did not appear" >&2; exit 1; }
shot "$comparison" compare
key $b_close # Close

# One backup made by the command line, then the list of backups.
(cd "$HOME" && "$work/bin/quorve-plu-cli" backup --range 1-200 --quiet >/dev/null)
key $m_comm $i_backups
backups="$(window "$t_backups")"
shot "$backups" backups
key Escape

# The history: the report of F7, the operations so far, and the sales the backup read.
key ctrl+h
history="$(window "$t_history")"
shot "$history" history-reports
key $b_journal
shot "$history" history-journal
key $b_sales
shot "$history" history-sales
key Escape

# Detection finds nothing on COM1 (a register that never answers) and the register on COM2.
start_register COM1 ttySILENT --silent 1000000
key $m_comm $i_detect
detect="$(window "$t_detect")"
key Return
question="$(next_active "$detect")"
key $b_no # "Port found! Do you want to apply it?" No
shot "$detect" detect-port
key Escape

key $m_help $i_about
about="$(window "$t_about")"
shot "$about" about
key Escape

# A port whose device is gone: the register on COM2 is switched off and its link removed.
kill "$main_register" 2>/dev/null || true
sleep 0.5
key $m_comm Down Down Return # Test
box="$(next_active "$main")"
shot "$box" open-error
key Return

# A port that opens but where nothing answers: COM1's silent register. The settings dialog
# reads the file again when it opens, even when it is then cancelled.
sed -i 's/^Port=2/Port=1/' "$cfg"
key $m_comm $i_settings
window "$t_settings" >/dev/null
key Escape
key $m_comm Down Down Return # Test
progress="$(next_active "$main")"
for _ in $(seq 300); do
    xdotool search --onlyvisible --name "$t_connect_error" >/dev/null 2>&1 && break
    sleep 0.1
done
shot "$progress" connect-error
key Return

# Several registers: a list of three made on the command line, each on a simulated register of
# its own (the third hangs up midway), and the program started again to find it.
kill "$(xdotool getwindowpid "$main")" 2>/dev/null || true
sleep 1
mkdir -p "$work/dev"
for n in 1 2 3; do
    flags=(--wire-time)
    [ "$n" = 3 ] && flags+=(--hangup-after 120)
    "$work/bin/quorve-sim" --link "$work/dev/ttyUSB$n" --rate 0 "${flags[@]}" >/dev/null &
    pids+=($!)
    for _ in $(seq 50); do [ -L "$work/dev/ttyUSB$n" ] && break; sleep 0.1; done
done
cli() { (cd "$HOME" && "$work/bin/quorve-plu-cli" "$@" --quiet >/dev/null); }
cli registers add "$till1" --port "$work/dev/ttyUSB1" --baud 115200 --group "$front"
cli registers add "$till2" --port "$work/dev/ttyUSB2" --baud 115200 --group "$front"
cli registers add "$office" --port "$work/dev/ttyUSB3" --baud 115200 --group "$back"
(cd "$HOME" && "$work/bin/quorve-plu" >/dev/null 2>&1) &
pids+=($!)
main="$(xdotool search --sync --onlyvisible --name "^$t_main" | tail -1)"
xdotool windowactivate --sync "$main"
sleep 1
xdotool mousemove --window "$main" 260 120 click 1
key shift+ctrl+alt+F3
shot "$main" register-chooser

key $m_comm $i_registers
registers="$(window "$t_registers")"
# Wide enough for the last contact beside a long device path.
xdotool windowsize --sync "$registers" 1000 330
xdotool windowmove --sync "$registers" 8 60
key alt+t # Test all
sleep 4
shot "$registers" registers
key Escape

key F9
download="$(window "$t_download")"
key space Tab Tab ctrl+a
xdotool type --delay 80 3000
# The group of the two tills ticks both beside the chosen office (groups sort by name).
xdotool mousemove --window "$download" "$front_x" 267 click 1
sleep 0.3
shot "$download" download-registers
key Return
jobs="$(next_active "$main")"
xdotool windowsize --sync "$jobs" 1000 330
xdotool windowmove --sync "$jobs" 8 60
sleep 5
shot "$jobs" register-jobs
key Escape
echo "done; look at the pictures before committing them"
