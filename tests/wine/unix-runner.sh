#!/usr/bin/env bash
# Runs the Unix commands (xdotool) a test driver under Wine leaves in DIR as
# NAME.cmd files, each with `sh -c`, in the background and bounded, until DIR
# is gone. The driver does not start them itself: under Wine 8 a Windows
# program that starts a Unix one now and then ends half-way through its own
# run with status 0, its registers clobbered across the call.
#   unix-runner.sh DIR
set -u
dir=$1
while [ -d "$dir" ]; do
  for request in "$dir"/*.cmd; do
    [ -e "$request" ] || continue
    command=$(cat "$request")
    rm -f "$request"
    timeout 30 sh -c "$command" </dev/null >/dev/null 2>&1 &
  done
  sleep 0.02
done
