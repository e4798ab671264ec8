#!/usr/bin/env bash
# Runs clang-tidy (the repository's .clang-tidy) on C++ files of the default
# build, in parallel; any finding fails.
#
#   cmake/check-tidy.sh BUILD_DIR JOBS BASE [FILES...]
#
# Without FILES it checks the .cpp files changed since this branch left BASE
# (on BASE itself: those of the last commit); FILES=all checks every file the
# build compiles. Files the build does not compile (another preset's only)
# are skipped, since clang-tidy needs their compile commands.
set -euo pipefail
build=$1 jobs=$2 base=$3
shift 3
root=$(git rev-parse --show-toplevel)
db=$build/compile_commands.json
[ -f "$db" ] || { echo "check-tidy: $db is missing; build first" >&2; exit 1; }

if [ "${1:-}" = all ]; then
    mapfile -t files < <(git ls-files '*.cpp')
elif [ $# -gt 0 ]; then
    files=("$@")
else
    from=$(git merge-base HEAD "$base" 2>/dev/null || true)
    if [ -z "$from" ] || [ "$from" = "$(git rev-parse HEAD)" ]; then
        from=$(git rev-parse -q --verify HEAD~1 || true)
    fi
    [ -n "$from" ] || exit 0
    mapfile -t files < <(git diff --name-only --diff-filter=d "$from" -- '*.cpp')
fi

# clang-tidy needs each source's own compile command. A unity build compiles
# batches (Unity/unity_N_cxx.cxx, which include the sources): each source
# gets its batch's command. The test programs' precompiled header is GCC's,
# which clang cannot read: clang-tidy gets the commands without it (each
# test file includes what it uses itself).
tidydb=$build/tidy
mkdir -p "$tidydb"
python3 - "$db" "$tidydb/compile_commands.json" <<'PY'
import json, re, sys
entries = []
for entry in json.load(open(sys.argv[1])):
    entry["command"] = re.sub(r" -Winvalid-pch -include \S*cmake_pch\.hxx", "", entry["command"])
    batch = entry["file"]
    if "/Unity/unity_" not in batch:
        entries.append(entry)
        continue
    for source in re.findall(r'^#include "([^"]+)"', open(batch).read(), re.M):
        entries.append(dict(entry, file=source, command=entry["command"].replace(batch, source)))
json.dump(entries, open(sys.argv[2], "w"), indent=0)
PY

checked=()
for f in "${files[@]}"; do
    path=$root/${f#"$root"/}
    grep -qF "\"file\": \"$path\"" "$tidydb/compile_commands.json" && checked+=("$path")
done
[ ${#checked[@]} -gt 0 ] || exit 0

echo "clang-tidy: ${#checked[@]} files"
log=$build/clang-tidy.log
if ! printf '%s\n' "${checked[@]}" |
    xargs -P "$jobs" -n 4 clang-tidy -p "$tidydb" --quiet --extra-arg=-Wno-unknown-warning-option >"$log" 2>&1; then
    grep -E "(warning|error):" -A3 "$log" || cat "$log"
    echo "check-tidy: findings above (whole output in $log)" >&2
    exit 1
fi
