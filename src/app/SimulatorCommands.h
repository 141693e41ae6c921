#pragma once

// The simulator in the main window.

#include <string>
#include <vector>

class TForm1;
class TSimulatorPanel;

// Makes the panel (hidden), Robot > Simulate (Ctrl+R) and its toolbar button.
TSimulatorPanel* InstallSimulator(TForm1& window, std::vector<std::string> phrases);
