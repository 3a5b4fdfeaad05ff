#!/usr/bin/env bash
# Refreshes resources/translations/*.ts from the sources (no line numbers, so merges stay quiet).
# New texts arrive marked unfinished; fill their English in pcr_en.ts, then check with
# ../shared/tools/check-translations.py.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
for lang in zh en; do
  lupdate -silent -locations none -no-obsolete -source-language zh_CN -target-language "${lang/zh/zh_CN}" \
    src -ts "resources/translations/pcr_${lang}.ts"
done
