// How the console's window first appears.
#pragma once

class QWidget;

// Maximised, over a normal geometry of 1280x800 centred on the screen (or the screen's
// available area, when smaller): without a window manager nothing maximises the window, and
// it would otherwise open at the small size its layout asks for.
void ShowMainWindow(QWidget& window);
