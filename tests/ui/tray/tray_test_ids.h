// Menus of the tray tests' own resources, next to the program's.
#pragma once
#define IDR_FLAT_MENU 901     // items but no sub-menu
#define IDR_MISSING_MENU 902  // not in any resource
