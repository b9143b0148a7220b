#!/usr/bin/env bash
# What a desktop gets from this build, checked on the real files.
#   install_test.sh installed <build dir> <source dir>
#     installs into a scratch DESTDIR: every file in its place and nothing else,
#     the desktop entry and AppStream data validate cleanly, icons have their
#     sizes, and the installed program, started from another folder, answers
#     --version/--help and shows a window whose class and icons the desktop
#     entry can be matched to;
#   install_test.sh package <build dir> <source dir>
#     packs the build as a .deb and checks its name, control fields and files.
set -euo pipefail
mode=$1
build=$(realpath "$2")
src=$(realpath "$3")
app=org.strophe.Strophe
window_icon_sizes="16x16 32x32 48x48 64x64 128x128"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

expected=(usr/bin/strophe usr/share/applications/$app.desktop usr/share/metainfo/$app.metainfo.xml
          usr/share/man/man6/strophe.6.gz usr/share/lintian/overrides/strophe
          usr/share/doc/strophe/README.md usr/share/doc/strophe/OFL.txt
          usr/share/doc/strophe/copyright usr/share/doc/strophe/changelog.gz)
for size in 16 32 48 64 128 256 512; do
  expected+=(usr/share/icons/hicolor/${size}x${size}/apps/$app.png)
done
printf '%s\n' "${expected[@]}" | sort >"$work/expected"

# The program's own files are under the MIT licence, the font under the OFL:
# the copyright file's stanzas and the AppStream data say the same as LICENSE.
check_licences() {
  local root=$1 copyright=$1/usr/share/doc/strophe/copyright
  [ "$(awk '/^Files: \*$/ {getline; getline; print; exit}' "$copyright")" = "License: Expat" ] ||
    fail "the copyright file does not put Files: * under Expat"
  grep -qx "Files: assets/fonts/\*" "$copyright" && grep -qx "License: OFL-1.1" "$copyright" ||
    fail "the copyright file does not carve the font out under the OFL"
  grep -qF "$(sed -n 's/^Copyright (c) //p' "$src/LICENSE")" "$copyright" && grep -qF "$(tail -n 1 "$src/LICENSE")" "$copyright" ||
    fail "the copyright file does not quote LICENSE"
  grep -q '<project_license>MIT AND OFL-1.1</project_license>' "$root/usr/share/metainfo/$app.metainfo.xml" ||
    fail "the AppStream data names another licence"
}

# Run inside a private X server (see below): starts the installed program (the
# second argument) from the root folder and reads its window's properties.
if [ "$mode" = window ]; then
  program=$build
  (cd / && exec "$program") &
  pid=$!
  window=""
  for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the installed program exited before it showed a window"
    sleep 0.1
  done
  [ -n "$window" ] || { kill "$pid"; fail "no window within 30 s"; }
  class=$(xprop -id "$window" WM_CLASS)
  icons=$(xprop -id "$window" _NET_WM_ICON | sed -n 's/.*Icon (\([0-9]*\) x \([0-9]*\)).*/\1x\2/p' | sort -n | tr '\n' ' ')
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  [ "$class" = 'WM_CLASS(STRING) = "strophe", "strophe"' ] || fail "window class: $class"
  [ "$icons" = "$window_icon_sizes " ] || fail "window icons: '$icons', expected '$window_icon_sizes'"
  echo "window: class strophe, icons $icons"
  exit 0
fi
version=$("$build/strophe" --version | sed -n 's/^strophe //p')
[ -n "$version" ] || fail "strophe --version names no version"

if [ "$mode" = package ]; then
  (cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
  deb=$work/strophe_${version}_amd64.deb
  [ -f "$deb" ] || fail "cpack made no $(basename "$deb")"
  dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort >"$work/contents"
  diff -u "$work/expected" "$work/contents" || fail "the package's files differ from the expected ones"
  field() { dpkg-deb --field "$deb" "$1"; }
  [ "$(field Package) $(field Version) $(field Section)" = "strophe $version games" ] ||
    fail "control: $(field Package) $(field Version) $(field Section)"
  # Dependencies come from the libraries the program links.
  for lib in libglfw3 libportaudio2 libpng16-16; do
    field Depends | grep -Eq "(^|, )$lib( |,|$)" || fail "Depends lacks $lib: $(field Depends)"
  done
  dpkg-deb -x "$deb" "$work/unpacked"
  check_licences "$work/unpacked"
  echo "$(basename "$deb"): $(wc -l <"$work/contents") files; Depends: $(field Depends)"
  exit 0
fi

[ "$mode" = installed ] || fail "unknown mode $mode"
root=$work/root
DESTDIR=$root cmake --install "$build" --prefix /usr >"$work/install.log" || { cat "$work/install.log"; fail "install failed"; }
(cd "$root" && find . -type f | sed 's|^\./||' | sort) >"$work/installed"
diff -u "$work/expected" "$work/installed" || fail "the installed files differ from the expected ones"

desktop=$root/usr/share/applications/$app.desktop
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
for line in Exec=strophe Icon=$app StartupWMClass=strophe; do
  grep -qx "$line" "$desktop" || fail "the desktop entry lacks $line"
done
out=$(appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" 2>&1) || fail "appstreamcli: $out"
! grep -E '^[EWI]: ' <<<"$out" || fail "appstreamcli validate is not clean"

for size in 16 32 48 64 128 256 512; do
  got=$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x${size}/apps/$app.png")
  [ "$got" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $got"
done
zcat "$root/usr/share/doc/strophe/changelog.gz" | head -n 1 | grep -q "^strophe ($version) " ||
  fail "the change log's newest entry is not version $version"

bin=$root/usr/bin/strophe
for arg in --version --help -v -h; do
  out=$(cd / && "$bin" "$arg" extra) || fail "strophe $arg exited with $?"
  lines=1
  case $arg in -h | --help) lines=2 ;; esac  # the usage, and --text
  [ "$(wc -l <<<"$out")" = "$lines" ] && [ -n "$out" ] || fail "strophe $arg printed: $out"
done
[ "$("$bin" --version)" = "strophe $version" ] && [ "$("$bin" -v)" = "strophe $version" ] ||
  fail "the installed program is not version $version"
[ "$("$bin" -h)" = "$("$bin" --help)" ] || fail "-h and --help answer differently"
check_licences "$root"
man_page=$(zcat "$root/usr/share/man/man6/strophe.6.gz")
for section in "EXIT STATUS" SOUND LICENSE "REPORTING BUGS"; do
  grep -qx ".SH $section" <<<"$man_page" || fail "the manual page has no $section section"
done
grep -q "maintainers@strophe.org" <<<"$man_page" || fail "the manual page names no address for problems"

# A private X server keeps the window away from the other tests'; the
# program's sound goes to a device that cannot open, so it runs silent. The
# server picks its own free display number (-displayfd): a number chosen
# beforehand could be taken by another test's server in the meantime.
exec {number_fd}<> <(:)
Xvfb -displayfd "$number_fd" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r -t 20 -u "$number_fd" number || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
status=0
DISPLAY=:$number ALSA_CONFIG_PATH=$src/tests/app/silent_audio/alsa/asoundrc "$0" window "$bin" "$src" || status=$?
kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true
[ "$status" = 0 ] || fail "the installed program's window"
echo "installed $(wc -l <"$work/installed") files under $root/usr; both validators clean"
