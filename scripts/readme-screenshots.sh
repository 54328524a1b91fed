#!/bin/sh
# The screenshots of the README (docs/*.png): the running unit beside the junction-box simulator,
# its screens reached by touch as an operator reaches them. The unit runs a few minutes first, so
# that the echogram and the depth history have something to show.
# usage: scripts/readme-screenshots.sh [seconds to run first, default 300]
set -e
cd "$(dirname "$0")/.."
rm -rf run/shot
exec python3 scripts/screenshot.py --sim --sim-arg=--ping-rate --sim-arg=10 \
    "wait=${1:-300}" \
    shot=docs/main-window.png \
    quick="Auto range/gain: ON" shot=docs/quick-controls.png@1330,40,1599,760 \
    quick="Shallow.*" shot=docs/quick-alarm-limit.png \
    touch=Cancel quick=Setup shot=docs/setup-menu.png \
    touch=Alarms shot=docs/setup-page.png \
    quick=History shot=docs/history-view.png \
    quick=Scope wait=3 shot=docs/echo-scope.png \
    quick=Print shot=docs/print.png \
    quick=Echogram
