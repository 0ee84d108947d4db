#include <QApplication>

#include "ui/Brivant.h"
#include "ui/QtInteraction.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(brivant::kAppTitle));

    brivant::QtInteraction ui;
    // The window fills the phone-type list, shows the Tones tab and makes the chunk stream;
    // the dialogs follow it.
    brivant::TMain window(ui);
    ui.attach(&window);
    window.centreOnScreen();
    window.show();

    // A file named on the command line takes the same road as one picked in the dialog.
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) window.openPath(args.at(1));
    return app.exec();
}
