#!/bin/sh
# Prints the Windows architecture this host can run under Wine: i686 (the
# shipped program) when the kernel runs Wine's 32-bit loader, else x86_64.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
else
    echo x86_64
fi
