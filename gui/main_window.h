#pragma once
// The desktop window: draws every control of the window model at its place and binds it
// in both directions. The model's change notices redraw a widget (with its own signals
// blocked, so nothing runs twice); the user's input goes to the model through the
// window's dispatcher. No behaviour lives here.

#include <QMainWindow>
#include <map>

#include "app/unit1.h"

class QChartView;
class QLineSeries;

namespace lumiva {

class MainWindow : public QMainWindow {
public:
    explicit MainWindow(TForm1& form);

    // The widget that draws a control, for tests and scripts.
    QWidget* widgetOf(const Control& control) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createContainers();
    void createControls();
    void bindModel();

    template <typename W>
    W* place(W* widget, Control& control, QWidget* parent, Bounds bounds = {});
    QWidget* container(const Control& control) const { return widgets_.at(&control); }
    void redraw(const Control& control);

    TForm1& form_;
    QWidget* client_ = nullptr;
    QChartView* chartView_ = nullptr;
    QLineSeries* series_[2] = {nullptr, nullptr};
    std::map<const Control*, QWidget*> widgets_;
    std::map<const Control*, std::function<void()>> renderers_;
};

}  // namespace lumiva
