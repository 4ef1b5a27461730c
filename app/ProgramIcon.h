#pragma once

#include <QIcon>
#include <QPixmap>

// The program icon: an answer card with three choices, the first one ticked, on a blue tile.
// Drawn here so that it needs no resource file; app/kepiro.png is the same picture at 256 pixels.
QPixmap ProgramIconPixmap(int size);
QIcon ProgramIcon();
