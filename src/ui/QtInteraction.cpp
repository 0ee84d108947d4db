#include "ui/QtInteraction.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStringDecoder>

#include "ui/DialogViews.h"
#include "ui/TCheckfrmView.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

QtInteraction::QtInteraction() = default;
QtInteraction::~QtInteraction() {
    // A dialog made before any window was attached has nobody else to delete it.
    if (checks_ && !checks_->parent()) delete checks_.data();
}

void QtInteraction::attach(QWidget* window) {
    window_ = window;
    if (!checks_) checks_ = new TCheckfrmView(window);
}

QStringList QtNameFilters(const std::string& filter) {
    QStringList out;
    if (filter.empty()) return out;
    const QStringList parts = FromCore(filter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString text = parts[i].trimmed();
        QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns = patterns.simplified();
        if (patterns.isEmpty()) patterns = QStringLiteral("*");
        // Qt takes the patterns from the last parentheses of the entry; when the visible
        // text already shows exactly these, it can stand alone.
        const QString shown = QLatin1Char('(') + patterns + QLatin1Char(')');
        if (text.endsWith(shown))
            out << text;
        else if (text.isEmpty())
            out << shown;
        else
            out << text + QLatin1Char(' ') + shown;
    }
    return out;
}

QString FromCore(const std::string& text) {
    // Stateless: a text that ends inside a multi-byte sequence is not UTF-8 at all, rather
    // than a text whose last bytes the decoder keeps waiting for.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (!utf8.hasError()) return s;
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString ForDisplay(const std::string& text) {
    QString s = FromCore(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

std::string ToCorePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
QString FromCorePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::optional<std::string> QtInteraction::askFile(const FileDialog& d, bool save) {
    QFileDialog dlg(window_, FromCore(d.title));
    dlg.setObjectName(save ? "saveFileDialog" : "openFileDialog");
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(!save && d.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (save && !d.overwritePrompt) dlg.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = QtNameFilters(d.filter);
    if (!filters.isEmpty()) dlg.setNameFilters(filters);
    if (!d.defaultExt.empty()) dlg.setDefaultSuffix(FromCore(d.defaultExt));
    const QString folder = startFolder();
    if (!folder.isEmpty()) dlg.setDirectory(folder);
    if (!d.defaultName.empty()) {
        QString name = FromCorePath(d.defaultName);
        if (QFileInfo(name).isRelative() && !folder.isEmpty()) name = QDir(folder).filePath(name);
        dlg.selectFile(name);
    }
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dlg.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
    lastFolder_ = QFileInfo(files.front()).absolutePath();
    return ToCorePath(files.front());
}

QString QtInteraction::startFolder() const {
    const std::string image = currentImage ? currentImage() : std::string();
    if (!image.empty()) return QFileInfo(FromCorePath(image)).absolutePath();
    return lastFolder_;
}

std::optional<std::string> QtInteraction::askOpenFile(const FileDialog& d) {
    return askFile(d, false);
}

std::optional<std::string> QtInteraction::askSaveFile(const FileDialog& d) {
    return askFile(d, true);
}

namespace {
// A message box sizes itself to its text; a short text would clip the title. A strut as
// wide as the title keeps it whole.
void FitMessageTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    grid->addItem(new QSpacerItem(TitleWidth(&box, box.windowTitle()), 0, QSizePolicy::Minimum,
                                  QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}
}  // namespace

void QtInteraction::tell(const std::string& text, MessageKind kind) {
    QMessageBox box(kind == MessageKind::Error ? QMessageBox::Warning : QMessageBox::Information,
                    QString::fromLatin1(kAppTitle), ForDisplay(text), QMessageBox::Ok, window_);
    box.setObjectName("messageBox");
    FitMessageTitle(box);
    box.exec();
}

std::optional<std::string> QtInteraction::askText(const std::string& title,
                                                  const std::string& prompt,
                                                  const std::string& initial) {
    QInputDialog dlg(window_);
    dlg.setObjectName("textPrompt");
    dlg.setWindowTitle(FromCore(title));
    dlg.setLabelText(ForDisplay(prompt));
    dlg.setTextValue(FromCore(initial));
    FitTitle(&dlg);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.textValue().toStdString();
}

bool QtInteraction::confirmChecksum(const std::string& path) {
    if (!checks_) checks_ = new TCheckfrmView(window_);
    checks_->setPath(FromCorePath(path));
    return checks_->exec() == QDialog::Accepted;
}

SaveChoice QtInteraction::askSaveChanges(const std::string& question) {
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kAppTitle), ForDisplay(question),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, window_);
    box.setObjectName("saveChangesBox");
    FitMessageTitle(box);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
    }
}

bool QtInteraction::askDialog(DialogModel& model) {
    const auto& views = DialogViews();
    const auto it = views.find(typeid(model));
    return it != views.end() && it->second(window_, model);
}

}  // namespace brivant
