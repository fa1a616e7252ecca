// The one application object of a test program, on the offscreen platform so that no window
// reaches a display.
#pragma once

#include <stdlib.h>

#include <QApplication>

namespace ui_test {

inline QApplication& application() {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "platform_ui_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own globals are gone by the time statics are torn down.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace ui_test
