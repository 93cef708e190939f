#!/bin/sh
# Starts the CUPS scheduler when it is not running and makes sure the PDF queue exists and is
# the default printer, so that sheets printed by the tests land as PDF files in $HOME/PDF/.
# A second queue, Margins, writes PDF files the same way but declares margins on A4, as most
# real printers do: the tests check that a sheet starts at the printable area's corner.
# Safe to run any number of times. Needs root and the packages cups, cups-bsd,
# printer-driver-cups-pdf and poppler-utils.
set -eu

scheduler_running() {
    # lpstat -r exits 0 even when the scheduler is down: read what it says.
    lpstat -r 2>/dev/null | grep -qx 'scheduler is running'
}

if ! scheduler_running; then
    mkdir -p /run/cups
    /usr/sbin/cupsd
    tries=0
    until scheduler_running; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ]; then
            echo "start-cups: the CUPS scheduler did not start" >&2
            exit 1
        fi
        sleep 0.1
    done
fi

if ! lpstat -p PDF >/dev/null 2>&1; then
    lpadmin -p PDF -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
fi
if ! lpstat -p Margins >/dev/null 2>&1; then
    # The PDF queue's own PPD with a printable area on A4 that leaves 18 pt left and right,
    # 24 pt at the top and 36 pt at the bottom (PPD figures count up from the bottom-left).
    ppd=$(mktemp)
    sed 's|^\*ImageableArea A4/A4: .*|*ImageableArea A4/A4: "18 36 577 818"|' \
        /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd >"$ppd"
    if ! grep -q '^\*ImageableArea A4/A4: "18 36 577 818"' "$ppd"; then
        rm -f "$ppd"
        echo "start-cups: CUPS-PDF_opt.ppd has no A4 printable area to change" >&2
        exit 1
    fi
    lpadmin -p Margins -v cups-pdf:/ -E -P "$ppd"
    rm -f "$ppd"
fi
for queue in PDF Margins; do
    cupsenable "$queue" 2>/dev/null || true
    cupsaccept "$queue" 2>/dev/null || true
done
lpadmin -d PDF
echo "start-cups: scheduler running, default printer $(lpstat -d | sed 's/.*: //')"
