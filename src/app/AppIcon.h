#pragma once

#include <QIcon>

// kelto's application icon (icons/kelto.svg rendered at the hicolor sizes), compiled in.
QIcon GetAppIcon();
