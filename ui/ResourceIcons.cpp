// Loads the icons from the resources compiled into this static library.
#include "ResourceIcons.h"

// The resource's registration lives in this static library; nothing refers to
// it, so the linker would drop it unless it is pulled in by name. The macro
// must be used outside any namespace.
static void InitIconResources() {
    Q_INIT_RESOURCE(lintrim);
}

QIcon LoadResourceIcon(int id) {
    static const bool registered = (InitIconResources(), true);
    (void)registered;
    QIcon icon;
    switch (id) {
        case IDI_MAIN:
            icon.addFile(QStringLiteral(":/icons/main32.png"), QSize(32, 32));
            icon.addFile(QStringLiteral(":/icons/main16.png"), QSize(16, 16));
            break;
        case IDI_BROWSE:
            icon.addFile(QStringLiteral(":/icons/browse16.png"), QSize(16, 16));
            break;
        default:
            break;
    }
    return icon;
}
