// Glimmora: the 3D visualiser. Windows are created main window first, destroyed in reverse.
#include "platform/ui/qt_messages.h"
#include "visualiser/ui/form_help.h"
#include "visualiser/ui/form_main.h"
#include "visualiser/ui/form_set.h"
#include "visualiser/ui/gl_format.h"

#include <QApplication>

int main(int argc, char** argv) {
    // The fixed-function drawing needs a compatibility profile, asked for before the application.
    spirelo::RequestCompatibilityProfile();
    QApplication app(argc, argv);
    const QString title = "Программа визуализации фонтанов";
    QApplication::setApplicationDisplayName(title);
    spirelo::InstallQtMessages(title);

    FormMain = new TFormMain;
    FormMain->FormCreate();
    FormSet = new TFormSet;
    FormSet->FormCreate();
    FormHelp = new TFormHelp;
    FormHelp->FormCreate();
    FormMain->show();
    int rc = app.exec();

    delete FormHelp;
    FormHelp = nullptr;
    delete FormSet;
    FormSet = nullptr;
    delete FormMain;
    FormMain = nullptr;
    return rc;
}
