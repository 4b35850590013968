#!/bin/sh
# Stands in for the web browser that Wine's winebrowser starts: notes each
# address it is asked to open, beside the run's Wine prefix.
printf '%s\n' "$1" >>"${WINEPREFIX:-/tmp/nimvara}.opened-urls.txt"
