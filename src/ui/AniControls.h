#pragma once

#include <QObject>
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QSpinBox;
class QTimer;
class QWidget;

namespace brivant {

class Shell;

// The animation half of the Graphics tab: "Ani ID:", "Length:" with its up-down, "Frame:",
// the frame's "Bmp ID:" and "Animate" with its timer. Enabled only where the image has
// animations; drawn from the editor like the rest of the page.
class AniControls : public QObject {
  public:
    AniControls(Shell& shell, QWidget* page);

    QGridLayout* layout() const { return grid_; }
    void render();
    // The window closes: the timer stops.
    void stop();

  private:
    void onChange(const char* command, std::function<void()> body);

    Shell& shell_;
    QGridLayout* grid_ = nullptr;
    QComboBox* aniId_ = nullptr;
    QLineEdit* length_ = nullptr;
    QSpinBox* lengthUpDown_ = nullptr;
    QComboBox* frame_ = nullptr;
    QComboBox* frameBmpId_ = nullptr;
    QCheckBox* animate_ = nullptr;
    QTimer* timer_ = nullptr;
    QAction* exportAction_ = nullptr;
};

}  // namespace brivant
