#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/Brivant.h"
#include "ui/QtInteraction.h"

namespace {
// BRIVANT_STARTUP_TIMING=1 prints on stderr how long after the start of main() the window was
// first painted and a list first painted rows; "exit" also quits then, for timing scripts.
class StartupTimer : public QObject {
  public:
    StartupTimer(const QElapsedTimer& clock, bool quit) : clock_(clock), quit_(quit) {}

    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Paint) return false;
        if (painted_ < 0) painted_ = clock_.elapsed();
        const auto* view = qobject_cast<QAbstractItemView*>(o->parent());
        if (view && view->viewport() == o && view->model() && view->model()->rowCount() > 0) {
            std::fprintf(
                stderr, "startup: window painted after %lld ms, first list rows after %lld ms\n",
                static_cast<long long>(painted_), static_cast<long long>(clock_.elapsed()));
            qApp->removeEventFilter(this);
            if (quit_)
                QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return false;
    }

  private:
    const QElapsedTimer& clock_;
    bool quit_;
    qint64 painted_ = -1;
};
}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    const char* timing = std::getenv("BRIVANT_STARTUP_TIMING");
    StartupTimer startup(clock, timing && std::strcmp(timing, "exit") == 0);
    if (timing && *timing) app.installEventFilter(&startup);
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
