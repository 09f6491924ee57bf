// Identifiers of the resources the programs load, shared by the resource scripts and the code.
#pragma once

// The lowest icon id is the one Explorer shows for the file.
#define HALVEX_ICON_ID 1
// A screen saver's description, as the Display control panel lists it.
#define HALVEX_SCREENSAVER_NAME_ID 1
// The strip of 16 x 16 glyphs of the actions, menus and tool buttons.
#define HALVEX_MENU_IMAGES_ID 2
