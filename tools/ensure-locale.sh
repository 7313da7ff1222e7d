#!/usr/bin/env bash
# The locale tests run the program under a German locale (decimal comma) to
# prove that files and captions keep a decimal point; generate it when missing.
set -eu
if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then exit 0; fi
if [ "$(id -u)" != 0 ]; then
  echo "deps: locale de_DE.UTF-8 missing; as root run: sed -i 's/^# *de_DE.UTF-8/de_DE.UTF-8/' /etc/locale.gen && locale-gen"
  exit 0
fi
sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
locale-gen >/dev/null
