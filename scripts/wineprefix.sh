#!/usr/bin/env bash
# Creates a Wine prefix once (wineboot) and configures it: no crash dialogs,
# unmanaged windows, no desktop visual style, the fonts of fonts-wine. A stalled wineboot fails within
# a bounded time instead of hanging. Raise the version below when the
# configuration changes, so existing prefixes are configured again.
#
# With --isolated (the test prefixes) the user's shell folders are folders of
# the prefix itself instead of links to the home folder, so nothing a test
# writes to "My Documents" can touch a real file.
set -euo pipefail
prefix="$1"
isolated="${2:-}"
ready="$prefix/.vantaro-ready"
version="4${isolated}${VANTARO_VISUAL_STYLE:+style$VANTARO_VISUAL_STYLE}"

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

# Debian's Wine does not pick up the fonts of fonts-wine from its data folder,
# so Tahoma would fall back to a serif face; the prefix's own Fonts folder is
# always searched.
install_fonts() {
  local fonts="$prefix/drive_c/windows/Fonts"
  [ -d "$fonts" ] || return 0
  for font in /usr/share/wine/fonts/*.ttf; do
    [ -f "$font" ] && [ ! -f "$fonts/$(basename "$font")" ] && cp "$font" "$fonts/"
  done
  return 0
}

isolate_user_folders() {
  local link
  for link in "$prefix"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
      rm "$link"
      mkdir -p "$link"
    fi
  done
}

configure() {
  [ "$isolated" = "--isolated" ] && isolate_user_folders
  timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # Windows are the device's, placed by the program itself. Unmanaged, they
  # also close at once: without a window manager Wine otherwise waits two
  # seconds for each managed window to be withdrawn.
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  # The handheld draws flat, unthemed controls; Wine's desktop style draws
  # gradients and themed scroll bars instead, and costs more than a third of
  # the server calls of a start-up and half of those of a tap on a long list
  # (scripts/views_server_calls.sh measures both). VANTARO_VISUAL_STYLE=1
  # keeps the style.
  timeout 60 wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive \
    /t REG_SZ /d "${VANTARO_VISUAL_STYLE:-0}" /f >/dev/null 2>&1
  timeout 60 wineserver -w || true
  install_fonts
  echo "$version" >"$ready"
}

if [ -f "$ready" ]; then
  [ "$(cat "$ready")" = "$version" ] || configure
  exit 0
fi

unset DISPLAY
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
echo "Preparing Wine prefix $prefix"
if ! timeout 300 wineboot -i >/dev/null 2>&1; then
  echo "error: wineboot did not finish within 300 s for $prefix" >&2
  timeout 20 wineserver -k 2>/dev/null || true
  exit 1
fi
configure
