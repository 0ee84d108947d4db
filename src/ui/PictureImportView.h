#pragma once

#include <QDialog>

class QCheckBox;
class QRadioButton;
class QSpinBox;

namespace brivant {

struct PictureImport;

// How a picture that is not black and white becomes a bitmap: a threshold or dithering,
// and whether it is scaled to the bitmap's size first. Offers the last choice again.
class PictureImportView : public QDialog {
    Q_OBJECT
  public:
    explicit PictureImportView(PictureImport& model, QWidget* parent = nullptr);
    void done(int result) override;

  private:
    PictureImport& model_;
    QRadioButton* threshold_ = nullptr;
    QRadioButton* dither_ = nullptr;
    QSpinBox* level_ = nullptr;
    QCheckBox* fit_ = nullptr;
};

// Shows the question modally over `parent`; true when it ended with "&OK".
bool ShowPictureImport(QWidget* parent, PictureImport& model);

}  // namespace brivant
