#include "ui/TImagEditView.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "graphics/TImagEdit.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

namespace {
// The zoom frame's size: room for a 100 x 100 picture at five times.
constexpr int kFrame = TImagEdit::kZoom * TImagEdit::kMaxSize + 4;

QSpinBox* UpDown(const char* name) {
    auto* s = new QSpinBox;
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(0, TImagEdit::kMaxSize);
    s->setSingleStep(1);
    s->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    s->setFixedWidth(18);
    return s;
}

QLineEdit* Field(const char* name) {
    auto* f = new QLineEdit;
    f->setObjectName(QString::fromLatin1(name));
    ShowReadOnly(f);
    f->setFixedWidth(40);
    return f;
}

QPushButton* Button(const char* caption, const char* name) {
    auto* b = new QPushButton(QString::fromLatin1(caption));
    b->setObjectName(QString::fromLatin1(name));
    return b;
}
}  // namespace

ZoomView::ZoomView(TImagEdit& model, QWidget* parent) : QWidget(parent), model_(model) {
    setObjectName(QStringLiteral("zoom"));
    setFixedSize(kFrame, kFrame);
    setMouseTracking(false);
}

QPoint ZoomView::origin() const {
    const BitmapCanvas& z = model_.Zoom();
    return {(width() - z.width) / 2, (height() - z.height) / 2};
}

void ZoomView::paintEvent(QPaintEvent*) {
    const BitmapCanvas& z = model_.Zoom();
    QPainter p(this);
    if (z.Empty()) return;
    QImage image(z.width, z.height, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < z.height; ++y)
        for (int x = 0; x < z.width; ++x) image.setPixel(x, y, z.Dark(x, y) ? 1 : 0);
    p.drawImage(origin(), image);
}

void ZoomView::mousePressEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint() - origin();
    model_.Press(at.x(), at.y(), e->button() == Qt::LeftButton);
    update();
}

void ZoomView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint() - origin();
    const Qt::MouseButtons b = e->buttons();
    const Qt::KeyboardModifiers k = e->modifiers();
    PointerState held;
    held.left = b & Qt::LeftButton;
    held.right = b & Qt::RightButton;
    held.other = (b & ~(Qt::LeftButton | Qt::RightButton)) != Qt::NoButton;
    held.shift = k & Qt::ShiftModifier;
    held.ctrl = k & Qt::ControlModifier;
    held.alt = k & Qt::AltModifier;
    model_.Move(at.x(), at.y(), held);
    update();
}

TImagEditView::TImagEditView(TImagEdit& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(QString::fromLatin1(TImagEdit::kTitle));
    FitTitle(this);
    setObjectName(QStringLiteral("TImagEdit"));

    zoom_ = new ZoomView(model);
    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    auto* inFrame = new QVBoxLayout(frame);
    inFrame->setContentsMargins(0, 0, 0, 0);
    inFrame->addWidget(zoom_);

    width_ = Field("width");
    height_ = Field("height");
    widthUpDown_ = UpDown("widthUpDown");
    heightUpDown_ = UpDown("heightUpDown");
    connect(widthUpDown_, &QSpinBox::valueChanged, this, [this](int v) {
        model_.SetWidth(v);
        ShowSize();
    });
    connect(heightUpDown_, &QSpinBox::valueChanged, this, [this](int v) {
        model_.SetHeight(v);
        ShowSize();
    });

    auto* clear = Button(TImagEdit::kClear, "clear");
    connect(clear, &QPushButton::clicked, this, [this] {
        model_.Clear();
        zoom_->update();
    });
    auto* invert = Button(TImagEdit::kInvert, "invert");
    connect(invert, &QPushButton::clicked, this, [this] {
        model_.Invert();
        zoom_->update();
    });
    auto* ok = Button(TImagEdit::kOk, "ok");
    connect(ok, &QPushButton::clicked, this, [this] {
        model_.Ok();
        accept();
    });
    auto* cancel = Button(TImagEdit::kCancel, "cancel");
    connect(cancel, &QPushButton::clicked, this, [this] {
        model_.Cancel();
        reject();
    });

    auto* side = new QGridLayout;
    side->addWidget(new QLabel(QString::fromLatin1(TImagEdit::kWidth)), 0, 0);
    side->addWidget(width_, 0, 1);
    side->addWidget(widthUpDown_, 0, 2);
    side->addWidget(new QLabel(QString::fromLatin1(TImagEdit::kHeight)), 1, 0);
    side->addWidget(height_, 1, 1);
    side->addWidget(heightUpDown_, 1, 2);
    side->addWidget(clear, 2, 0, 1, 3);
    side->addWidget(invert, 3, 0, 1, 3);
    side->setRowStretch(4, 1);
    side->addWidget(ok, 5, 0, 1, 3);
    side->addWidget(cancel, 6, 0, 1, 3);

    // Enter means OK, as in every dialog: no other button takes it when it has the focus.
    for (QPushButton* b : {clear, invert, cancel}) b->setAutoDefault(false);
    ok->setDefault(true);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(side);
    ShowSize();
}

void TImagEditView::ShowSize() {
    // A bitmap larger than the controls' range opens at its own size; the controls then
    // stand at their end until used.
    QSignalBlocker b1(widthUpDown_), b2(heightUpDown_);
    widthUpDown_->setValue(model_.Width());
    heightUpDown_->setValue(model_.Height());
    width_->setText(QString::number(model_.Width()));
    height_->setText(QString::number(model_.Height()));
    zoom_->update();
}

void TImagEditView::done(int result) {
    // Escape and the close box are Cancel: a drawing alone never makes the edit count.
    if (result != QDialog::Accepted) model_.Cancel();
    QDialog::done(result);
}

bool ShowImageEditor(QWidget* parent, TImagEdit& model) {
    TImagEditView view(model, parent);
    return view.exec() == QDialog::Accepted && model.accepted;
}

}  // namespace brivant
