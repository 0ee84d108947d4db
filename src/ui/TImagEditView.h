#pragma once

#include <QDialog>

class QLineEdit;
class QSpinBox;

namespace brivant {

class TImagEdit;
class ZoomView;

// "Image Editor": the zoom view to draw in, the size fields with their up-down controls,
// and the buttons. Every change goes to the model, which the zoom view then paints.
class TImagEditView : public QDialog {
    Q_OBJECT
  public:
    explicit TImagEditView(TImagEdit& model, QWidget* parent = nullptr);

    ZoomView* zoomView() const { return zoom_; }
    QSpinBox* widthControl() const { return widthUpDown_; }
    QSpinBox* heightControl() const { return heightUpDown_; }

  private:
    void ShowSize();
    void done(int result) override;

    TImagEdit& model_;
    ZoomView* zoom_ = nullptr;
    QLineEdit* width_ = nullptr;
    QLineEdit* height_ = nullptr;
    QSpinBox* widthUpDown_ = nullptr;
    QSpinBox* heightUpDown_ = nullptr;
};

// The model's zoom canvas, one screen pixel per canvas pixel, centred in the frame.
class ZoomView : public QWidget {
    Q_OBJECT
  public:
    explicit ZoomView(TImagEdit& model, QWidget* parent = nullptr);
    // Where the canvas starts inside the widget.
    QPoint origin() const;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

  private:
    TImagEdit& model_;
};

// Shows the editor modally over `parent`; true only when "&OK" ended it.
bool ShowImageEditor(QWidget* parent, TImagEdit& model);

}  // namespace brivant
