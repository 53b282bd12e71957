#!/usr/bin/env bash
# Prints the URI of the machine's own Debian mirror: the first apt source that serves the
# release's main suite (one-line sources.list or deb822 .sources files).
set -euo pipefail
codename=${1:?codename}
{
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -r $f ]] || continue
    # deb [options] URI suite components...
    sed -E 's/\[[^]]*\]//' "$f" | awk -v s="$codename" '$1 == "deb" && $3 == s { print $2 }'
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -r $f ]] || continue
    awk -v s="$codename" '
      function flush() { if (deb && !off && uri != "" && has) print uri; deb = 0; off = 0; uri = ""; has = 0 }
      /^[[:space:]]*$/ { flush(); next }
      /^Types:/ { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
      /^URIs:/ { uri = $2 }
      /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == s) has = 1 }
      /^Enabled:[[:space:]]*no/ { off = 1 }
      END { flush() }' "$f"
  done
} | head -n 1
