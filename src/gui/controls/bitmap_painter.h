// Draws a bitmap file at (0, 0) in its own size; the file is read again at
// every call, so a changed file shows at the next paint.
#pragma once

#include <string>

class QPainter;

namespace vrx4 {

// False, drawing nothing, when the file cannot be loaded.
bool DrawBitmapFile(const std::string& path, QPainter& painter);

// A name without a directory is looked up in dataDir first, then in the
// current directory; a name with a directory is used as given.
std::string resolveBitmapPath(const std::string& name, const std::string& dataDir);

}  // namespace vrx4
