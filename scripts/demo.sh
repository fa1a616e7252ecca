#!/usr/bin/env bash
# Installs what is needed, builds, and converts the bundled sample print job to a Word document
# in console mode: out/sample/文書.docx. The job is copied first, since a conversion writes its
# figures into the job's META_FILE folder.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${VS_SKIP_SETUP:-0}" = 1 ] || bash scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)"
rm -rf out/sample
mkdir -p out
cp -r examples/sample out/sample
build/bin/varnel --console --job-dir out/sample --word --output "out/sample/文書.docx"
echo "out/sample/文書.docx"
