# The usage log in the test's folder, sourced after lib.sh: its lines, and
# their spacing before and after the interval changes from 1 to 2 seconds.
LOG="$E2E_DIR/cpuusagelog.txt"

log_lines() { if [ -f "$LOG" ]; then wc -l <"$LOG"; else echo 0; fi; }
log_has_lines() { [ "$(log_lines)" -ge "$1" ]; }

# The mean spacing in seconds of the lines FIRST to LAST (1-based), times 100.
mean_gap_x100() {
  sed -n "$1p;$2p" "$LOG" | awk -v n=$(($2 - $1)) '
    { split($2, t, ":"); s[NR] = t[1] * 3600 + t[2] * 60 + t[3] }
    END { print int((s[2] - s[1]) * 100 / n) }'
}

# Waits for four lines at the 1-second interval, then the spacing of their
# lines is the one before the change.
measure_spacing_before() {
  wait_for 30 "four log lines" log_has_lines 4
  SPACING_BEFORE=$(mean_gap_x100 1 4)
}

# Right after the interval became 2 seconds: the next lines come 2 s apart.
expect_two_second_spacing() {
  # A cycle that began before the change may still add its line: skip one.
  local first=$(($(log_lines) + 2)) after
  wait_for 40 "four lines at the new interval" log_has_lines $((first + 3))
  after=$(mean_gap_x100 "$first" $((first + 3)))
  echo "mean spacing before: ${SPACING_BEFORE}/100 s, after: ${after}/100 s"
  [ "$SPACING_BEFORE" -lt 160 ] || fail "lines were not about 1 s apart before"
  [ "$after" -ge 160 ] || fail "lines are not 2 s apart after the change"
}
