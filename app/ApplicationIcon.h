#pragma once

#include <QIcon>

namespace quorlex {

// The name of the program's desktop entry, by which the desktop finds its
// icon and menu entry for the program's windows.
inline constexpr char kDesktopEntryName[] = "org.quorlex.Quorlex";

// The program's own icon, at every size it is drawn in.
QIcon ApplicationIcon();

} // namespace quorlex
