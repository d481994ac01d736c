#!/usr/bin/env bash
# After the service tests: a case that crashed or was killed may have left "VLM Service"
# installed, and an installed auto-start service would start whenever the prefix boots.
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-env.sh"
velmora_prefix_ready || exit 1
if wine sc query "VLM Service" 2>/dev/null | grep -q SERVICE_NAME; then
    wine net stop "VLM Service" >/dev/null 2>&1
    wine sc delete "VLM Service" >/dev/null 2>&1
    echo "removed a leftover VLM Service"
fi
exit 0
