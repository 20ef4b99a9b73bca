#!/bin/sh
# Installs Molvane's udev rules and the uinput module entry. Run once: sudo sh install.sh
set -e
here=$(cd "$(dirname "$0")" && pwd)
if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root: sudo sh $here/install.sh" >&2
    exit 1
fi
install -m 0644 "$here/70-molvane.rules" /etc/udev/rules.d/70-molvane.rules
install -m 0644 "$here/molvane-uinput.conf" /etc/modules-load.d/molvane-uinput.conf
modprobe uinput || echo "Could not load uinput now; it loads at the next boot." >&2
udevadm control --reload-rules
udevadm trigger --subsystem-match=misc --subsystem-match=hidraw --subsystem-match=input
echo "Done. Start Molvane again to use software key remapping."
