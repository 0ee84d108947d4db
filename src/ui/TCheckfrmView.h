#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QLabel;

namespace brivant {

// "Update Checksum": shown after every save, asking whether to update the checksums of the
// file just written (named in the question). The caller repairs that file when the dialog
// is accepted.
class TCheckfrmView : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kQuestion =
        "Update all checksums of %1 now?\nA phone refuses a file whose checksums are wrong.";
    explicit TCheckfrmView(QWidget* parent = nullptr);

    void setPath(const QString& path);
    QString path() const;

  private:
    QLabel* question_ = nullptr;
    QLineEdit* path_ = nullptr;
};

}  // namespace brivant
