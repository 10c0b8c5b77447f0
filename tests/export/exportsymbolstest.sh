#!/bin/bash
# tamurika-export composes the sheet from the calendar model alone: none of the program's windows
# or dialogs is linked into it. Its symbols are read with nm and every class of a window is
# looked for; the window program itself must show them, so that a binary without symbols (or a
# changed name) cannot pass for a clean one.
# Usage: exportsymbolstest.sh EXPORT-PROGRAM WINDOW-PROGRAM
set -euo pipefail
export LC_ALL=C

export_program=$1
window_program=$2
windows=(TmainForm TFrmPrtLR TFrmfontRead TFrmfontSave TSlotDialog TverForm TCalendarEx
         TCustomCalendarEx TStatusBarP)

symbols() { nm -C "$1" 2>/dev/null | grep -oE '[A-Za-z_][A-Za-z0-9_]*::' | sort -u; }

in_window=$(symbols "$window_program")
in_export=$(symbols "$export_program")
failures=0
for class in "${windows[@]}"; do
    if ! grep -qx "$class::" <<<"$in_window"; then
        echo "FAIL: $window_program has no symbol of $class: the check would see nothing" >&2
        failures=$((failures + 1))
    fi
    if grep -qx "$class::" <<<"$in_export"; then
        echo "FAIL: $export_program links $class:" >&2
        nm -C "$export_program" | grep -F "$class::" | head -n 5 >&2
        failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ] || exit 1
echo "tamurika-export links none of: ${windows[*]}"
