#include "programs/run_program.h"

#include "ui/main_window.h"
#include "ui/user_dialogs.h"

#include <QApplication>

int RunProgram(int argc, char** argv, const BuildVariant& variant) {
    QApplication application(argc, argv);
    ProgramState state;
    PlatformDialogs dialogs;
    Form1 window(state, variant, dialogs);
    if (const QString error = window.Form_Load(QCoreApplication::applicationDirPath()); !error.isEmpty()) {
        dialogs.ShowMessage(nullptr, QString::fromLatin1(variant.programName), error);
        return 1;
    }
    window.show();
    return application.exec();
}
