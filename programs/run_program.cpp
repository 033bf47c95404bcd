#include "programs/run_program.h"

#include "ui/main_window.h"

#include <QApplication>

int RunProgram(int argc, char** argv, const BuildVariant& variant) {
    QApplication application(argc, argv);
    Form1 window(variant);
    window.show();
    return application.exec();
}
