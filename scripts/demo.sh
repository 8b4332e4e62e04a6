#!/usr/bin/env bash
# The main job: installs what the project needs, builds the command-line tool,
# creates a sample site in demo-site/ (once; delete it for a fresh one) and
# takes a short tour of the library with the tool. Then it starts the hosts
# (the online viewer, the graph editor) when a display is available; without
# one, or with --tour DIR, each host takes its scripted tour instead and saves
# a picture of every step (menus, tips and boxes included) into DIR/editor and
# DIR/viewer (by default demo-shots/).
#
#   scripts/demo.sh [--tour DIR]        (--screenshot DIR is the same)
set -euo pipefail
cd "$(dirname "$0")/.."

shots=
if [ "${1:-}" = "--tour" ] || [ "${1:-}" = "--screenshot" ]; then
  shots=${2:?"$1 needs a folder"}
elif [ -n "${1:-}" ]; then
  echo "usage: scripts/demo.sh [--tour DIR]" >&2
  exit 2
fi
[ -n "${DISPLAY:-}" ] || shots=${shots:-demo-shots}

bash scripts/install-deps.sh >/dev/null
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "${JOBS:-$(nproc)}" --target talmerctl talmerview talmeredit >/dev/null

site=demo-site
tool=./build/tools/talmerctl/talmerctl
step() { printf '\n== %s\n' "$1"; }
ctl() {
  printf '$ talmerctl %s\n' "$*"
  "$tool" --site "$site" "$@"
}

step "the site"
if [ -f "$site/site.env" ]; then
  echo "using the sample site in $site/ (delete it for a fresh one)"
else
  printf '$ talmerctl site init %s --sample\n' "$site"
  "$tool" site init "$site" --sample
fi

step "the graph tree: applications, the picture types of SCADA, its stations, one station's versions"
ctl tree
ctl tree SCADA
ctl tree SCADA station
ctl tree SCADA station 北京变电站

step "search by Pinyin initials: BJ (北京), CS (长沙), C (城...)"
ctl search BJ
ctl search CS
ctl search C

step "import a changed drawing of 北京变电站 as a new version"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
latest=$("$tool" --site "$site" latest SCADA 北京变电站)
cp "$site/deployment/pic/SCADA/北京变电站/$latest.xrg" "$work/北京变电站.xrg"
ctl import SCADA station "$work/北京变电站.xrg"
ctl info SCADA 北京变电站

step "the latest version fetched from the file server (its local files deleted first)"
latest=$("$tool" --site "$site" latest SCADA 北京变电站)
rm -f "$site/deployment/pic/SCADA/北京变电站/$latest".{xrg,brg,fg}
echo $(ls "$site/deployment/pic/SCADA/北京变电站/")
ctl latest SCADA 北京变电站 --fetch
echo $(ls "$site/deployment/pic/SCADA/北京变电站/")

step "icon synchronisation (the breaker icon deleted locally first)"
rm -f "$site"/deployment/icon/breaker/*.xco
ctl sync icons
echo $(ls "$site/deployment/icon/breaker/")

step "the workstation's graph options"
ctl notebook show

step "the online viewer, logged in as the sample operator (level 1, area 1)"
# The demo gives the operator a known password; the site's own was shown once, at init.
demo_password=operator-demo
printf '%s\n%s\n' "$demo_password" "$demo_password" | "$tool" --site "$site" user passwd operator >/dev/null
viewer=./build/tools/talmerview/talmerview
# Offscreen when there is no display and xvfb-run is missing; under Xvfb when it is there.
headless() {
  if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb "$@"
  elif [ -z "${DISPLAY:-}" ]; then
    QT_QPA_PLATFORM=offscreen "$@"
  else
    "$@"
  fi
}
# Runs one host's tour (NAME, then the host's command line) into $shots/NAME,
# its input from our standard input; lists the pictures, or stops the demo.
tour() {
  local name=$1
  shift
  rm -rf "$shots/$name"
  if headless "$@" --tour "$shots/$name" >"$work/$name.out" 2>&1; then
    echo "the $name's tour, one picture per step, is in $shots/$name/:"
    (cd "$shots/$name" && ls *.png | sed 's/^/  /')
  else
    echo "the $name's tour failed:" >&2
    tail -n 5 "$work/$name.out" >&2
    exit 1
  fi
}
if [ -z "$shots" ]; then
  echo "a window opens: pick a picture on the left, or type its initials (BJ) in the search box"
  echo "$demo_password" | "$viewer" --site "$site" --user operator
else
  # The tour logs in (a refused try too), unfolds the library, searches BJ,
  # opens 北京变电站 with its note-book marks, browses the icon palette, logs out.
  echo "$demo_password" | tour viewer "$viewer" --site "$site" --user operator
fi

step "the graph editor: the library as the engineer edits it"
editor=./build/tools/talmeredit/talmeredit
if [ -z "$shots" ]; then
  echo "a window opens: click a picture to draw it, \"Add label\" to change it, Save to keep it as the draft;"
  echo "drag icons from the palette and templates from the template view onto the drawing"
  "$editor" --site "$site"
else
  # The tour opens 北京变电站, releases a labelled version, browses the icons and
  # drops an icon and a template onto the drawing, saves the draft, compares it
  # with the released version and shows which version each workstation holds.
  tour editor "$editor" --site "$site"
fi

printf '\nThe site stays in %s/; its hosts need the environment in %s/site.env.\n' "$site" "$site"
