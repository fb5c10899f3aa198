#!/usr/bin/env bash
# Balloons without a notification area: dropped quietly while there is no
# notification service either; shown by dunst once it runs, with the
# program's name, the balloon's title and text (the user's "<" and "&"
# sent as text, since dunst reads markup), the icon dialog-warning and
# normal urgency; after five more cycles dunst shows one notification, not
# five.
VANTREL_BIN=$1
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/usage_log.sh"

# The values of one field of the notifications in dunst's history, a line
# each.
history_field() {
  dunstctl history | awk -v key="\"$1\"" '$1 == key { getline; getline;
    sub(/^[^:]*: "/, ""); sub(/"$/, ""); print }'
}

start_xvfb
start_session_bus
install_program
write_settings allusage=1 allinfoenable=0 eachenable=0 intervalsec=1 writelogfile=1 \
  'allwarnmsg="CPU使用率が {u}% に達しました <&>"'
start_program
# Warnings of these cycles find no notification service.
wait_for 30 "two cycles" log_has_lines 2
kill -0 "$VANTREL_PID" 2>/dev/null || fail "the program ended"

start_dunst
wait_for 30 "a notification" notifications_are 1
cycles=$(log_lines)
wait_for 30 "five more cycles" log_has_lines $((cycles + 5))
notifications_are 1 || fail "dunst shows $(notifications_shown) notifications, expected 1"

# Closed, the notification goes to the history; those it replaced never
# were shown apart.
dunstctl close
[ "$(history_field appname)" = Vantrel ] || fail "history: '$(history_field appname)', expected one from Vantrel"
[ "$(history_field summary)" = "CPU使用率 の警告！" ] || fail "summary '$(history_field summary)'"
[[ $(history_field body) =~ ^CPU使用率が\ [0-9]+%\ に達しました\ \&lt\;\&amp\;\&gt\;$ ]] ||
  fail "body '$(history_field body)'"
[[ $(history_field message) == "warning normal: "* ]] ||
  fail "not marked by the rule for dialog-warning, normal urgency and the desktop entry: '$(history_field message)'"

[ ! -s "$E2E_DIR/stdout" ] || fail "the program writes to the terminal"
kill -TERM "$VANTREL_PID"
expect_clean_exit 30
echo "PASS"
