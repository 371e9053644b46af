#pragma once

#include <QWidget>

// Dialogs whose caption has no buttons (the tips and the about window).

// A dialog frame with a caption and no title-bar buttons. Under X, Qt leaves every
// function of a window to the window manager unless the close box is asked for, so there
// the hints ask for the close box alone (window managers add one anyway) and with it
// rule out minimising and maximising.
Qt::WindowFlags CaptionOnlyFlags();

// Brings the window back whenever it gets minimised: a modal window minimised would take
// the window it blocks out of sight with it, or leave that one on the screen unusable.
void RestoreWhenMinimised(QWidget* window);
