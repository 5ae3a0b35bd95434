#include "app/AppIcon.h"

// The resources live in a static library: nothing would pull their registration into the
// program unless it is named here.
static void InitAppIconResource() { Q_INIT_RESOURCE(AppIcon); }

QIcon GetAppIcon() {
    static const QIcon icon = [] {
        InitAppIconResource();
        QIcon result;
        for (int size : {16, 24, 32, 48, 64, 128, 256}) {
            result.addFile(QStringLiteral(":/kelto/%1.png").arg(size), QSize(size, size));
        }
        return result;
    }();
    return icon;
}
