#pragma once
#include <QPixmap>

// The editor's logo: a time-switch clock face with the series name.
QPixmap makeLogo(int height);
