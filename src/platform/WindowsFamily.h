// Which family of Windows the program runs on: the NT line, or the 9x line
// whose profiles, users and start-up options live elsewhere.
#pragma once

// As the system reported it when first asked; kept for the program's lifetime.
bool IsNtFamily();
