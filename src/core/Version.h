// The product's version and names, in one place for the programs and their resource scripts.
// Plain macros: the resource compiler reads this file too.
#pragma once

#define HALVEX_VERSION_MAJOR 1
#define HALVEX_VERSION_MINOR 0
#define HALVEX_VERSION_PATCH 0
#define HALVEX_VERSION_BUILD 0
#define HALVEX_VERSION_TEXT "1.0.0.0"

#define HALVEX_PRODUCT_NAME "Halvex"
#define HALVEX_COMPANY_NAME "Halvex Developers"
#define HALVEX_COPYRIGHT "Copyright (C) 2026 Halvex Developers"
