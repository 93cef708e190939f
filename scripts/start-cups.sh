#!/bin/sh
# Starts the CUPS scheduler when it is not running and makes sure the PDF queue exists and is
# the default printer, so that sheets printed by the tests land as PDF files in $HOME/PDF/.
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
cupsenable PDF 2>/dev/null || true
cupsaccept PDF 2>/dev/null || true
lpadmin -d PDF
echo "start-cups: scheduler running, default printer $(lpstat -d | sed 's/.*: //')"
