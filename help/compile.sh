#!/bin/sh
# Compiles brimview.hhp in the stage folder with chmcmd seeing that folder as "/".
#   help/compile.sh CHMCMD STAGE
# chmcmd stores the topics of [ALIAS]/[MAP] under the folder of the project file as it sees it
# (its absolute path), and the help viewer looks a context number's topic up by that name inside
# the file: only with the project at "/" do the names ("/main.htm") name topics the file holds.
# So chmcmd runs changed-root into the stage, in a user and mount namespace of its own, with the
# host's system folders mounted there (or linked, where the host links them) for its libraries.
set -eu
chmcmd=$(readlink -f "$1")
cd "$2"
rm -f brimview.chm
unshare --map-root-user --mount sh -eu -c '
  for dir in /usr /lib /lib32 /lib64; do
    name=${dir#/}
    if [ -L "$dir" ]; then
      ln -sfn "$(readlink "$dir")" "$name"
    elif [ -d "$dir" ]; then
      mkdir -p "$name"
      mount --rbind "$dir" "$name"
    fi
  done
  exec chroot . "$1" --verbosity 1 brimview.hhp' sh "$chmcmd"
test -s brimview.chm
