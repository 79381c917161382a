#!/bin/bash
# Runs one Windows program under Wine; CTest's emulator for every test.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
wine_env_start
exec wine "$@"
