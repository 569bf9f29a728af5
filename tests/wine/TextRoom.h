#pragma once
// Whether every text of a window has room to spare: captions of buttons, check boxes and
// group boxes, static texts, count boxes, tabs, list column headers and the texts panels draw,
// each measured in the font the window gives it and in another face at the same size (the
// font a system without Tahoma substitutes).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace keltora::wine {

// One line per text that does not fit: "name: text [face] what is short". The room is the
// design's at the window's DPI. Windows whose text changes with the data (paths, key names) are
// left out by their names.
std::vector<std::string> TextsWithoutRoom(HWND window, UINT dpi, const std::function<std::string(HWND)>& nameOf,
                                          const std::vector<std::string>& changing,
                                          const char* otherFace = "DejaVu Sans");

}  // namespace keltora::wine
