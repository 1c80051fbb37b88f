#pragma once

#include "app/AppCommands.h"

#include <QIcon>

namespace kestrel {

/// The toolbar's 16 x 15 pictures, drawn at run time so that no bitmap has to be kept in the
/// repository. Commands without a picture get a null icon.
QIcon ToolbarIcon(Command command);

} // namespace kestrel
