#include "ui/GraphicsPage.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "graphics/BitmapCommands.h"
#include "graphics/GraphicsState.h"
#include "platform/QtBitmapFiles.h"
#include "ui/AniControls.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

namespace {
constexpr int kPreviewScale = 3;
// The preview's box never changes size, so the page keeps its layout whatever is shown:
// room for the phones' largest screen, 84 x 48, at twice its size.
constexpr int kPreviewWidth = 168;
constexpr int kPreviewHeight = 96;
constexpr const char* kWidthCaption = "Width:";
constexpr const char* kHeightCaption = "Height:";

QPixmap PreviewPixmap(const BitmapCanvas& c) {
    if (c.Empty()) return {};
    QImage image(c.width, c.height, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) image.setPixel(x, y, c.Dark(x, y) ? 1 : 0);
    // Whole pixels enlarge evenly; a bitmap larger than the box shrinks to fit it whole.
    const int scale = std::min({kPreviewScale, kPreviewWidth / c.width, kPreviewHeight / c.height});
    if (scale >= 1) return QPixmap::fromImage(image.scaled(scale * c.width, scale * c.height));
    return QPixmap::fromImage(
        image.convertToFormat(QImage::Format_RGB32)
            .scaled(kPreviewWidth, kPreviewHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

// The bitmap half: the "Bmp ID:" list, the shown size and the enlarged preview.
void RenderBitmaps(const GraphicsState& g, QComboBox* ids, QLabel* width, QLabel* height,
                   QLabel* preview) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < g.bitmaps.size(); ++i)
        names.push_back(BitmapIdText(static_cast<int>(i)));
    QSignalBlocker block(ids);
    SetItems(ids, names);
    ids->setCurrentIndex(g.selected);
    const bool shown = g.current >= 0;
    width->setText(QString::fromLatin1(kWidthCaption) +
                   (shown ? QStringLiteral(" %1").arg(g.shownWidth) : QString()));
    height->setText(QString::fromLatin1(kHeightCaption) +
                    (shown ? QStringLiteral(" %1").arg(g.shownHeight) : QString()));
    preview->setPixmap(PreviewPixmap(g.Preview()));
}
}  // namespace

GraphicsPage::GraphicsPage(Shell& shell) : TabPage(shell) {
    bmpId_ = new QComboBox;
    bmpId_->setObjectName("bmpId");
    connect(bmpId_, &QComboBox::currentIndexChanged, this, [this](int id) {
        if (!rendering())
            run("bitmapChosen", [this, id] { SelectBitmap(ed(), ed().graphics, id); });
    });
    // Taking the focus shows the chosen bitmap again.
    OnFocusIn(bmpId_, [this] {
        run("bitmapFocus", [this] { SelectBitmap(ed(), ed().graphics, ed().graphics.selected); });
    });
    bmpWidth_ = new QLabel(QString::fromLatin1(kWidthCaption));
    bmpWidth_->setObjectName("bmpWidth");
    bmpHeight_ = new QLabel(QString::fromLatin1(kHeightCaption));
    bmpHeight_->setObjectName("bmpHeight");
    // Wide enough for any size, so that the page does not move as sizes change.
    const int sizeWidth = bmpHeight_->fontMetrics().horizontalAdvance(
        QString::fromLatin1(kHeightCaption) + QStringLiteral(" 888"));
    bmpWidth_->setMinimumWidth(sizeWidth);
    bmpHeight_->setMinimumWidth(sizeWidth);

    auto* commands = new QToolButton;
    commands->setObjectName("graphicsCommands");
    commands->setText(QString::fromLatin1(kCommands));
    commands->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(commands);
    addCommand(menu, kEditEntry, "bitmapEdit", [this] { EditBitmap(ed(), ed().graphics, ui()); });
    addCommand(menu, kLoadEntry, "bitmapLoad",
               [this] { LoadBitmap(ed(), ed().graphics, ui(), PlatformBitmapFiles()); });
    addCommand(menu, kSaveEntry, "bitmapSave",
               [this] { SaveBitmap(ed(), ed().graphics, ui(), PlatformBitmapFiles()); });
    menu->addSeparator();
    addCommand(menu, kLoadAllEntry, "bitmapLoadAll",
               [this] { LoadAllBitmaps(ed(), ed().graphics, ui(), PlatformBitmapFiles()); });
    addCommand(menu, kSaveAllEntry, "bitmapSaveAll",
               [this] { SaveAllBitmaps(ed(), ed().graphics, ui(), PlatformBitmapFiles()); });
    commands->setMenu(menu);

    preview_ = new QLabel;
    preview_->setObjectName("preview");
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFixedSize(kPreviewWidth, kPreviewHeight);
    auto* previewLayout = new QVBoxLayout;
    previewLayout->addWidget(preview_);
    auto* previewBox = Group(tr("Preview"), previewLayout);

    ani_ = new AniControls(shell, this);

    auto* grid = new QGridLayout;
    grid->setSpacing(3);
    grid->addWidget(new QLabel(tr("Bmp ID:")), 0, 0);
    grid->addWidget(bmpId_, 0, 1);
    grid->addWidget(bmpWidth_, 1, 0, 1, 2);
    grid->addWidget(bmpHeight_, 2, 0, 1, 2);
    grid->addWidget(commands, 3, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(previewBox, 0, 2, 4, 2);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(3, 3, 3, 3);
    v->addLayout(grid);
    v->addLayout(ani_->layout());
    v->addStretch();
}

void GraphicsPage::addCommand(QMenu* menu, const char* caption, const char* command,
                              std::function<void()> body) {
    QAction* a = menu->addAction(QString::fromLatin1(caption));
    a->setObjectName(QString::fromLatin1(command));
    connect(a, &QAction::triggered, this,
            [this, command, body = std::move(body)] { run(command, body); });
}

void GraphicsPage::render() {
    RenderBitmaps(ed().graphics, bmpId_, bmpWidth_, bmpHeight_, preview_);
    ani_->render();
}

void GraphicsPage::closing() {
    ani_->stop();
}

}  // namespace brivant
