#!/usr/bin/env bash
# Tests what scripts/package.sh ships: it packages, then unpacks the zip, and installs and
# uninstalls with the setup program as a user and an administrator would, under Wine in the
# tests' prefix. scripts/test.sh runs it after the Wine tests, with Wine up and an X server;
# it ends with "package tests: N passed, N failed, N skipped".
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

bash "$DUSTREL_ROOT/scripts/package.sh"

dustrel_wine_env
if [[ -z ${DISPLAY:-} || ! -f $WINEPREFIX/.dustrel-ready ]]; then
    echo "package_test.sh: needs the Wine prefix and the X server scripts/test.sh sets up" >&2
    exit 2
fi

version=$(sed -nE 's/^project\(Dustrel VERSION ([0-9]+\.[0-9]+\.[0-9]+).*/\1/p' \
    "$DUSTREL_ROOT/CMakeLists.txt")
dist="$DUSTREL_BUILD/dist"
zip="$dist/dustrel-$version-portable.zip"
setup="$dist/dustrel-$version-setup.exe"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dustrel'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\Software\Dustrel'

# What ships is 32-bit; where the kernel cannot start 32-bit Wine (see common.sh) nothing of it
# can run, and only what needs no Windows is tested.
can_run=yes
[[ $(dustrel_wine_arch) == win32 ]] || can_run=no

# Every Windows program gets 60 s: a silent setup that waits on a question must fail, not hang.
wine_run() { timeout 60 "$DUSTREL_WINE" "$@" </dev/null; }
windows_path() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
expand() { wine_run cmd /c echo "$1" 2>/dev/null | tr -d '\r'; }
# reg_values <key>: "name<TAB>data" for each value of the key; fails when the key is missing.
reg_values() {
    local out
    out=$(wine_run reg query "$1" 2>/dev/null | tr -d '\r') || return 1
    sed -nE 's/^    (.+)    REG_[A-Z_]+    (.*)$/\1\t\2/p' <<<"$out"
}
reg_value() { reg_values "$1" | sed -n "s/^$2\t//p" | grep ''; }
has_key() { wine_run reg query "$1" >/dev/null 2>&1; }
reg_delete() { wine_run reg delete "$@" /f >/dev/null 2>&1 || true; }

# shows_window <exe or shortcut>: starts it as Explorer would and waits for its main window,
# then ends it. Start-up asks nothing while the settings hold no reminder date, and the tests
# never leave one older than today.
shows_window() {
    wine_run start "$1" >/dev/null 2>&1
    local status=0
    waits_for_window || status=1
    [[ ${2:-} == keep ]] || stop_dustrel
    return $status
}
waits_for_window() {
    local tries
    for ((tries = 0; tries < 120; tries++)); do
        xdotool search --onlyvisible --name '^Dustrel v1\.0$' >/dev/null 2>&1 && return 0
        sleep 0.25
    done
    return 1
}
stop_dustrel() {
    wine_run taskkill /f /im dustrel.exe >/dev/null 2>&1 || true
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        pgrep -if '\\dustrel\.exe' >/dev/null || return 0
        sleep 0.1
    done
}

# uninstall <folder> <args>: a silent uninstaller copies itself to %TEMP%\~nsu*.tmp, starts the
# copy (so that it can delete itself) and returns at once. The copy has begun when the folder's
# uninstall.exe has gone, and ended with its process.
uninstall() {
    wine_run "$1\\uninstall.exe" "${@:2}" || { fail "the uninstaller in $1 failed"; return; }
    local tries unix
    unix=$(unix_path "$1")
    for ((tries = 0; tries < 300; tries++)); do
        [[ -e $unix/uninstall.exe ]] || pgrep -f '\\~nsu[^\\]*\.tmp\\' >/dev/null || return 0
        sleep 0.1
    done
    fail "the uninstaller in $1 did not end"
}

# store_settings <program name> <tray choice>: what the program stores, as it writes it: its
# tray choice, a custom extension (key and value shifted by one character) and the Run value
# of the copy in the default folder.
run_entry() { echo "\"$default_dir\\dustrel.exe\" /STARTUP"; }
store_settings() {
    dustrel_wine_import <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]
"dustrel"="$(sed 's/\\/\\\\/g; s/"/\\"/g' <<<"$(run_entry)")"

[HKEY_CURRENT_USER\\Software\\Dustrel\\$1\\Settings]
"RunAtSysTray"="$2"

[HKEY_CURRENT_USER\\Software\\Dustrel\\$1\\CustomExt]
"Fyu"="+/pme"
REG
}

local_appdata=$(expand '%LOCALAPPDATA%')
default_dir="$local_appdata\\Programs\\Dustrel"
other_dir='C:\Dustrel Elsewhere'
portable_dir='C:\Dustrel Portable'
foreign_dir='C:\Dustrel Foreign'
shortcut="$(expand '%APPDATA%')\\Microsoft\\Windows\\Start Menu\\Programs\\Dustrel.lnk"
default_unix=$(unix_path "$default_dir")
other_unix=$(unix_path "$other_dir")
portable_unix=$(unix_path "$portable_dir")
foreign_unix=$(unix_path "$foreign_dir")
shortcut_unix=$(unix_path "$shortcut")
temp_unix=$(unix_path "$(expand '%TEMP%')")
for path in "$default_unix" "$other_unix" "$portable_unix" "$foreign_unix" "$shortcut_unix" \
    "$temp_unix"; do
    if [[ $path != "$WINEPREFIX"/* ]]; then
        echo "package_test.sh: $path is outside the Wine prefix: not touching it" >&2
        exit 2
    fi
done

# Leaves the prefix as a run killed half way may not have: nothing installed, nothing stored.
clean_prefix() {
    stop_dustrel
    rm -rf "$default_unix" "$other_unix" "$portable_unix" "$foreign_unix" "$shortcut_unix" \
        "$temp_unix"/~nsu*.tmp
    reg_delete "$uninstall_key"
    reg_delete "$settings_key"
    reg_delete "$run_key" /v dustrel
}

fail() {
    echo "    $*"
    problems=$((problems + 1))
}

# --- the tests, in this order: each starts from the installation the one before left --------

test_portable_zip() {
    (cd "$dist" && sha256sum --quiet -c SHA256SUMS && grep -q "  ${zip##*/}$" SHA256SUMS &&
        grep -q "  ${setup##*/}$" SHA256SUMS) || fail "SHA256SUMS does not vouch for both files"
    local expected="README.txt dustrel.exe "
    [[ -f $DUSTREL_ROOT/LICENSE || -f $DUSTREL_ROOT/LICENCE || -f $DUSTREL_ROOT/COPYING ]] &&
        expected="LICENSE.txt $expected"
    [[ $(unzip -Z1 "$zip" | sort | tr '\n' ' ') == "$expected" ]] ||
        fail "the zip holds: $(unzip -Z1 "$zip" | tr '\n' ' ')"
    mkdir -p "$portable_unix"
    unzip -q -o "$zip" -d "$portable_unix" || fail "the zip does not unpack"
    local exe="$portable_unix/dustrel.exe" readme="$portable_unix/README.txt"
    [[ $(head -1 "$readme") == "Dustrel $version"$'\r' ]] || fail "README.txt is not $version's"
    [[ $(grep -vc $'\r$' "$readme") == 0 ]] || fail "README.txt has lines without CR LF"
    # The exe must be the shipped 32-bit build, with the project's version in its resource.
    i686-w64-mingw32-objdump -f "$exe" | grep -q 'file format pei-i386' ||
        fail "dustrel.exe is not a 32-bit Windows program"
    # Windows 7 SP1 is the oldest it runs on, and older ones are told so by the loader.
    local header
    header=$(i686-w64-mingw32-objdump -p "$exe")
    [[ $(grep -E '^M[a-z]+(OSystem|Subsystem)Version' <<<"$header" | awk '{print $2}' |
        tr '\n' ' ') == "6 1 6 1 " ]] || fail "dustrel.exe's header does not ask for Windows 7 (6.1)"
    grep -q 'TERMINAL_SERVICE_AWARE' <<<"$header" ||
        fail "dustrel.exe is not marked Terminal Server aware"
    i686-w64-mingw32-windres -i "$exe" -O rc 2>/dev/null |
        grep -q "VALUE \"ProductVersion\", \"$version.0\"" ||
        fail "dustrel.exe's version resource does not say $version.0"
    grep -aq '<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true<' \
        "$exe" || fail "dustrel.exe's manifest does not declare itself long-path aware"
    [[ $can_run == no ]] || shows_window "$portable_dir\\dustrel.exe" ||
        fail "the unpacked dustrel.exe showed no window"
}

test_silent_install() {
    # Wine ignores it, so only the manifest shows that Windows will not ask for elevation.
    grep -aq 'requestedExecutionLevel level="asInvoker"' "$setup" ||
        fail "setup.exe asks Windows for more than the user's rights"
    wine_run "$(windows_path "$setup")" /S || { fail "setup /S failed ($?)"; return; }
    cmp -s "$default_unix/dustrel.exe" "$DUSTREL_BUILD/win32/dustrel.exe" ||
        fail "the installed dustrel.exe is not the one built"
    [[ -f $default_unix/uninstall.exe ]] || fail "no uninstall.exe in $default_dir"
    [[ -f $shortcut_unix ]] || fail "no shortcut $shortcut"
    local -A got=() want=(
        [DisplayName]=Dustrel [DisplayVersion]=$version [Publisher]="Dustrel project"
        [DisplayIcon]="$default_dir\\dustrel.exe" [InstallLocation]=$default_dir
        [UninstallString]="\"$default_dir\\uninstall.exe\""
        [QuietUninstallString]="\"$default_dir\\uninstall.exe\" /S"
        [NoModify]=0x1 [NoRepair]=0x1)
    local name value
    has_key "$uninstall_key" || { fail "no key $uninstall_key"; return; }
    while IFS=$'\t' read -r name value; do
        got[$name]=$value
    done < <(reg_values "$uninstall_key")
    for name in "${!want[@]}"; do
        [[ ${got[$name]-} == "${want[$name]}" ]] ||
            fail "$name is '${got[$name]-(none)}', expected '${want[$name]}'"
    done
    local kib=${got[EstimatedSize]:-none} bytes
    bytes=$(cat "$default_unix"/{dustrel,uninstall}.exe 2>/dev/null | wc -c)
    [[ $kib =~ ^0x[0-9a-f]+$ ]] && ((kib >= bytes / 1024 - 2 && kib <= bytes / 1024 + 2)) ||
        fail "EstimatedSize is $kib KiB for $bytes bytes"
    ! has_key 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dustrel' ||
        fail "setup wrote to HKEY_LOCAL_MACHINE"
    # Through the shortcut, as a user starts it.
    shows_window "$shortcut" || fail "the installed program showed no window"
}

# An administrator installs a second copy elsewhere, then reinstalls the first: uninstalling
# the second copy removes it and leaves the first its shortcut, its entry in "Apps & features"
# and its Run value; the settings key of a renamed copy stays too.
test_other_folder() {
    local setup_path
    setup_path=$(windows_path "$setup")
    # Through cmd, as typed: /D= takes the rest of the line, blanks and all, unquoted.
    wine_run cmd /c "$setup_path /S /D=$other_dir" || { fail "setup /S /D= failed"; return; }
    [[ -f $other_unix/dustrel.exe && -f $other_unix/uninstall.exe ]] ||
        fail "nothing installed in $other_dir"
    [[ $(reg_value "$uninstall_key" InstallLocation) == "$other_dir" ]] ||
        fail "the uninstall entry does not name $other_dir"
    wine_run cmd /c "$setup_path /S /D=$default_dir" || fail "reinstalling in $default_dir failed"
    store_settings cleaner False
    uninstall "$other_dir" /S
    [[ ! -e $other_unix ]] || fail "$other_dir is still there: $(ls -A "$other_unix" | tr '\n' ' ')"
    [[ -f $default_unix/dustrel.exe && -f $shortcut_unix ]] ||
        fail "the installation in $default_dir lost its program or its shortcut"
    [[ $(reg_value "$uninstall_key" InstallLocation) == "$default_dir" ]] ||
        fail "the uninstall entry of $default_dir is gone"
    [[ $(reg_value "$run_key" dustrel) == "$(run_entry)" ]] ||
        fail "the Run value of the copy in $default_dir is gone"
    has_key "$settings_key\\cleaner" || fail "the settings of another program name are gone"
    reg_delete "$settings_key\\cleaner"
}

# Started as DUSTREL.EXE, the program is the same one. Windows names a program as it was typed;
# Wine's loader does too when handed the name, but start would pass on the name as stored.
test_running_copy() {
    wine_run "$default_dir\\DUSTREL.EXE" >/dev/null 2>&1 &
    waits_for_window || { fail "the program showed no window"; stop_dustrel; return; }
    local status=0
    wine_run "$(windows_path "$setup")" /S || status=$?
    ((status == 2)) || fail "setup /S over a running copy ended with $status, not 2"
    status=0
    wine_run "$default_dir\\uninstall.exe" /S "_?=$default_dir" || status=$?
    ((status == 2)) || fail "uninstall /S of a running copy ended with $status, not 2"
    [[ -f $default_unix/dustrel.exe ]] && has_key "$uninstall_key" ||
        fail "the refused uninstallation removed something"
    stop_dustrel
}

# Setup replaces no file of another program's: into a folder holding one where setup would
# write, it installs nothing, leaves the file byte for byte and ends with exit code 1. The
# installation in the default folder stays the one "Apps & features" names.
test_foreign_folder() {
    local work name status
    work=$(mktemp -d)
    # Another program's setup made by NSIS too, with a version resource of its own.
    printf '%s\n' 'Unicode true' 'Name Other' "OutFile \"$work/other.exe\"" \
        'VIProductVersion 2.0.0.0' 'VIAddVersionKey ProductName Other' \
        'VIAddVersionKey CompanyName "Other project"' 'VIAddVersionKey FileVersion 2.0.0' \
        'Section' 'SectionEnd' | makensis -V1 - >/dev/null || fail "makensis made no other program"
    echo "not a program" >"$work/plain"
    for name in uninstall.exe:other.exe uninstall.exe:plain dustrel.exe:plain; do
        rm -rf "$foreign_unix"
        mkdir -p "$foreign_unix"
        cp "$work/${name#*:}" "$foreign_unix/${name%:*}"
        status=0
        wine_run cmd /c "$(windows_path "$setup") /S /D=$foreign_dir" || status=$?
        ((status == 1)) || fail "setup /S over another program's ${name%:*} ended with $status, not 1"
        cmp -s "$work/${name#*:}" "$foreign_unix/${name%:*}" ||
            fail "setup replaced another program's ${name%:*}"
        [[ $(ls -A "$foreign_unix") == "${name%:*}" ]] ||
            fail "setup wrote into $foreign_dir: $(ls -A "$foreign_unix" | tr '\n' ' ')"
    done
    [[ $(reg_value "$uninstall_key" InstallLocation) == "$default_dir" ]] ||
        fail "the uninstall entry no longer names $default_dir"
    rm -rf "$foreign_unix" "$work"
}

# On a Windows older than 7 SP1 setup says so, installs nothing and ends with exit code 3.
test_old_windows() {
    local key="HKCU\\Software\\Wine\\AppDefaults\\${setup##*/}" status=0
    wine_run reg add "$key" /v Version /d winxp /f >/dev/null 2>&1 || fail "cannot make Wine old"
    rm -rf "$foreign_unix"
    wine_run cmd /c "$(windows_path "$setup") /S /D=$foreign_dir" || status=$?
    reg_delete "$key"
    ((status == 3)) || fail "setup /S on Windows XP ended with $status, not 3"
    [[ ! -e $foreign_unix ]] || fail "setup on Windows XP made $foreign_dir"
}

# What the program stores goes with it; a deletion log and a file of the user's own stay.
test_silent_uninstall() {
    store_settings dustrel True
    mkdir -p "$default_unix/log files"
    echo "Dustrel" >"$default_unix/log files/Dustrel-12052026-957.log"
    echo "mine" >"$default_unix/notes.txt"
    [[ $(reg_value "$run_key" dustrel) == "$(run_entry)" ]] && has_key "$settings_key\\dustrel" ||
        { fail "could not store the program's settings"; return; }
    # The command "Apps & features" runs for a silent removal.
    local quiet
    quiet=$(reg_value "$uninstall_key" QuietUninstallString) || true
    [[ $quiet == "\"$default_dir\\uninstall.exe\" /S" ]] || fail "QuietUninstallString is '$quiet'"
    uninstall "$default_dir" /S
    [[ ! -e $default_unix/dustrel.exe && ! -e $default_unix/uninstall.exe ]] ||
        fail "the program is still installed"
    [[ ! -e $shortcut_unix ]] || fail "the shortcut is still there"
    ! has_key "$uninstall_key" || fail "the uninstall entry is still there"
    ! reg_value "$run_key" dustrel >/dev/null || fail "the Run value is still there"
    ! has_key "$settings_key" || fail "$settings_key is still there"
    [[ -f "$default_unix/log files/Dustrel-12052026-957.log" ]] ||
        fail "the deletion log went, which a silent removal keeps"
    [[ -f $default_unix/notes.txt ]] || fail "the user's own file went"
}

passed=0 failed=0 skipped=0
trap clean_prefix EXIT
clean_prefix
for name in test_portable_zip test_silent_install test_other_folder test_foreign_folder \
    test_running_copy test_old_windows test_silent_uninstall; do
    started=$SECONDS
    if [[ $can_run == no && $name != test_portable_zip ]]; then
        echo "SKIP $name (32-bit Windows programs cannot run here)"
        skipped=$((skipped + 1))
    # A test records what it finds wrong and goes on; the subshell keeps whatever else may go
    # wrong in it (a bad expansion ends a shell) from ending the run.
    elif (
        problems=0
        "$name" || true
        ((problems == 0))
    ); then
        echo "PASS $name ($((SECONDS - started)) s)"
        passed=$((passed + 1))
    else
        echo "FAIL $name"
        failed=$((failed + 1))
    fi
done

echo "package tests: $passed passed, $failed failed, $skipped skipped"
((failed == 0))
