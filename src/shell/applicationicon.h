#pragma once

#include <QIcon>

namespace shell {

// The application's icon: three rising bars on a blue tile, drawn at each
// size a window or the about box asks for.
QIcon applicationIcon();

}  // namespace shell
