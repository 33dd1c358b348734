#!/usr/bin/env bash
# The Windows programs import only DLLs that Windows itself ships: no D3DX, no SDL, no
# compiler runtime. And each carries its icon as resource 32512 (0x7f00), which the window
# class loads, and version information with the project's version (the build's version.txt).
# Usage: imports_test.sh PROGRAM.exe...
set -euo pipefail
allowed=" KERNEL32.dll USER32.dll GDI32.dll WINMM.dll d3d9.dll DINPUT8.dll WS2_32.dll DSOUND.dll MSACM32.dll msvcrt.dll "
status=0
for program in "$@"; do
    headers=$(x86_64-w64-mingw32-objdump -p "$program")
    dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
    [ -n "$dlls" ] || { echo "FAIL: no import table read from $program"; status=1; continue; }
    for dll in $dlls; do
        # Windows matches DLL names without regard to case.
        if ! grep -qi " $dll " <<<"$allowed"; then
            echo "FAIL: $(basename "$program") imports $dll"
            status=1
        fi
    done
    if ! grep -q "Entry: ID: 0x007f00" <<<"$headers"; then
        echo "FAIL: $(basename "$program") has no resource 32512 (the icon)"
        status=1
    fi
    version=$(cat "$(dirname "$program")/../version.txt")
    if ! strings -el "$program" | grep -qx "$version"; then
        echo "FAIL: $(basename "$program") has no version information for $version"
        status=1
    fi
    echo "$(basename "$program"): $(echo $dlls)"
done
exit $status
