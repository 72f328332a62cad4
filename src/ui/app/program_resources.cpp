#include "ui/app/program_resources.h"

#include <QSize>
#include <QString>

namespace orvenix {

QIcon ProgramIcon() {
    // Drawn from the SVG icon at build time, so that no SVG support is needed at run time.
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/%1x%1/org.orvenix.Desk.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace orvenix
