#pragma once

#include <string>
#include <vector>

class QWidget;
class TUpdateAgent;

// The launcher's update component, configured as the program uses it. Created by the
// first StartUpdateCheck and freed when the application quits.
extern TUpdateAgent* UpdateAgent1;

// Creates UpdateAgent1 when needed and starts a check; returns at once. mainWindow is
// the window closed when the program restarts after an update.
void StartUpdateCheck(QWidget* mainWindow);

// Sets an agent to the program's own configuration: its version and date, the maker's
// information file, the public key, the upgrader inside the program.
void ConfigureProgramAgent(TUpdateAgent& agent);
