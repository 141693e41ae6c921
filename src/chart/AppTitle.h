#pragma once

// The application title: names the running program to the desktop and starts the
// main window's caption.
inline constexpr const char* kApplicationTitle = "ZOLVANE FlowChart - Robot Controller by ZOLVANE";
