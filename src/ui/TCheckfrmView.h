#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace brivant {

// "Update Checksum": shown after every save. The path of the file just written sits in a
// hidden field; the caller repairs that file when the dialog is accepted.
class TCheckfrmView : public QDialog {
    Q_OBJECT
  public:
    explicit TCheckfrmView(QWidget* parent = nullptr);

    void setPath(const QString& path);
    QString path() const;

  private:
    QRadioButton* updateAll_ = nullptr;
    QLineEdit* path_ = nullptr;
};

}  // namespace brivant
