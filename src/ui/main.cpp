#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEvent>
#include <QIcon>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "image/PhoneTypes.h"
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

// BRIVANT_SCREENSHOT=TAB:FILE.png shows the window on the tab of that caption (any case, e.g.
// "tones"), saves a picture of it to FILE.png once the lists are filled and quits, exit
// status 1 when the picture could not be written. The README's pictures are made this way
// without anyone clicking through the window.
bool ScheduleScreenshot(QWidget& window, const QString& request) {
    const qsizetype colon = request.indexOf(QLatin1Char(':'));
    const QString tab = request.left(colon);
    const QString path = colon < 0 ? QString() : request.mid(colon + 1);
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("tabs"));
    int index = -1;
    QStringList captions;
    for (int i = 0; tabs && i < tabs->count(); ++i) {
        captions << tabs->tabText(i).remove(QLatin1Char('&')).toLower();
        if (captions.back().compare(tab, Qt::CaseInsensitive) == 0) index = i;
    }
    if (index < 0 || path.isEmpty()) {
        std::fprintf(stderr, "BRIVANT_SCREENSHOT: expected TAB:FILE.png, TAB one of %s\n",
                     qPrintable(captions.join(QStringLiteral(", "))));
        return false;
    }
    tabs->setCurrentIndex(index);
    // A selector still waiting for a choice (the Menu tab's language) takes its first entry,
    // so that the picture shows what the tab lists rather than an empty page.
    for (auto* choice : tabs->widget(index)->findChildren<QComboBox*>()) {
        if (choice->count() > 1 && choice->currentText() == QLatin1String(brivant::kSelectHere))
            choice->setCurrentIndex(1);
    }
    QTimer::singleShot(500, &window, [&window, path] {
        const bool saved = window.grab().save(path, "PNG");
        if (!saved) std::fprintf(stderr, "BRIVANT_SCREENSHOT: cannot write %s\n", qPrintable(path));
        QCoreApplication::exit(saved ? 0 : 1);
    });
    return true;
}
#ifndef BRIVANT_VERSION
#define BRIVANT_VERSION "unknown"
#endif

constexpr const char* kUsage =
    "Usage: brivant [--version] [--help] [IMAGE]\n"
    "Brivant Pro: edit the flash images of older mobile phones.\n"
    "\n"
    "Arguments:\n"
    "  IMAGE      Flash image to open at start (*.fls)\n"
    "\n"
    "Options:\n"
    "  --help     Print this help and exit\n"
    "  --version  Print the program's name and version and exit\n";

// The command line, read before the window exists so that --help, --version and a wrong
// option need no display. Returns the exit status when the program ends here; otherwise
// `image` holds the file to open, if any. The toolkit's own options (-platform, -style, ...)
// are let through for the application object to take.
std::optional<int> ParseCommandLine(int argc, char** argv, QString& image) {
    QStringList args;
    for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOption(help);
    parser.addOption(version);
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin",
                             "qwindowgeometry", "qwindowicon", "qwindowtitle", "display",
                             "geometry", "style", "stylesheet", "session", "widgetcount"}) {
        QCommandLineOption qt(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        if (std::strcmp(name, "widgetcount") == 0) qt.setValueName(QString());
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
    parser.addOption(QCommandLineOption(QStringLiteral("reverse")));
    if (!parser.parse(args)) {
        std::fprintf(stderr, "brivant: %s\n%s", qPrintable(parser.errorText()), kUsage);
        return 2;
    }
    // What was printed must have arrived: a full disk or a closed pipe is told, not hidden.
    const auto printed = [](const char* text) {
        errno = 0;
        std::fputs(text, stdout);
        if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
        std::fprintf(stderr, "brivant: Cannot write to standard output (%s)\n",
                     errno ? std::strerror(errno) : "write failed");
        return 1;
    };
    if (parser.isSet(help)) return printed(kUsage);
    if (parser.isSet(version)) return printed("brivant " BRIVANT_VERSION "\n");
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fprintf(stderr, "brivant: give at most one IMAGE\n%s", kUsage);
        return 2;
    }
    if (!files.isEmpty()) image = files.front();
    return std::nullopt;
}
}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QString image;
    if (const auto status = ParseCommandLine(argc, argv, image)) return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(BRIVANT_VERSION));
    // The desktop matches the window with its menu entry (and so its icon and name) by this.
    QGuiApplication::setDesktopFileName(QStringLiteral("brivant"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("brivant"), QIcon(QStringLiteral(":/icons/brivant.svg"))));
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
    if (!image.isEmpty()) window.openPath(image);
    const QString screenshot = qEnvironmentVariable("BRIVANT_SCREENSHOT");
    if (!screenshot.isEmpty() && !ScheduleScreenshot(window, screenshot)) return 2;
    return app.exec();
}
