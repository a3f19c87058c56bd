#!/usr/bin/env bash
# Shared set-up for the end-to-end checks of the real programs: a private X
# server (Xvfb), a private CUPS scheduler (own configuration and socket, named
# by CUPS_SERVER) whose default is a "PDF" queue (cups-pdf, pdftocairo
# renderer), waiting for a printed PDF, and clean-up.
#
# Use:  source tests/e2e/lib.sh; e2e_init; e2e_start_xvfb; e2e_start_cups; ...
# Register each check with ctest's SKIP_RETURN_CODE 77 (Xvfb cannot run at
# all) and RESOURCE_LOCK sleeve_e2e_cups (cups-pdf writes the jobs of every
# scheduler into one folder: the checks take turns).
# Every process started here is ended by e2e_cleanup, which runs on exit.

# How long a wait for the programs may last. Generous, as the machine may be
# busy; every wait ends as soon as its condition holds.
E2E_WAIT=${E2E_WAIT:-60}

E2E_TMP=""
E2E_XVFB_PID=""
E2E_CUPSD_PID=""
E2E_PIDS=()

e2e_log() { echo "e2e: $*" >&2; }
e2e_fail() { echo "e2e: FAIL: $*" >&2; exit 1; }
e2e_skip() { echo "e2e: SKIP: $*" >&2; exit 77; }

# e2e_until SECONDS COMMAND...: runs COMMAND until it succeeds (status 0) or
# SECONDS have passed (status 1), looking again every tenth of a second.
e2e_until()
{
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}

e2e_init()
{
    # One PDF folder per user (cups-pdf's): checks from other checkouts or
    # build trees take turns with ours.
    exec 9>"${TMPDIR:-/tmp}/sleeve-e2e.lock"
    flock 9
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/sleeve-e2e.XXXXXX")
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    export XDG_RUNTIME_DIR="$E2E_TMP/xdg"
    mkdir -m 700 -p "$XDG_RUNTIME_DIR"
    # Recovery copies of the programs under test stay with the check, not in the user's state.
    export XDG_STATE_HOME="$E2E_TMP/state"
    unset QT_QPA_PLATFORM
    export QT_FONT_DPI=96
}

# Starts a program in the background and ends it at clean-up.
e2e_spawn()
{
    "$@" &
    E2E_PIDS+=($!)
}

# True once display :$1 answers.
e2e_display_answers() { [ -e "/tmp/.X11-unix/X$1" ] && xdpyinfo -display ":$1" >/dev/null 2>&1; }
# True once our Xvfb answers on :$1 or has ended.
e2e_xvfb_settled() { ! kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_display_answers "$1"; }
# True when the server holding :$1 is ours: two checks starting at once may both try the same
# display, and the one that lost would otherwise use the winner's, which goes when it ends.
e2e_xvfb_ours() { [ "$(tr -d ' \n' <"/tmp/.X$1-lock" 2>/dev/null)" = "$E2E_XVFB_PID" ]; }

# -noreset: a server that resets when its last client leaves drops a client that connects
# meanwhile (a program starting while xdotool or xdpyinfo ends), and Qt aborts for want of a
# display. bench/startloop.sh counts such starts with and without it.
E2E_XVFB_ARGS=(-noreset)

# Xvfb on the first free display from :90 on; exports DISPLAY.
e2e_start_xvfb()
{
    command -v Xvfb >/dev/null || e2e_skip "Xvfb is not installed"
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 "${E2E_SCREEN:-1280x1024}x24" -nolisten tcp "${E2E_XVFB_ARGS[@]}" >"$E2E_TMP/xvfb.log" 2>&1 &
        E2E_XVFB_PID=$!
        # An Xvfb that ends lost a race for the display, or cannot run here.
        if e2e_until "$E2E_WAIT" e2e_xvfb_settled "$n" && kill -0 "$E2E_XVFB_PID" 2>/dev/null &&
            e2e_xvfb_ours "$n"; then
            export DISPLAY=":$n"
            return 0
        fi
        kill "$E2E_XVFB_PID" 2>/dev/null || true
        wait "$E2E_XVFB_PID" 2>/dev/null || true
        E2E_XVFB_PID=""
        grep -qi 'cannot establish\|server is already active' "$E2E_TMP/xvfb.log" || e2e_display_answers "$n" ||
            break
    done
    e2e_skip "Xvfb cannot run here: $(tail -n 3 "$E2E_TMP/xvfb.log" 2>/dev/null | tr '\n' ' ')"
}

# openbox on our display (E2E_SCREEN=WxH before e2e_start_xvfb sizes the screen), ended at clean-up.
e2e_start_wm()
{
    e2e_spawn openbox --sm-disable 2>"$E2E_TMP/openbox.log"
    e2e_until "$E2E_WAIT" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>&1 | grep -q "window id"' || e2e_fail "no openbox"
}
# e2e_frame_on_screen WINDOW: true when its client area grown by its _NET_FRAME_EXTENTS lies on the screen.
e2e_frame_on_screen()
{
    local l=0 r=0 t=0 b=0 x y w h sw sh
    read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$' | tr -d ,)
    read -r x y w h _ _ sw sh < <({ xwininfo -id "$1"; xwininfo -root; } |
        awk -F: '/Absolute upper-left [XY]|  Width|  Height/ {printf "%d ", $2}')
    [ $((x - l)) -ge 0 ] && [ $((y - t)) -ge 0 ] && [ $((x + w + r)) -le "$sw" ] && [ $((y + h + b)) -le "$sh" ]
}

e2e_cupsd_answers() { lpstat -r 2>/dev/null | grep -q 'is running'; }
e2e_cupsd_settled() { ! kill -0 "$E2E_CUPSD_PID" 2>/dev/null || e2e_cupsd_answers; }

# A scheduler of the check's own, with its own configuration, state and socket and the PDF
# queue as its default: CUPS_SERVER names its socket, so no job can reach the machine's
# printers, and the machine's queues and default are neither seen nor changed.
e2e_start_cups()
{
    PATH=$PATH:/usr/sbin command -v cupsd >/dev/null || e2e_fail "cupsd is not installed (scripts/install-deps.sh)"
    local root="$E2E_TMP/cups"
    mkdir -p "$root/log"
    # The filters run as the scheduler's user (lp): they read the queue's PPD and write their
    # temporaries under $root.
    chmod go+x "$E2E_TMP"
    printf '%s\n' "ServerRoot $root" "RequestRoot $root/spool" "CacheDir $root/cache" "StateDir $root/state" \
        "AccessLog $root/log/access_log" "ErrorLog $root/log/error_log" "PageLog $root/log/page_log" \
        "SystemGroup root" >"$root/cups-files.conf"
    printf '%s\n' "Listen $root/cups.sock" "Browsing Off" "WebInterface No" "LogLevel warn" \
        "DefaultAuthType None" "<Location />" "Order allow,deny" "Allow all" "</Location>" >"$root/cupsd.conf"
    export CUPS_SERVER="$root/cups.sock"
    # A user's choice of printer would name a queue this scheduler does not have.
    unset PRINTER LPDEST
    PATH=$PATH:/usr/sbin cupsd -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" >"$E2E_TMP/cupsd.log" 2>&1 &
    E2E_CUPSD_PID=$!
    e2e_until "$E2E_WAIT" e2e_cupsd_settled
    kill -0 "$E2E_CUPSD_PID" 2>/dev/null || e2e_fail "cupsd did not start: $(cat "$E2E_TMP/cupsd.log")"
    e2e_cupsd_answers || e2e_fail "cupsd did not answer"
    local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    [ -f "$ppd" ] || e2e_fail "printer-driver-cups-pdf is not installed"
    # The default renderer turns a page with anything translucent into one image.
    lpadmin -p PDF -E -v cups-pdf:/ -P "$ppd" -o pdftops-renderer-default=pdftocairo 2>"$E2E_TMP/lpadmin.log" ||
        e2e_fail "cannot create the PDF queue: $(cat "$E2E_TMP/lpadmin.log")"
    lpadmin -d PDF || e2e_fail "cannot make PDF the default printer"
}

# Where cups-pdf writes: its Out setting, ${HOME} being the job owner's home.
e2e_pdf_dir()
{
    local home out
    home=$(getent passwd "$(id -un)" | cut -d: -f6)
    out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n 1)
    [ -n "$out" ] || out='${HOME}/PDF'
    out=${out//\$\{HOME\}/$home}
    out=${out//\$\{USER\}/$(id -un)}
    echo "$out"
}

# A file to compare times with: PDFs older than it are not ours.
e2e_mark() { touch "$E2E_TMP/mark.$1"; echo "$E2E_TMP/mark.$1"; }

# True once the newest PDF of job NAME in DIR written after MARK is complete
# and the queue is empty; sets E2E_PDF to it.
e2e_pdf_done() # DIR NAME MARK
{
    E2E_PDF=$(find "$1" -maxdepth 1 -name "$2*-job_*.pdf" -newer "$3" 2>/dev/null | sort -V | tail -n 1)
    [ -n "$E2E_PDF" ] && [ -z "$(lpstat -o PDF 2>/dev/null)" ] && pdfinfo "$E2E_PDF" >/dev/null 2>&1
}

# e2e_wait_pdf JOBNAME MARK [SECONDS]: prints the path of the finished PDF of
# that job name written after MARK (cups-pdf may add to the name: it reads the
# title from the PostScript and keeps only letters, digits and "_").
e2e_wait_pdf()
{
    local name=$1 mark=$2 limit=${3:-30} dir
    dir=$(e2e_pdf_dir)
    if e2e_until "$limit" e2e_pdf_done "$dir" "$name" "$mark"; then
        echo "$E2E_PDF"
        return 0
    fi
    e2e_log "no PDF named ${name}*-job_*.pdf in $dir; queue: $(lpstat -o PDF 2>&1 | tr '\n' ' ')"
    [ -n "$E2E_CUPSD_PID" ] && tail -n 20 "$E2E_TMP/cupsd.log" >&2
    tail -n 20 "$E2E_TMP/cups/log/error_log" 2>/dev/null >&2 || true
    return 1
}

# e2e_wait_search ARGS...: prints the id of the first visible window that
# `xdotool search ARGS` finds (--class sleevedesk, --pid N, --name REGEX).
e2e_wait_search()
{
    local w="" end=$((SECONDS + E2E_WAIT))
    # Polled rather than --sync: a search that meets a window being destroyed ends at once with
    # an X error, which a busy machine turns into a false failure.
    while [ -z "$w" ] && [ "$SECONDS" -lt "$end" ]; do
        w=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n 1) || true
        [ -n "$w" ] || sleep 0.1
    done
    [ -n "$w" ] || e2e_fail "no window found by: xdotool search --onlyvisible $*"
    echo "$w"
}

# e2e_wait_window NAME-REGEX: prints the id of the first window whose title matches.
e2e_wait_window() { e2e_wait_search --name "$1"; }

# e2e_wait_gone NAME-REGEX: waits until no visible window has a title that matches.
e2e_wait_gone()
{
    e2e_until "$E2E_WAIT" e2e_window_gone "$1" || e2e_fail "the window '$1' stayed open"
}
e2e_window_gone() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# e2e_wait_title WINDOW TEXT: waits until the window's title is TEXT.
e2e_wait_title()
{
    e2e_until "$E2E_WAIT" e2e_title_is "$1" "$2" && return 0
    e2e_fail "title is '$(xdotool getwindowname "$1" 2>/dev/null)', expected '$2'"
}
e2e_title_is() { [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]; }

e2e_cleanup()
{
    local p
    for p in "${E2E_PIDS[@]}"; do
        kill "$p" 2>/dev/null || true
    done
    for p in "${E2E_PIDS[@]}"; do
        wait "$p" 2>/dev/null || true
    done
    E2E_PIDS=()
    if [ -n "$E2E_CUPSD_PID" ]; then
        kill "$E2E_CUPSD_PID" 2>/dev/null || true
        wait "$E2E_CUPSD_PID" 2>/dev/null || true
        E2E_CUPSD_PID=""
    fi
    if [ -n "$E2E_XVFB_PID" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null || true
        wait "$E2E_XVFB_PID" 2>/dev/null || true
        E2E_XVFB_PID=""
    fi
    [ -n "$E2E_TMP" ] && rm -rf "$E2E_TMP"
    E2E_TMP=""
}
