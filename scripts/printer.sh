#!/usr/bin/env bash
# Makes a CUPS printer "PDF" (cups-pdf) the system default, so the print tests reach a real queue,
# and adds a second PDF queue "PDF-margins" whose PPD (tests/data/margins.ppd) declares unprintable
# margins, so the tests see where a printer with margins puts a voucher, and "PDF-kill" for the
# crash test of printing. Jobs land as PDF files in
# ~/PDF. Leaves an existing default printer alone.
set -uo pipefail
command -v cupsd >/dev/null || exit 0
if ! pgrep -x cupsd >/dev/null; then
  cupsd >/dev/null 2>&1 || true
  for _ in $(seq 1 50); do lpstat -r 2>/dev/null | grep -q 'is running' && break; sleep 0.1; done
fi
if ! lpstat -p PDF >/dev/null 2>&1; then
  lpadmin -p PDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd >/dev/null 2>&1 || true
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if ! lpstat -p PDF-margins >/dev/null 2>&1; then
  lpadmin -p PDF-margins -E -v cups-pdf:/ -P "$root/tests/data/margins.ppd" >/dev/null 2>&1 || true
fi
# The crash test of the command line counts the pages each job wrote: this queue's files carry the
# job's number (job_<n>-<title>.pdf), so files of jobs with the same title never replace each other.
if ! lpstat -p PDF-kill >/dev/null 2>&1; then
  lpadmin -p PDF-kill -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -o Label-default=1 >/dev/null 2>&1 || true
fi
lpstat -d 2>/dev/null | grep -q 'PDF' || lpadmin -d PDF >/dev/null 2>&1 || true
exit 0
