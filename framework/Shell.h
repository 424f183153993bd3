// Hands a web address or a "mailto:" address to the desktop, which opens it in the person's browser
// or mail program.
#pragma once

#include <functional>
#include <string>

// The outcome is not reported: with no browser or mail program nothing happens. Tests put their
// own function in its place.
extern std::function<void(const std::string& Target)> ShellOpen;
