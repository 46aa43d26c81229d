#include "gui/main_window.h"

#include <QAbstractSpinBox>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace lumiva {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

// The classic desktop scheme's "active border" and "inactive caption text" colours.
const QColor kActiveBorder(212, 208, 200);
const QColor kInactiveCaptionText(212, 208, 200);

void fill(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A spin edit whose value and clamping live in the model: Qt only shows the text and
// forwards typing, stepping and focus loss.
class ModelSpinBox : public QAbstractSpinBox {
public:
    ModelSpinBox(TForm1& form, SpinEdit& model, QWidget* parent)
        : QAbstractSpinBox(parent), form_(form), model_(model) {
        connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
            form_.dispatch([&] { model_.setText(text.toStdString()); });
        });
    }
    void stepBy(int steps) override {
        form_.dispatch([&] {
            for (int i = 0; i < std::abs(steps); ++i)
                steps > 0 ? model_.stepUp() : model_.stepDown();
        });
    }
    QValidator::State validate(QString&, int&) const override { return QValidator::Acceptable; }
    QLineEdit* editor() const { return lineEdit(); }
    void fixup(QString&) const override {}

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
    void focusOutEvent(QFocusEvent* event) override {
        form_.dispatch([&] { model_.focusLost(); });
        QAbstractSpinBox::focusOutEvent(event);
    }

private:
    TForm1& form_;
    SpinEdit& model_;
};

class ModelChartView : public QChartView {
public:
    ModelChartView(TForm1& form, QChart* chart, QWidget* parent)
        : QChartView(chart, parent), form_(form) {}

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override {
        form_.dispatch([this] { form_.Chart1.doubleClick(); });
    }

private:
    TForm1& form_;
};

}  // namespace

MainWindow::MainWindow(TForm1& form) : QMainWindow(nullptr), form_(form) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(q(form_.Caption));
    createMenus();
    createContainers();
    createControls();
    bindModel();
    const Bounds& b = form_.WindowBounds;
    client_->setFixedSize(b.width, b.height);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(b.left, b.top);
}

QWidget* MainWindow::widgetOf(const Control& control) const {
    const auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    form_.FormClose();
    event->accept();
}

void MainWindow::createMenus() {
    auto item = [this](QMenu* menu, MenuItem& model) {
        QAction* action = menu->addAction(q(model.caption()));
        action->setObjectName(q(model.name()));
        connect(action, &QAction::triggered, this,
                [this, &model] { form_.dispatch([&model] { model.click(); }); });
    };
    QMenu* file = menuBar()->addMenu(q(form_.File1.caption()));
    file->setObjectName("File1");
    item(file, form_.Generate1);
    item(file, form_.Notyfy1);
    item(file, form_.Exit1);
    QMenu* help = menuBar()->addMenu(q(form_.Help1.caption()));
    help->setObjectName("Help1");
    item(help, form_.N1);
    item(help, form_.About1);
}

template <typename W>
W* MainWindow::place(W* widget, Control& control, QWidget* parent, Bounds bounds) {
    widget->setParent(parent);
    widget->setObjectName(q(control.name()));
    if (bounds == Bounds{}) bounds = control.bounds();
    if (bounds.width > 0) widget->setGeometry(bounds.left, bounds.top, bounds.width, bounds.height);
    widgets_[&control] = widget;
    return widget;
}

void MainWindow::createContainers() {
    client_ = new QWidget;
    setCentralWidget(client_);
    QFrame* panel1 = place(new QFrame, form_.Panel1, client_);
    fill(panel1, kActiveBorder);

    auto group = [this, panel1](Panel& model, const QColor& colour) {
        QGroupBox* box = place(new QGroupBox, model, panel1);
        fill(box, colour);
        renderers_[&model] = [box, &model] { box->setTitle(q(model.caption())); };
        return box;
    };
    group(form_.GroupBox1, kActiveBorder);
    auto bevel = [this, panel1](Panel& model, const QColor& colour) {
        QFrame* frame = place(new QFrame, model, panel1);
        frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
        frame->setLineWidth(2);
        fill(frame, colour);
        return frame;
    };
    bevel(form_.Panel2, kInactiveCaptionText);
    bevel(form_.Panel6, kActiveBorder);
    group(form_.GroupBox2, kInactiveCaptionText);
}

void MainWindow::createControls() {
    QWidget* panel1 = container(form_.Panel1);
    QWidget* angular = container(form_.GroupBox1);
    QWidget* spatial = container(form_.GroupBox2);
    QWidget* rays = container(form_.Panel2);
    QWidget* output = container(form_.Panel6);

    auto label = [this](Label& model, QWidget* parent, int left, int top, int width = 0) {
        QLabel* widget = place(new QLabel, model, parent, {left, top, width > 0 ? width : 140, 15});
        renderers_[&model] = [widget, &model] { widget->setText(q(model.caption())); };
        return widget;
    };
    auto edit = [this](Edit& model, QWidget* parent, Bounds bounds) {
        QLineEdit* widget = place(new QLineEdit, model, parent, bounds);
        connect(widget, &QLineEdit::textEdited, this, [this, &model](const QString& text) {
            form_.dispatch([&] { model.setText(text.toStdString()); });
        });
        renderers_[&model] = [widget, &model] {
            widget->setReadOnly(model.readOnly());
            if (widget->text() != q(model.text())) widget->setText(q(model.text()));
        };
        return widget;
    };
    auto spin = [this](SpinEdit& model, QWidget* parent, Bounds bounds) {
        auto* widget = place(new ModelSpinBox(form_, model, nullptr), model, parent, bounds);
        renderers_[&model] = [widget, &model] {
            widget->editor()->setReadOnly(!model.editorEnabled());
            if (widget->editor()->text() != q(model.text()))
                widget->editor()->setText(q(model.text()));
        };
        return widget;
    };
    auto check = [this](CheckBox& model, QWidget* parent, Bounds bounds) {
        QCheckBox* widget = place(new QCheckBox, model, parent, bounds);
        connect(widget, &QCheckBox::clicked, this,
                [this, &model] { form_.dispatch([&model] { model.click(); }); });
        renderers_[&model] = [widget, &model] {
            widget->setText(q(model.caption()));
            widget->setChecked(model.checked());
        };
        return widget;
    };
    auto radio = [this](RadioGroup& model, QWidget* parent, Bounds bounds) {
        QGroupBox* box = place(new QGroupBox, model, parent, bounds);
        auto* column = new QVBoxLayout(box);
        column->setContentsMargins(6, 2, 6, 2);
        column->setSpacing(0);
        std::vector<QRadioButton*> buttons;
        for (std::size_t i = 0; i < model.items().size(); ++i) {
            auto* button = new QRadioButton(q(model.items()[i]), box);
            button->setObjectName(q(model.name() + "_" + std::to_string(i)));
            column->addWidget(button);
            buttons.push_back(button);
            connect(button, &QRadioButton::clicked, this, [this, &model, i] {
                form_.dispatch([&model, i] { model.select(static_cast<int>(i)); });
            });
        }
        renderers_[&model] = [box, buttons, &model] {
            box->setTitle(q(model.caption()));
            for (std::size_t i = 0; i < buttons.size(); ++i) {
                buttons[i]->setAutoExclusive(false);
                buttons[i]->setChecked(static_cast<int>(i) == model.itemIndex());
                buttons[i]->setAutoExclusive(true);
            }
        };
        return box;
    };
    auto combo = [this](ComboBox& model, QWidget* parent, Bounds bounds) {
        QComboBox* widget = place(new QComboBox, model, parent, bounds);
        widget->setEditable(true);
        widget->setInsertPolicy(QComboBox::NoInsert);
        widget->setMaxVisibleItems(ComboBox::kDropDownCount);
        connect(widget, &QComboBox::editTextChanged, this, [this, &model](const QString& text) {
            form_.dispatch([&] { model.userChange(text.toStdString()); });
        });
        renderers_[&model] = [widget, &model] {
            QStringList items;
            for (const std::string& item : model.items()) items << q(item);
            QStringList shown;
            for (int i = 0; i < widget->count(); ++i) shown << widget->itemText(i);
            if (shown != items) {
                widget->clear();
                widget->addItems(items);
            }
            if (widget->currentText() != q(model.text())) widget->setEditText(q(model.text()));
        };
        return widget;
    };
    auto gauge = [this, panel1](Gauge& model, const char* bar, const char* back) {
        QProgressBar* widget = place(new QProgressBar, model, panel1);
        widget->setRange(0, model.maxValue());
        widget->setTextVisible(false);
        widget->setStyleSheet(QString("QProgressBar { border: none; background: %1; }"
                                      "QProgressBar::chunk { background: %2; }")
                                  .arg(back, bar));
        renderers_[&model] = [widget, &model] {
            widget->setValue(model.progress());
            // The run holds the event loop: show the progress at once.
            if (widget->isVisible()) widget->repaint();
        };
    };

    // Angular Data
    radio(form_.RadioGroup2, angular, {8, 14, 112, 84});
    radio(form_.RadioGroup4, angular, {8, 100, 112, 50});
    label(form_.Label27, angular, 122, 20, 28);
    edit(form_.Edit6, angular, {152, 17, 50, 19});
    label(form_.Label29, angular, 122, 43, 28);
    edit(form_.Edit8, angular, {152, 40, 50, 19});
    radio(form_.RadioGroup6, angular, {212, 12, 100, 50});
    label(form_.Label8, angular, 122, 69, 130);
    spin(form_.CSpinEdit4, angular, {252, 66, 50, 19});
    label(form_.Label23, angular, 306, 69, 30);
    label(form_.Label11, angular, 122, 93, 20);
    edit(form_.Edit7, angular, {142, 90, 40, 19});
    label(form_.Label17, angular, 188, 93, 20);
    edit(form_.Edit12, angular, {208, 90, 40, 19});
    label(form_.Label26, angular, 256, 93, 26);
    edit(form_.Edit14, angular, {282, 90, 40, 19});
    label(form_.Label30, angular, 328, 93, 26);
    edit(form_.Edit15, angular, {354, 90, 40, 19});
    label(form_.Label6, angular, 122, 117, 76);
    combo(form_.ComboBoxEx1, angular, {200, 114, 200, 21});
    label(form_.Label5, angular, 122, 141, 76);
    combo(form_.ComboBoxEx2, angular, {200, 138, 200, 21});
    check(form_.CheckBox5, angular, {8, 163, 206, 17});
    check(form_.CheckBox3, angular, {218, 163, 96, 17});
    check(form_.CheckBox4, angular, {318, 163, 80, 17});

    // Spatial Data
    radio(form_.RadioGroup1, spatial, {8, 14, 112, 50});
    label(form_.Label32, spatial, 122, 20, 62);
    edit(form_.Edit9, spatial, {186, 17, 60, 19});
    label(form_.Label28, spatial, 250, 20, 20);
    label(form_.Label25, spatial, 122, 43, 62);
    edit(form_.Edit10, spatial, {186, 40, 60, 19});
    label(form_.Label31, spatial, 250, 43, 20);
    check(form_.CheckBox6, spatial, {280, 18, 110, 17});
    label(form_.Label33, spatial, 280, 43, 44);
    spin(form_.CSpinEdit6, spatial, {324, 40, 40, 19});
    edit(form_.Edit13, spatial, {368, 40, 32, 19});
    radio(form_.RadioGroup3, spatial, {8, 70, 190, 66});
    radio(form_.RadioGroup7, spatial, {204, 70, 112, 66});
    label(form_.Label19, spatial, 322, 76, 20);
    edit(form_.Edit2, spatial, {344, 73, 56, 19});
    label(form_.Label22, spatial, 322, 100, 20);
    edit(form_.Edit1, spatial, {344, 97, 56, 19});
    label(form_.Label3, spatial, 8, 151, 78);
    combo(form_.ComboBoxEx3, spatial, {88, 148, 200, 21});
    label(form_.Label2, spatial, 8, 175, 78);
    combo(form_.ComboBoxEx4, spatial, {88, 172, 200, 21});
    check(form_.CheckBox7, spatial, {300, 150, 90, 17});

    // Rays and flux
    label(form_.Label1, rays, 8, 10, 90);
    spin(form_.CSpinEdit3, rays, {100, 7, 100, 20});
    check(form_.CheckBox2, rays, {8, 36, 152, 17});
    spin(form_.CSpinEdit5, rays, {162, 34, 66, 20});
    label(form_.Label18, rays, 234, 37, 40);

    // Output
    radio(form_.RadioGroup5, panel1, {});
    label(form_.Label4, output, 8, 6, 200);
    edit(form_.Edit4, output, {8, 24, 267, 21});
    edit(form_.Edit3, output, {8, 24, 267, 21});

    // Run and results: the gauges and the status label lie where START is.
    QLabel* status = label(form_.Label21, panel1, 548, 69, 145);
    QFont bold = status->font();
    bold.setBold(true);
    status->setFont(bold);
    status->setStyleSheet("color: blue;");
    renderers_[&form_.Label21] = [status, this] {
        status->setText(q(form_.Label21.caption()));
        // The run holds the event loop from here on: paint the whole window once now, so
        // that nothing of the boxes just closed stays on the screen.
        if (status->isVisible()) status->window()->repaint();
    };
    gauge(form_.CGauge2, "white", "red");
    gauge(form_.CGauge1, "red", "red");
    gauge(form_.CGauge3, "white", "green");
    label(form_.Label20, panel1, 8, 416, 130)->setFont(bold);
    label(form_.Label7, panel1, 140, 416, 36)->setFont(bold);
    label(form_.Label9, panel1, 190, 416, 140);
    label(form_.Label10, panel1, 332, 416, 60);
    label(form_.Label12, panel1, 8, 432, 116);
    label(form_.Label13, panel1, 124, 432, 28);
    label(form_.Label14, panel1, 152, 432, 24);
    label(form_.Label15, panel1, 178, 432, 20);
    label(form_.Label16, panel1, 198, 432, 24);

    QPushButton* start = place(new QPushButton, form_.Button2, panel1);
    QFont startFont("Times New Roman");
    startFont.setPixelSize(16);
    startFont.setBold(true);
    start->setFont(startFont);
    start->setStyleSheet("color: red;");
    connect(start, &QPushButton::clicked, this,
            [this] { form_.dispatch([this] { form_.Button2.click(); }); });
    renderers_[&form_.Button2] = [start, this] { start->setText(q(form_.Button2.caption())); };

    // Preview
    auto* chart = new QChart;
    chart->setTitle("");
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setBackgroundBrush(QColor(form_.Chart1.background().red, form_.Chart1.background().green,
                                     form_.Chart1.background().blue));
    LineSeries* models[2] = {&form_.Series1, &form_.Series2};
    for (int i = 0; i < 2; ++i) {
        series_[i] = new QLineSeries;
        series_[i]->setName(q(models[i]->caption()));
        const Rgb c = models[i]->colour();
        series_[i]->setColor(QColor(c.red, c.green, c.blue));
        chart->addSeries(series_[i]);
    }
    chart->createDefaultAxes();
    chartView_ = place(new ModelChartView(form_, chart, nullptr), form_.Chart1, panel1);
    chartView_->setRubberBand(QChartView::NoRubberBand);
    QLabel* heading = label(form_.Label24, chartView_, 64, 8, 200);
    QFont headingFont = heading->font();
    headingFont.setPixelSize(13);
    heading->setFont(headingFont);
    label(form_.Label36, chartView_, 8, 24, 20);

    auto rescale = [this] {
        double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
        bool any = false;
        for (QLineSeries* s : series_)
            for (const QPointF& p : s->points()) {
                if (!any) xMin = xMax = p.x(), yMin = yMax = p.y();
                xMin = std::min(xMin, p.x());
                xMax = std::max(xMax, p.x());
                yMin = std::min(yMin, p.y());
                yMax = std::max(yMax, p.y());
                any = true;
            }
        if (xMax == xMin) xMax = xMin + 1;
        if (yMax == yMin) yMax = yMin + 1;
        const auto axes = chartView_->chart()->axes();
        for (QAbstractAxis* axis : axes) {
            auto* value = qobject_cast<QValueAxis*>(axis);
            if (!value) continue;
            if (axis->orientation() == Qt::Horizontal)
                value->setRange(xMin, xMax);
            else
                value->setRange(yMin, yMax);
        }
    };
    for (int i = 0; i < 2; ++i) {
        LineSeries& model = *models[i];
        QLineSeries* series = series_[i];
        renderers_[&model] = [series, &model, rescale] {
            QList<QPointF> points;
            for (const auto& [x, y] : model.points()) points.append(QPointF(x, y));
            series->replace(points);
            rescale();
        };
    }
    renderers_[&form_.Chart1] = [this] {
        if (form_.Chart1.aligned()) chartView_->raise();
        chartView_->repaint();
    };
    for (Control* c : {static_cast<Control*>(&form_.Label21), static_cast<Control*>(&form_.CGauge2),
                       static_cast<Control*>(&form_.CGauge1), static_cast<Control*>(&form_.CGauge3),
                       static_cast<Control*>(&form_.Button2)})
        widgets_.at(c)->raise();
    chartView_->stackUnder(start);
}

void MainWindow::redraw(const Control& control) {
    const auto widget = widgets_.find(&control);
    if (widget != widgets_.end()) {
        QWidget* w = widget->second;
        const QSignalBlocker blocker(w);
        // Controls whose place the model gives (containers, gauges, the chart) follow it.
        const Bounds& b = control.bounds();
        const QRect place(b.left, b.top, b.width, b.height);
        if (b.width > 0 && w->geometry() != place) w->setGeometry(place);
        w->setEnabled(control.enabled());
        w->setVisible(control.visible());
    }
    const auto render = renderers_.find(&control);
    if (render != renderers_.end()) {
        const QSignalBlocker blocker(widget != widgets_.end() ? widget->second : nullptr);
        render->second();
    }
}

void MainWindow::bindModel() {
    for (Control* control : form_.controls()) {
        control->setObserver([this](const Control& c) { redraw(c); });
        redraw(*control);
    }
}

}  // namespace lumiva
