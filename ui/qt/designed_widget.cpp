#include "ui/qt/designed_widget.h"

#include "ui/qt/extension_box.h"
#include "ui/qt/twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <stdexcept>
#include <string>

namespace velnor {

namespace {

QColor ColourOf(const design::Colour& colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

QPushButton* MakeButton(const design::ControlDesign& design, QWidget* container) {
    auto* button = new QPushButton(QString::fromUtf8(design.caption), container);
    // Enter presses the default button, or the button with the focus: in a
    // dialog, as Qt does anyway, and in the main window, as Windows does.
    button->setDefault(design.defaultButton);
    button->setAutoDefault(true);
    return button;
}

} // namespace

QWidget* MakeDesignedWidget(const design::ControlDesign& design, QWidget* container) {
    const QString caption = QString::fromUtf8(design.caption);
    QWidget* widget = nullptr;
    switch (design.kind) {
    case design::ControlKind::Label:
        widget = SetUpDesignedLabel(new QLabel(container), design);
        break;
    case design::ControlKind::Frame:
        widget = new QGroupBox(caption, container);
        break;
    case design::ControlKind::Button:
        widget = MakeButton(design, container);
        break;
    case design::ControlKind::CheckBox: {
        auto* check = new QCheckBox(caption, container);
        check->setChecked(design.ticked);
        widget = check;
        break;
    }
    case design::ControlKind::TextBox:
        widget = new ExtensionBox(caption, container);
        break;
    case design::ControlKind::DriveList:
    case design::ControlKind::DirectoryList:
        throw std::logic_error(std::string(design.name) + ": the form makes its own lists");
    }
    PlaceAsDesigned(widget, design);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (design.autoSize)
            SetAutoSizeCaption(label, caption);
        else
            label->setText(caption);
    }
    return widget;
}

QLabel* SetUpDesignedLabel(QLabel* label, const design::ControlDesign& design) {
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(design.wordWrap);
    if (design.textColour || design.backColour) {
        QPalette palette = label->palette();
        if (design.textColour)
            palette.setColor(QPalette::WindowText, ColourOf(*design.textColour));
        if (design.backColour)
            palette.setColor(QPalette::Window, ColourOf(*design.backColour));
        label->setPalette(palette);
        label->setAutoFillBackground(design.backColour.has_value());
    }
    return label;
}

void PlaceAsDesigned(QWidget* widget, const design::ControlDesign& design) {
    widget->setObjectName(QString::fromUtf8(design.name));
    widget->setGeometry(TwipsRect(design.place, widget->parentWidget()));
}

void SetAutoSizeCaption(QLabel* label, const QString& caption) {
    label->setText(caption);
    label->adjustSize();
    // Qt keeps a few pixels for an empty label; an empty gauge shows nothing.
    if (caption.isEmpty())
        label->resize(0, label->height());
}

} // namespace velnor
