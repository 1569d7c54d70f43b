#!/bin/sh
# The main job on the demo installation.
set -eu
BUILD="${1:-build}"
"$BUILD/tcese" --version
"$BUILD/tcese" --help
