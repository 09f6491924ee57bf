// What "hvxw.exe Uninstall" does: after asking, gives back the system options the
// program may have changed (logon validation, the 9x boot keys and boot menu).
#pragma once

void UninstallCleanup();
