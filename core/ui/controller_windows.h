// The controller's eight windows, made and ended as the program does.
#pragma once

namespace spirelo {

// In the program's order: each creation reads what the ones before it loaded (the main window
// loads the settings, the sequencer file and the track file first) and may reach the windows
// made before it through their globals.
void CreateControllerWindows();

// In reverse, the main window last: its destruction writes the ended marks.
void DestroyControllerWindows();

}  // namespace spirelo
