# Sourced by the printing tests: a private print server with one PDF printer, all of it under
# a folder of the build tree (configuration, socket, spool, logs), so that no system service
# is touched. hl_cups_start <folder> starts it and exports CUPS_SERVER for the programs
# started afterwards; hl_cups_stop ends it by its process number.
#
# The PDF printer writes each job as <document name>-job_<n>.pdf into the printing user's
# PDF folder ($HOME/PDF, from the system's PDF printer settings); the tests move the files
# they find there into the build folder.
hl_cups_start() {
  local dir=$1
  HL_CUPS_DIR=$dir
  rm -rf "$dir"
  mkdir -p "$dir/run" "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log" "$dir/ppd"
  chmod 1777 "$dir/spool/tmp"
  cat >"$dir/cupsd.conf" <<EOF
Listen $dir/run/cups.sock
LogLevel warn
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
EOF
  cat >"$dir/cups-files.conf" <<EOF
ServerRoot $dir
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/spool/tmp
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
EOF
  /usr/sbin/cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" </dev/null >"$dir/log/cupsd.out" 2>&1 &
  HL_CUPS_PID=$!
  export CUPS_SERVER=$dir/run/cups.sock
  local _
  for _ in $(seq 1 100); do [ -S "$dir/run/cups.sock" ] && break; sleep 0.1; done
  if [ ! -S "$dir/run/cups.sock" ]; then
    echo "private print server did not start:"; cat "$dir/log/cupsd.out" "$dir/log/error_log" 2>/dev/null
    return 1
  fi
  lpadmin -h "$CUPS_SERVER" -p PDF -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -o PageSize=A4 || return 1
  lpadmin -h "$CUPS_SERVER" -d PDF || return 1
}

hl_cups_stop() {
  if [ -n "${HL_CUPS_PID:-}" ]; then
    kill "$HL_CUPS_PID" 2>/dev/null || true
    wait "$HL_CUPS_PID" 2>/dev/null || true
    HL_CUPS_PID=
  fi
  unset CUPS_SERVER
}
