#!/usr/bin/env bash
# Runs a Windows program under Wine in the test environment: the emulator of
# the cross build (CTest runs every Windows test through it).
source "$(dirname "$0")/wine-env.sh"
lorvane_wine_prefix
exec wine "$@"
