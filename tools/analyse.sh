#!/usr/bin/env bash
# Static analysis of the product code with cppcheck and clang-tidy (checks in .clang-tidy), over
# the compile commands of the Release build in build/. Exits non-zero on any finding; a finding
# that is no fault is suppressed where it stands, with the reason beside it.
#
#   tools/analyse.sh [FOLDER...]   default every product folder; e.g. tools/analyse.sh rules
#
# The tests are left out: gtest's macros and the tests' own doubles give only noise, and the
# sanitizer run covers them. The fuzz targets build only with clang in their own build; they are
# analysed with the Release build's flags of the core, which are all they need.
set -euo pipefail
cd "$(dirname "$0")/.."
folders=("$@")
[ ${#folders[@]} -gt 0 ] ||
  folders=(platform rules notation engine network ui app cli bench fuzz tools)

[ -f build/compile_commands.json ] || {
  echo "build/compile_commands.json missing: configure the Release build first" >&2
  exit 2
}
# Debian's clang-tidy package names the runner after its version.
tidy_runner=$(command -v run-clang-tidy || command -v run-clang-tidy-14) || {
  echo "run-clang-tidy missing: install the clang-tidy package" >&2
  exit 2
}
command -v cppcheck >/dev/null || {
  echo "cppcheck missing: install the cppcheck package" >&2
  exit 2
}

out=build/analysis
mkdir -p "$out/cppcheck"
python3 - "$PWD" "$out/compile_commands.json" "${folders[@]}" <<'EOF'
import glob, json, os, sys
root, target, folders = sys.argv[1], sys.argv[2], sys.argv[3:]
commands = json.load(open(os.path.join(root, "build", "compile_commands.json")))
def folder(entry):
    path = os.path.relpath(entry["file"], root)
    return path.split(os.sep)[0]
kept = [c for c in commands if folder(c) in folders]
if "fuzz" in folders:
    core = next(c for c in commands if folder(c) == "network")
    for source in sorted(glob.glob(os.path.join(root, "fuzz", "*.cpp"))):
        kept.append({"directory": core["directory"], "file": source,
                     "command": core["command"].replace(core["file"], source)})
if not kept:
    sys.exit(f"no sources in {' '.join(folders)}")
json.dump(kept, open(target, "w"), indent=1)
print(f"static analysis of {len(kept)} files in {' '.join(folders)}")
EOF

jobs=$(nproc)
failed=0
# Switched off: useStlAlgorithm, a loop that reads plainly is no finding; useInitializationList,
# it flags integer piece codes computed in a constructor body, where assigning costs the same;
# assignmentInCondition, cppcheck 2.10 takes a declaration in an if (if (const auto& x = ...)) for
# an assignment.
cppcheck --project="$out/compile_commands.json" --cppcheck-build-dir="$out/cppcheck" -j"$jobs" \
  --enable=warning,style,performance,portability --library=qt --inline-suppr --quiet \
  --suppress=missingIncludeSystem --suppress=useStlAlgorithm --suppress=useInitializationList \
  --suppress=assignmentInCondition \
  --error-exitcode=1 --template='{file}:{line}: {severity}: {message} [{id}]' || failed=1
echo "cppcheck: $([ $failed = 0 ] && echo clean || echo FINDINGS)"

if "$tidy_runner" -j"$jobs" -p "$out" -quiet >"$out/clang-tidy.log" 2>&1; then
  echo "clang-tidy: clean"
else
  # The findings without clang-tidy's own chatter and colours.
  sed 's/\x1b\[[0-9;]*m//g' "$out/clang-tidy.log" |
    grep -v -e '^[0-9]* warnings\? generated' -e '^Suppressed [0-9]* warnings' \
      -e '^Use -header-filter' -e '^clang-tidy\(-[0-9]*\)\? ' -e '^Error while processing' >&2 ||
    true
  echo "clang-tidy: FINDINGS (log in $out/clang-tidy.log)" >&2
  failed=1
fi
exit $failed
