#include "platform/ui/qt/form_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace ui {

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// The Japanese desktop font the forms were laid out with: a proportional Gothic at 9 points.
QFont form_font() {
    QFont font(QStringLiteral("IPAPGothic"), 9);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace

FormWindow::FormWindow(Form& form, FormEvents& events, QWidget* parent)
    : QDialog(parent), form_(form), events_(events) {
    setWindowTitle(q(form.caption()));
    setFont(form_font());
    setFixedSize(twips_to_pixels(form.client_width()), twips_to_pixels(form.client_height()));
    // Frames first, so that every control finds its container.
    for (const auto& c : form.controls()) {
        if (c.kind == ControlKind::frame) widgets_[c.name] = create(c, this);
    }
    QWidget* previous = nullptr;
    for (const auto& c : form.controls()) {
        if (c.kind == ControlKind::frame) continue;
        QWidget* container = c.container.empty() ? this : widgets_.at(c.container);
        QWidget* widget = create(c, container);
        widgets_[c.name] = widget;
        connect_events(c, widget);
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous) setTabOrder(previous, widget);
            previous = widget;
        }
    }
    sync();
}

namespace {

/* ---------------------------------------------------------------- placement */
// The control's rectangle in pixels. The forms were measured with a narrower font: a label
// grows to show its whole caption, around its centre when the caption is centred.
QRect placement(const Control& c, QSize natural) {
    QRect place(twips_to_pixels(c.place.left), twips_to_pixels(c.place.top),
                c.place.width > 0 ? twips_to_pixels(c.place.width) : natural.width(),
                c.place.height > 0 ? twips_to_pixels(c.place.height) : natural.height());
    if (c.kind == ControlKind::label && natural.width() > place.width()) {
        const int grow = natural.width() - place.width();
        place.adjust(c.align == TextAlign::centre ? -grow / 2 : 0, 0,
                     c.align == TextAlign::centre ? grow - grow / 2 : grow, 0);
    }
    if (c.kind == ControlKind::label) place.setHeight(std::max(place.height(), natural.height()));
    return place;
}

}  // namespace

/* ---------------------------------------------------------------- create */
QWidget* FormWindow::create(const Control& c, QWidget* container) {
    QWidget* widget = nullptr;
    switch (c.kind) {
        case ControlKind::frame:
            widget = new QGroupBox(q(c.text), container);
            break;
        case ControlKind::label: {
            auto* label = new QLabel(q(c.text), container);
            if (c.align == TextAlign::centre) label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            if (c.fore_colour) {
                QPalette palette = label->palette();
                palette.setColor(QPalette::WindowText, QColor::fromRgb(*c.fore_colour));
                label->setPalette(palette);
            }
            widget = label;
            break;
        }
        case ControlKind::text_box: {
            auto* edit = new QLineEdit(q(c.text), container);
            if (c.select_all_on_focus) edit->installEventFilter(this);
            widget = edit;
            break;
        }
        case ControlKind::option:
            widget = new QRadioButton(q(c.text), container);
            break;
        case ControlKind::check_box:
            widget = new QCheckBox(q(c.text), container);
            break;
        case ControlKind::button: {
            auto* button = new QPushButton(q(c.text), container);
            button->setAutoDefault(false);
            button->setDefault(c.name == form_.default_button);
            widget = button;
            break;
        }
        case ControlKind::progress_bar: {
            auto* bar = new QProgressBar(container);
            bar->setTextVisible(false);
            widget = bar;
            break;
        }
        case ControlKind::list_box:
            widget = new QListWidget(container);
            break;
    }
    widget->setObjectName(q(c.name));
    widget->setGeometry(placement(c, widget->sizeHint()));
    return widget;
}

/* ---------------------------------------------------------------- connect_events */
void FormWindow::connect_events(const Control& c, QWidget* widget) {
    const std::string name = c.name;
    switch (c.kind) {
        case ControlKind::option:
            connect(static_cast<QRadioButton*>(widget), &QRadioButton::clicked, this, [this, name] {
                form_.set_checked(name, true);
                events_.click(name);
                after_event();
            });
            break;
        case ControlKind::check_box:
            connect(static_cast<QCheckBox*>(widget), &QCheckBox::clicked, this,
                    [this, name](bool checked) {
                        form_.set_checked(name, checked);
                        events_.click(name);
                        after_event();
                    });
            break;
        case ControlKind::button:
            connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this, [this, name] {
                events_.click(name);
                after_event();
            });
            break;
        case ControlKind::text_box:
            connect(static_cast<QLineEdit*>(widget), &QLineEdit::textEdited, this,
                    [this, name](const QString& text) {
                        form_.set_text(name, text.toStdString());
                        events_.change(name);
                        after_event();
                    });
            break;
        default:
            break;
    }
}

/* ---------------------------------------------------------------- sync */
void FormWindow::sync() {
    if (synced_once_ && form_.revision() == synced_revision_) return;
    synced_once_ = true;
    synced_revision_ = form_.revision();
    for (const auto& c : form_.controls()) sync_control(c, widgets_.at(c.name));
}

void FormWindow::sync_control(const Control& c, QWidget* widget) {
    if (widget->isHidden() == c.visible) widget->setVisible(c.visible);
    if (widget->isEnabled() != c.enabled) widget->setEnabled(c.enabled);
    const QString text = q(c.text);
    switch (c.kind) {
        case ControlKind::frame: {
            auto* frame = static_cast<QGroupBox*>(widget);
            if (frame->title() != text) frame->setTitle(text);
            break;
        }
        case ControlKind::label: {
            auto* label = static_cast<QLabel*>(widget);
            if (label->text() != text) {
                label->setText(text);
                // A longer caption ("Page 610/1500") widens the label as the first one did.
                label->setGeometry(placement(c, label->sizeHint()));
            }
            break;
        }
        case ControlKind::text_box: {
            auto* edit = static_cast<QLineEdit*>(widget);
            if (edit->text() != text) edit->setText(text);
            break;
        }
        case ControlKind::option:
        case ControlKind::check_box: {
            auto* button = static_cast<QAbstractButton*>(widget);
            if (button->text() != text) button->setText(text);
            if (button->isChecked() != c.checked) {
                // Exclusive groups refuse to clear their checked button; the form decides.
                const bool exclusive = button->autoExclusive();
                button->setAutoExclusive(false);
                button->setChecked(c.checked);
                button->setAutoExclusive(exclusive);
            }
            break;
        }
        case ControlKind::button: {
            auto* button = static_cast<QPushButton*>(widget);
            if (button->text() != text) button->setText(text);
            break;
        }
        case ControlKind::progress_bar: {
            auto* bar = static_cast<QProgressBar*>(widget);
            if (bar->maximum() != c.maximum) bar->setRange(0, c.maximum);
            if (bar->value() != c.value) bar->setValue(c.value);
            break;
        }
        case ControlKind::list_box: {
            auto* list = static_cast<QListWidget*>(widget);
            if (static_cast<std::size_t>(list->count()) > c.items.size()) list->clear();
            for (auto i = static_cast<std::size_t>(list->count()); i < c.items.size(); ++i) {
                list->addItem(q(c.items[i]));
            }
            break;
        }
    }
}

/* ---------------------------------------------------------------- centre_on_screen */
void FormWindow::centre_on_screen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

/* ---------------------------------------------------------------- after_event */
void FormWindow::after_event() {
    sync();
    if (!form_.loaded() && isVisible()) done(QDialog::Accepted);
}

/* ---------------------------------------------------------------- closeEvent */
void FormWindow::closeEvent(QCloseEvent* event) {
    if (form_.loaded() && !events_.query_close()) {
        event->ignore();
        sync();
        return;
    }
    form_.unload();
    sync();
    event->accept();
    done(QDialog::Rejected);
}

/* ---------------------------------------------------------------- reject */
void FormWindow::reject() {
    if (form_.cancel_button.empty()) {
        close();
        return;
    }
    if (!form_.control(form_.cancel_button).enabled) return;
    events_.click(form_.cancel_button);
    after_event();
}

/* ---------------------------------------------------------------- eventFilter */
bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // Deferred: a mouse press that gave the focus would otherwise place the caret over the
        // selection.
        auto* edit = static_cast<QLineEdit*>(watched);
        QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace ui
