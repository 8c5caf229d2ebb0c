#!/usr/bin/env bash
# `cmake --install` into a fresh prefix: the programs, their data and manual
# pages land there, and the installed zbuffer-render, run from a folder that
# has no data/, draws the installed teapot: the same picture as the
# repository's. --version names the program and the project's version.
# Usage: install_test.sh BUILD_DIR ZBUFFER_RENDER
set -euo pipefail
build=$1 render=$2
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

prefix="$work/prefix with space"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
    fail "cmake --install failed: $(cat "$work/install.log")"
for f in bin/zbuffer bin/zbuffer-render bin/zbuffer-import bin/zbuffer-view \
    share/zbuffer/teapot.ply share/zbuffer/checker.png share/zbuffer/shadow_scene.ply \
    share/man/man1/zbuffer.1 share/man/man1/zbuffer-render.1 share/man/man1/zbuffer-import.1 \
    share/man/man1/zbuffer-view.1; do
    [ -e "$prefix/$f" ] || fail "$f was not installed"
done

run 0 --out "$work/repository.png"
mkdir "$work/elsewhere"
(cd "$work/elsewhere" && "$prefix/bin/zbuffer-render" >"$work/out" 2>"$work/err") ||
    fail "the installed zbuffer-render failed: $(cat "$work/err")"
head -1 "$work/out" | grep -q '^distance : ' || fail "no set-up lines: $(cat "$work/out")"
cmp "$work/elsewhere/frame.png" "$work/repository.png" ||
    fail "the installed program drew another picture than the repository's teapot"

for program in zbuffer-render zbuffer-import zbuffer-view; do
    "$prefix/bin/$program" --version >"$work/version"
    grep -Eqx "$program [0-9]+\.[0-9]+\.[0-9]+" "$work/version" ||
        fail "$program --version printed: $(cat "$work/version")"
done
echo "install: programs, data and manual pages installed; the installed teapot draws"
