// What the program carries inside itself (Qt resources): its icon and the user guide.
#pragma once

#include <QIcon>

namespace orvenix {

// The program's icon at the sizes of menus, title bars and task switchers.
QIcon ProgramIcon();

// The user guide (Markdown; its pictures lie beside it).
inline constexpr const char* kUserGuideUrl = "qrc:/help/user-guide.md";

} // namespace orvenix
