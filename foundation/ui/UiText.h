#pragma once
// The programs' texts are UTF-8 `const char*` in one header per subsystem; qs() makes one a
// QString for a widget or a message.

#include <QString>

inline QString qs(const char* utf8) {
    return QString::fromUtf8(utf8);
}
