#pragma once

#include <string>

class QWidget;
class TUpdateAgent;

// The launcher's update component, configured as the program uses it. Created by the
// first check and freed when the application quits.
extern TUpdateAgent* UpdateAgent1;

// The address of the update information file this build checks; empty for a build made
// without one (the CMake setting MORVANE_INFO_FILE_URL), such as a distribution's
// package, which its package manager keeps current.
std::string BuiltInInfoFileUrl();

// The check when the launcher is first shown: starts one and returns at once, or does
// nothing at all in a build without an update address. window: the launcher.
void StartAutomaticUpdateCheck(QWidget* window);

// The "Online Update" command of a window: a check, with its dialogs above that window;
// in a build without an update address, the message that the system's package manager
// updates this copy.
void OnlineUpdate(QWidget* window);

// Both of the above with the address given: empty as in a build without one.
void StartUpdateCheck(QWidget* window, const std::string& infoFileUrl, bool fromCommand);

// UpdateAgent1, created and configured when it does not exist yet; window: the window its
// dialogs belong to when no other window is active.
TUpdateAgent& ProgramUpdateAgent(QWidget* window);

// Sets an agent to the program's own configuration: its version and date, the maker's
// information file, the public key, the upgrader inside the program.
void ConfigureProgramAgent(TUpdateAgent& agent);
