// Pictures of the screen for people to look at after a Windows test.
#pragma once

#include <windows.h>

#include <string>

// Saves `part` of the screen as a 24-bit BMP file at `path`; an empty part or
// a file that cannot be written leaves no picture and is not an error.
void SaveScreenPart(const RECT& part, const std::string& path);

// The same for the rectangle `window` takes on the screen.
void SaveWindowPicture(HWND window, const std::string& path);
