#!/usr/bin/env bash
# The install by clicks of setup_install.sh on a machine without DirectX 8.1
# (Wine's own dpnhpast.dll disabled): the DirectX page comes between the
# online-play page and the ready page.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}dpnhpast=d"
export SHOT_TAG=_nodx
exec bash "$(dirname "$0")/setup_install.sh"
