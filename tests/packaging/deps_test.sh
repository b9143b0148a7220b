#!/usr/bin/env bash
# Every system header this build compiled against and every shared library its
# programs load must belong to a Debian package that scripts/install-deps
# installs, by name or through the dependencies of what it names. A package
# that was merely present on this machine would make a fresh one fail.
#   deps_test.sh <build dir> <source dir>
set -euo pipefail
build=$(realpath "$1")
src=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ ! -f "$build/build.ninja" ]; then
  echo "the build in $build was not made by Ninja: no dependency records to read"
  exit 77
fi

# Headers: every absolute path outside the project in Ninja's records.
ninja -C "$build" -t deps | awk '/^    \//{print $1}' |
  grep -v -e "^$src/" -e "^$build/" | sort -u >"$work/headers"

# Libraries: the NEEDED entries of every ELF program and library built here,
# found where the dynamic loader finds them.
find "$build" -type f -perm -u+x -not -path '*/CMakeFiles/*' -not -path '*/_CPack_Packages/*' |
  while read -r f; do
    [ "$(head -c 4 "$f" | tail -c 3)" = ELF ] && readelf -d "$f"
  done | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort -u >"$work/needed"
: >"$work/libraries"
ldconfig -p >"$work/cache"
while read -r lib; do
  path=$(awk -v l="$lib" '$1 == l && /x86-64/ {print $NF; exit}' "$work/cache")
  if [ -z "$path" ]; then
    echo "FAIL: a built program needs $lib, which the dynamic loader cannot find"
    exit 1
  fi
  echo "$path" >>"$work/libraries"
done <"$work/needed"

# The owning packages. dpkg records some files under /lib and others under
# /usr/lib; the merged /usr makes both names the same file.
owners() {
  { xargs -r dpkg-query -S 2>/dev/null || true; } | grep -v '^diversion by' |
    sed -n 's/^\(.*\): \(\/.*\)$/\2 \1/p' | tr -d ',' |
    sed 's/:[a-z0-9]*\( \|$\)/\1/g'
}
cat "$work/headers" "$work/libraries" | sort -u >"$work/files"
owners <"$work/files" >"$work/owned"
cut -d' ' -f1 "$work/owned" | sort -u | comm -23 "$work/files" - >"$work/unowned"
while read -r f; do
  case "$f" in
    /usr/*) alias=${f#/usr} ;;
    *) alias=/usr$f ;;
  esac
  found=$(echo "$alias" | owners | cut -d' ' -f2- || true)
  if [ -z "$found" ]; then
    real=$(realpath -m "$f")
    found=$(echo "$real" | owners | cut -d' ' -f2- || true)
  fi
  if [ -z "$found" ]; then
    echo "FAIL: $f belongs to no Debian package (installed by hand?)"
    exit 1
  fi
  echo "$f $found" >>"$work/owned"
done <"$work/unowned"

# What scripts/install-deps brings: its list, every package an installed one
# of those depends on (the first alternative that is installed, or an
# installed provider of a virtual one), and so on; plus the essential packages
# every Debian system has.
"$src/scripts/install-deps" --list >"$work/listed"
dpkg-query -W -f='${db:Status-Abbrev}\t${Package}\t${Essential}\t${Provides}\t${Pre-Depends}, ${Depends}\n' |
  awk -F'\t' -v listfile="$work/listed" '
    function bare(name) { sub(/\(.*/, "", name); gsub(/[ \t]/, "", name); sub(/:.*/, "", name); return name }
    function add(p) { if (!(p in pulled)) { pulled[p] = 1; queue[++tail] = p } }
    $1 ~ /^ii/ {
      installed[$2] = 1; deps[$2] = $5
      if ($3 == "yes") essential[$2] = 1
      n = split($4, pv, ",")
      for (i = 1; i <= n; i++) { v = bare(pv[i]); if (v != "" && !(v in provider)) provider[v] = $2 }
    }
    END {
      while ((getline p < listfile) > 0) if (p in installed) add(p)
      for (p in essential) add(p)
      for (head = 1; head <= tail; head++) {
        n = split(deps[queue[head]], groups, ",")
        for (g = 1; g <= n; g++) {
          m = split(groups[g], alts, "|")
          for (a = 1; a <= m; a++) {
            d = bare(alts[a])
            if (d in installed) { add(d); break }
            if (d in provider) { add(provider[d]); break }
          }
        }
      }
      for (p in pulled) print p
    }' | sort -u >"$work/brought"

# A file is covered when any package that owns it is brought.
awk 'NR == FNR {brought[$1] = 1; next}
     { ok = 0; for (i = 2; i <= NF; i++) if ($i in brought) ok = 1
       if (!ok && !($2 in seen)) { seen[$2] = 1; print $2 " (for " $1 ")" } }' \
  "$work/brought" "$work/owned" | sort >"$work/missing"

echo "$(wc -l <"$work/headers") system headers and $(wc -l <"$work/libraries") shared libraries" \
  "from $(cut -d' ' -f2 "$work/owned" | sort -u | wc -l) packages"
if [ -s "$work/missing" ]; then
  echo "FAIL: scripts/install-deps neither lists nor pulls in these packages, which this build used:"
  sed 's/^/  /' "$work/missing"
  exit 1
fi
echo "all of them come with scripts/install-deps"
