#!/usr/bin/env bash
# Two programs on one base folder, as an estimator meets them: one killed
# after its recovery copy is written and a second that restores the work;
# a project open in one program opened read-only by another; a lock left
# by a killed program taken over.
#   recovery_and_locks.sh VELTRANO_CLI WORK_DIR
set -u
cli=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
base=$work/base
data=$base/Data
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Runs a script in the foreground; its output goes to NAME.out.
run() {
  local name=$1
  "$cli" --base "$base" run "$work/$name.vts" >"$work/$name.out" 2>&1
}

# Waits up to 30 seconds for a file matching a glob.
wait_for() {
  local pattern=$1
  for _ in $(seq 1 300); do
    compgen -G "$pattern" >/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# ---- A program killed after its recovery copy ------------------------------
cat >"$work/typing.vts" <<'VTS'
new
choose-file 山田邸.xdt
name-dialog create
rooms open
rooms add 居間
rooms close
save
room 居間
fill 1 3 3.64*2.73
wait 600
VTS
VELTRANO_AUTOSAVE_SECONDS=1 "$cli" --base "$base" run "$work/typing.vts" >"$work/typing.out" 2>&1 &
typing=$!
wait_for "$base/Recovery/山田邸-*.txt" || fail "no recovery copy was written"
wait_for "$data/.~lock.山田邸.xdt#" || fail "the open project has no lock file"
kill -9 "$typing"
wait "$typing" 2>/dev/null
cp "$data/山田邸.xdt" "$work/before.xdt"
grep -aq '3.64\*2.73' "$data/山田邸.xdt" && fail "the original holds unsaved work"
grep -aq '3.64\*2.73' "$base"/Recovery/山田邸-*.xdt || fail "the recovery copy lacks the typed formula"

# A second program restores the work; the original is untouched until the
# save, which takes the copy away. The killed program's lock is stale.
cat >"$work/restore.vts" <<'VTS'
answer yes
expect question-with 確認 前回、保存されずに終了した物件があります。 山田邸
expect message-with 確認 引き継ぎます。
expect project 山田邸
room 居間
expect cell 1 3 3.64*2.73
expect cell 1 5 9.94
save
expect message 確認 上書きしました。
VTS
run restore || fail "restore: $(tail -3 "$work/restore.out")"
grep -aq '3.64\*2.73' "$data/山田邸.xdt" || fail "the save did not write the restored work"
compgen -G "$base/Recovery/*.xdt" >/dev/null && fail "the recovery copy outlived the save"
compgen -G "$base/Recovery/*.txt" >/dev/null && fail "the recovery record outlived the save"
[ -e "$data/.~lock.山田邸.xdt#" ] && fail "the lock outlived the program"

# Later: a copy kept for the next start, then discarded.
cat >"$work/typing2.vts" <<'VTS'
choose-file 山田邸.xdt
open
room 居間
fill 3 3 1
wait 600
VTS
VELTRANO_AUTOSAVE_SECONDS=1 "$cli" --base "$base" run "$work/typing2.vts" >"$work/typing2.out" 2>&1 &
typing=$!
wait_for "$base/Recovery/山田邸-*.txt" || fail "no second recovery copy"
kill -9 "$typing"
wait "$typing" 2>/dev/null
printf 'answer cancel\nexpect project ""\n' >"$work/later.vts"
run later || fail "later: $(tail -3 "$work/later.out")"
compgen -G "$base/Recovery/*.xdt" >/dev/null || fail "a copy kept for later was removed"
# The original written by something else meanwhile: the save of the
# restored work asks first, and "no" leaves the original (and the copy).
touch -d '2030-01-01 00:00' "$data/山田邸.xdt"
cp "$data/山田邸.xdt" "$work/changed.xdt"
cat >"$work/restore2.vts" <<'VTS'
answer yes
expect project 山田邸
answer no
save
expect question-with 確認 山田邸.xdt 変更されています。
VTS
run restore2 || fail "restore2: $(tail -3 "$work/restore2.out")"
cmp -s "$data/山田邸.xdt" "$work/changed.xdt" || fail "the save wrote over a changed original"
compgen -G "$base/Recovery/*.xdt" >/dev/null || fail "an unsaved restore lost its copy"
printf 'answer no\nexpect project ""\n' >"$work/discard.vts"
run discard || fail "discard: $(tail -3 "$work/discard.out")"
compgen -G "$base/Recovery/*.xdt" >/dev/null && fail "a discarded copy was kept"

# A damaged copy is said and set aside, never opened.
mkdir -p "$base/Recovery"
printf 'not a record\n' >"$base/Recovery/壊れた-0000000000000000.txt"
printf 'New\r\n' >"$base/Recovery/壊れた-0000000000000000.xdt"
printf 'expect message-with 確認 記録が読めない Damaged\nexpect project ""\n' >"$work/damaged.vts"
run damaged || fail "damaged: $(tail -3 "$work/damaged.out")"
[ -e "$base/Recovery/Damaged/壊れた-0000000000000000.xdt" ] || fail "the damaged copy was not set aside"

# ---- A project open in another program ----------------------------------------
cat >"$work/holding.vts" <<'VTS'
choose-file 山田邸.xdt
open
wait 600
VTS
"$cli" --base "$base" run "$work/holding.vts" >"$work/holding.out" 2>&1 &
holding=$!
# The killed typist's lock is there before the holder's: wait for the
# holder's own.
for _ in $(seq 1 300); do
  grep -q ",$holding," "$data/.~lock.山田邸.xdt#" 2>/dev/null && break
  sleep 0.1
done
grep -q ",$holding," "$data/.~lock.山田邸.xdt#" || fail "the holder took no lock"
cp "$data/山田邸.xdt" "$work/held.xdt"
cat >"$work/second.vts" <<'VTS'
choose-file 山田邸.xdt
answer yes
open
expect question-with 確認 この物件は が開いています。
expect project 山田邸
room 居間
fill 2 3 1
answer no
save
expect question-with 確認 読み取り専用で開いているため上書き保存できません。
VTS
run second || fail "second: $(tail -3 "$work/second.out")"
cmp -s "$data/山田邸.xdt" "$work/held.xdt" || fail "a read-only project was saved over"
"$cli" --base "$base" resave "$data/山田邸.xdt" -o "$data/山田邸.xdt" >"$work/resave.out" 2>&1
[ $? -eq 1 ] || fail "resave wrote over a locked project"
grep -q "が開いています。" "$work/resave.out" || fail "resave did not name the holder"

# The holder killed: its lock is taken over with a notice.
kill -9 "$holding"
wait "$holding" 2>/dev/null
cat >"$work/after.vts" <<'VTS'
choose-file 山田邸.xdt
open
expect message-with 確認 引き継ぎます。
expect project 山田邸
VTS
run after || fail "after: $(tail -3 "$work/after.out")"

# Where no lock file can be written (here a folder in its place, which
# refuses even the superuser), the project opens with a notice.
mkdir -p "$data/.~lock.山田邸.xdt#"
cat >"$work/unlockable.vts" <<'VTS'
choose-file 山田邸.xdt
open
expect message-with 確認 ロックファイルを作れませんでした。
expect project 山田邸
VTS
run unlockable || fail "unlockable: $(tail -3 "$work/unlockable.out")"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s); outputs in $work"
  exit 1
fi
echo "recovery and locks: all checks passed"
