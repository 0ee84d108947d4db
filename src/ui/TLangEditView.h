#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace brivant {

class TLangEdit;

// "Language Editor": shows a TLangEdit and forwards every user action to it.
class TLangEditView : public QDialog {
    Q_OBJECT
  public:
    TLangEditView(TLangEdit& model, QWidget* parent = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void render();
    void onSearch();
    void onOk();

    TLangEdit& model_;
    QListWidget* list_ = nullptr;
    QLineEdit* text_ = nullptr;
    QLineEdit* search_ = nullptr;
    QPushButton* go_ = nullptr;
    QLabel* entries_ = nullptr;
    bool rendering_ = false;
};

// Shows the dialog modally; true when it was closed with "&OK" and the model accepted it.
bool ShowLanguageEditor(QWidget* parent, TLangEdit& model);

}  // namespace brivant
