# Sourced by the scripts that run Wine: quiet, no Mono or Gecko installer dialog, no menu
# entries written into the home folder, and no debugger that waits on a crashed program
# until the test's time runs out.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
