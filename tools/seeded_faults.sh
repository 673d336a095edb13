#!/usr/bin/env bash
# Seeded faults: how many small, realistic faults the test suite catches.
#   tools/seeded_faults.sh [--list] [NAME...]
# Each fault below is applied alone to a scratch clone of this checkout's
# HEAD, which is built and run against the tests that cover the fault's
# folder; the script prints CAUGHT or MISSED per fault, then "N caught, M
# missed". Names pick some faults only; --list prints them.
#
# The tests that cover a folder: the native suite for the portable folders
# (a portable decision is meant to be caught by its cheap test), the Wine
# suite for ui/ and platform/win32/, narrowed per fault to the tests of the
# window it touches. The scratch clone and its builds stay under
# $HARVIO_FAULTS_DIR (default /var/tmp/harvio-faults) between runs, so only
# what a fault touches is rebuilt.
#
# A fault is one line: NAME, FILE, the line as it stands (leading blanks
# aside), the line that replaces it, and optionally a ctest -R pattern;
# fields separated by " @@ ".
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
scratch=${HARVIO_FAULTS_DIR:-/var/tmp/harvio-faults}
per_test_timeout=120

faults=$(cat <<'EOF'
queue-cap-2049 @@ core/task_info.h @@ constexpr uint32_t kQueueCap = 2048; @@ constexpr uint32_t kQueueCap = 2049;
take-past-limit @@ core/url_queue.cpp @@ if (oldestWaiting == nullptr || active >= limit) return nullptr; @@ if (oldestWaiting == nullptr || active > limit) return nullptr;
gbk-copy-no-room-for-nul @@ core/gbk_text.cpp @@ if (used + step >= capacity) break; @@ if (used + step > capacity) break;
checkpoint-not-written @@ core/checkpoint.cpp @@ bool ok = SaveProgress(*task); @@ bool ok = true;
eleventh-task @@ core/task.cpp @@ if (live >= kMaxTasks) return nullptr; @@ if (live > kMaxTasks) return nullptr;
create-new-overwrites @@ platform/posix/files.cpp @@ case File::Mode::kCreateNew: return O_RDWR | O_CREAT | O_EXCL; @@ case File::Mode::kCreateNew: return O_RDWR | O_CREAT;
ini-keys-case-sensitive @@ platform/ini_file.cpp @@ if (UpperAscii(name[i]) != UpperAscii(other[i])) return false; @@ if (name[i] != other[i]) return false;
tls-peer-unchecked @@ platform/posix/tls.cpp @@ SSL_CTX_set_verify(c, SSL_VERIFY_PEER, nullptr); @@ SSL_CTX_set_verify(c, SSL_VERIFY_NONE, nullptr);
win32-create-new-overwrites @@ platform/win32/files.cpp @@ case File::Mode::kCreateNew: return {kReadWrite, CREATE_NEW}; @@ case File::Mode::kCreateNew: return {kReadWrite, OPEN_ALWAYS}; @@ ^wine\.(platform|task_files|cli_run)
win32-unknown-ca-accepted @@ platform/win32/tls.cpp @@ para.dwFlags = unknownCa ? CERT_CHAIN_POLICY_ALLOW_UNKNOWN_CA_FLAG : 0; @@ para.dwFlags = CERT_CHAIN_POLICY_ALLOW_UNKNOWN_CA_FLAG; @@ ^wine\.cli_tls
png-always-wanted @@ sources/text_helpers.cpp @@ if (std::strcmp(extension, ".png") == 0) return WantsFormat(info, kPngFormat); @@ if (std::strcmp(extension, ".png") == 0) return true;
lazy-data-src-missed @@ sources/custom_parser.cpp @@ const char* const kLazyAttributes[] = {" data-src", " data-original", @@ const char* const kLazyAttributes[] = {" data-srcs", " data-original",
board-count-cell-limit-off-by-one @@ sources/board_parsers.cpp @@ if (rule.limit != 0 && value.size() >= rule.limit) { @@ if (rule.limit != 0 && value.size() > rule.limit) {
board-unwanted-pictures-queued @@ sources/board_parsers.cpp @@ if (rule.wantedOnly && !IsWantedPicture(url, *page.ctx.info)) return; @@ if (rule.wantedOnly && !IsWantedPicture(url, *page.ctx.info)) {}
search-url-one-byte-long @@ sources/search_parsers.cpp @@ if (length + pathLength + valueLength > kUrlMax) return false; @@ if (length + pathLength + valueLength > kUrlMax + 1) return false;
dispatch-last-source-of-range @@ sources/page_dispatch.cpp @@ if (source >= range.first && source <= range.last) { @@ if (source >= range.first && source < range.last) {
range-header-lost @@ net/http_request.cpp @@ if (item.size != 0 && item.done != 0) { @@ if (item.size != 0 && item.done == 0) {
body-limit-off-by-one @@ net/response.cpp @@ if (length < kShortestBody || length > BodyLimit(w)) return false; @@ if (length < kShortestBody || length >= BodyLimit(w)) return false;
rename-skipped @@ net/response.cpp @@ platform::RenameNoOverwrite(partial, partial.substr(0, partial.size() - 2)); @@ (void)partial;
416-not-requeued @@ net/response.cpp @@ if (status == 416) RequeueFresh(w); @@ (void)0;
max-picture-kb-ignored @@ net/response.cpp @@ return w.kind_ == kPic ? w.options().MaxPictureKB * 1024 : kMaxBodyBytes; @@ return kMaxBodyBytes;
fourth-running-task @@ app/scheduler.cpp @@ if (RunningCount(rows) >= kMaxRunningTasks) return -1; @@ if (RunningCount(rows) > kMaxRunningTasks) return -1;
wrong-state-label @@ app/list_rules.cpp @@ return StringText(kFirstTaskStateLabel + std::min<uint32_t>(state, kDone)); @@ return StringText(kFirstTaskStateLabel + std::min<uint32_t>(state, kDone) + 1);
pending-columns-reversed @@ app/list_rules.cpp @@ return std::to_string(status.pending[column - 2]); @@ return std::to_string(status.pending[4 - column]);
retry-wait-low-bound @@ app/options.cpp @@ {"RetryWait", &Options::RetryWait, 2, 10}, @@ {"RetryWait", &Options::RetryWait, 1, 10},
batch-width-of-first-bound @@ app/url_batch.cpp @@ uint32_t width = std::max(CountDigits(batch.from), CountDigits(batch.to)); @@ uint32_t width = CountDigits(batch.from);
cli-formats-swapped @@ cli/cmd_new.cpp @@ static const char* const kWords[kFormatCount] = {"jpg-large", "jpg-small", @@ static const char* const kWords[kFormatCount] = {"jpg-small", "jpg-large",
cli-list-last-column-lost @@ cli/cmd_list.cpp @@ for (int column = 1; column < kTaskColumns; ++column) row += "\t" + TaskCellText(s, column); @@ for (int column = 1; column < kTaskColumns - 1; ++column) row += "\t" + TaskCellText(s, column);
pause-text-changed @@ res/strings.txt @@ 1003	暂停选定的任务 @@ 1003	暂停所选的任务
task-column-titles-shifted @@ ui/task_list_view.cpp @@ constexpr unsigned kFirstTitle = 1070;  // "任务状态" ... "类型信息" @@ constexpr unsigned kFirstTitle = 1071; @@ ^wine\.ui_
thread-list-keeps-focus @@ ui/thread_list_view.cpp @@ if (message == WM_SETFOCUS) { @@ if (message == WM_KILLFOCUS) { @@ ^wine\.ui_
add-url-to-bound-from-first @@ ui/add_url_dialog.cpp @@ batch.to = BatchBoundFromText(ControlText(dialog, IDC_TO, kBoundMax)); @@ batch.to = BatchBoundFromText(ControlText(dialog, IDC_FROM, kBoundMax)); @@ ^wine\.(wizard|ui_)
tray-icon-left-behind @@ ui/tray.cpp @@ Shell_NotifyIconA(NIM_DELETE, &record); @@ (void)record; @@ ^wine\.ui_tray
power-off-cancel-ignored @@ ui/shutdown.cpp @@ if (LOWORD(wparam) == IDCANCEL) EndDialog(dialog, IDCANCEL); @@ if (LOWORD(wparam) == IDCANCEL) EndDialog(dialog, IDOK); @@ ^wine\.window_power
grid-lines-check-inverted @@ ui/commands.cpp @@ CheckItem(popup, CMD_SHOW_GRID_LINES, options_.ShowGridLine); @@ CheckItem(popup, CMD_SHOW_GRID_LINES, !options_.ShowGridLine); @@ ^wine\.ui_
options-timeouts-swapped @@ ui/options_sheet.cpp @@ IDC_CONN_TIMEOUT, IDC_DATA_TIMEOUT, IDC_RETRY_WAIT,    IDC_WEB2_RETRIES, @@ IDC_DATA_TIMEOUT, IDC_CONN_TIMEOUT, IDC_RETRY_WAIT,    IDC_WEB2_RETRIES, @@ ^wine\.(options|ui_options)
new-task-row-not-shown @@ ui/wizard_finish_page.cpp @@ if (dialog.appendTaskRow) dialog.appendTaskRow(task); @@ (void)task; @@ ^wine\.(wizard|ui_)
EOF
)

native_tests='^(wine\.|package\.|fuzz_(store|response|dispatch)$)'

field() { awk -F' @@ ' -v n="$1" '{print $n}' <<<"$2"; }

is_window_side() {
  case $1 in ui/*|platform/win32/*) return 0 ;; *) return 1 ;; esac
}

# apply FILE OLD NEW: the first line that reads OLD (leading blanks aside)
# becomes NEW with the same indentation; fails when no line reads OLD.
apply() {
  python3 - "$scratch/src/$1" "$2" "$3" <<'PY'
import sys
path, old, new = sys.argv[1], sys.argv[2].strip(), sys.argv[3]
lines = open(path, encoding="utf-8").read().split("\n")
for i, line in enumerate(lines):
    if line.strip() == old:
        lines[i] = line[: len(line) - len(line.lstrip())] + new
        open(path, "w", encoding="utf-8").write("\n".join(lines))
        sys.exit(0)
sys.exit(1)
PY
}

prepare_scratch() {
  mkdir -p "$scratch"
  if [[ ! -d $scratch/src/.git ]]; then
    git clone -q "$root" "$scratch/src"
  fi
  git -C "$scratch/src" fetch -q "$root" HEAD
  git -C "$scratch/src" checkout -q --force FETCH_HEAD
  git -C "$scratch/src" clean -qfdx -e build -e build-win -e build-win64 -e .wineprefix -e .wineprefix64
  echo "seeded faults: building the scratch clone at $(git -C "$scratch/src" rev-parse --short HEAD)" >&2
  (cd "$scratch/src" && bash tools/harvio.sh build >/dev/null)
  win_dir=$(sed -n 's/^HARVIO_WIN_BUILD_DIR:[A-Z]*=//p' "$scratch/src/build/CMakeCache.txt")
  [[ $win_dir == */build-win64 ]] && export HARVIO_WINE_ARCH=win64 || export HARVIO_WINE_ARCH=win32
}

build_for() {
  cmake --build "$scratch/src/build" -j 2 >/dev/null 2>&1 || return 1
  if is_window_side "$1"; then
    cmake --build "$win_dir" -j 2 >/dev/null 2>&1 || return 1
  fi
}

# Runs the tests that cover FILE into last-ctest.log: exit 0 when they pass.
run_covering_tests() {
  local file=$1 pattern=$2 selection
  if [[ -n $pattern ]]; then
    selection=(-R "$pattern")
  elif is_window_side "$file"; then
    selection=(-R '^wine\.')
  else
    selection=(-E "$native_tests")
  fi
  (cd "$scratch/src/build" &&
   ctest "${selection[@]}" --stop-on-failure --timeout "$per_test_timeout" \
     >"$scratch/last-ctest.log" 2>&1)
}

# The first failed test of the last run, as ctest lists it, with how it
# ended unless it simply failed: a test caught only by its time-out
# (Timeout) deserves a second look.
first_failed() {
  sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*(\(.*\))$/\1 (\2)/p' "$scratch/last-ctest.log" |
    head -n 1 | sed 's/ (Failed)$//'
}

list_only=0
wanted=()
for arg in "$@"; do
  case $arg in
    --list) list_only=1 ;;
    -*) echo "usage: tools/seeded_faults.sh [--list] [NAME...]" >&2; exit 2 ;;
    *) wanted+=("$arg") ;;
  esac
done

selected=()
while IFS= read -r line; do
  name=$(field 1 "$line")
  if [[ ${#wanted[@]} -eq 0 || " ${wanted[*]} " == *" $name "* ]]; then
    selected+=("$line")
  fi
done <<<"$faults"

if [[ $list_only -eq 1 ]]; then
  for line in "${selected[@]}"; do printf '%-32s %s\n' "$(field 1 "$line")" "$(field 2 "$line")"; done
  exit 0
fi
[[ ${#selected[@]} -gt 0 ]] || { echo "seeded faults: no fault named ${wanted[*]}" >&2; exit 2; }

prepare_scratch
caught=0 missed=0 broken=0 missed_names=()
for line in "${selected[@]}"; do
  name=$(field 1 "$line") file=$(field 2 "$line")
  started=$SECONDS
  if ! apply "$file" "$(field 3 "$line")" "$(field 4 "$line")"; then
    verdict="NOT APPLIED (the line is not in $file)"
    broken=$((broken + 1))
  elif ! build_for "$file"; then
    verdict="NOT BUILT (the fault does not compile)"
    broken=$((broken + 1))
  elif run_covering_tests "$file" "$(field 5 "$line")"; then
    if grep -q 'No tests were found' "$scratch/last-ctest.log"; then
      verdict="NO TESTS (nothing matches the fault's test pattern)"
      broken=$((broken + 1))
    else
      verdict=MISSED
      missed=$((missed + 1))
      missed_names+=("$name")
    fi
  else
    verdict="CAUGHT by $(first_failed)"
    caught=$((caught + 1))
  fi
  git -C "$scratch/src" checkout -q -- "$file"
  printf '%-32s %-28s %4ds  %s\n' "$name" "$file" $((SECONDS - started)) "$verdict"
done
# The clean tree built again, so the next run starts from it.
build_for ui/ >/dev/null 2>&1 || true
echo "$caught caught, $missed missed${missed_names:+ (${missed_names[*]})}$([[ $broken -gt 0 ]] && echo ", $broken not applied, not built or without tests")"
