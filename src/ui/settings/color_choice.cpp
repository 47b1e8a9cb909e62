#include "ui/settings/color_choice.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace {
ColorChoice::Chooser &chooser()
{
    static ColorChoice::Chooser c = [](const QColor &initial, const QString &title) {
        return QColorDialog::getColor(initial, nullptr, title);
    };
    return c;
}
} // namespace

ColorChoice::ColorChoice(const QString &title, QWidget *parent) : QFrame(parent), m_title(title)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_button = new QPushButton(QStringLiteral("Choisir…"), this);
    m_sample = new QFrame(this);
    m_sample->setFrameShape(QFrame::Box);
    m_sample->setFixedSize(48, 22);
    m_sample->setAutoFillBackground(true);
    layout->addWidget(m_sample);
    layout->addWidget(m_button);
    layout->addStretch();
    connect(m_button, &QPushButton::clicked, this, &ColorChoice::choose);
    setColor(Qt::white);
}

void ColorChoice::setColor(const QColor &color)
{
    m_color = color.isValid() ? color : QColor(Qt::white);
    QPalette p = m_sample->palette();
    p.setColor(QPalette::Window, m_color);
    m_sample->setPalette(p);
}

void ColorChoice::setChooser(Chooser c)
{
    chooser() = std::move(c);
}

void ColorChoice::choose()
{
    const QColor c = chooser()(m_color, m_title);
    if (!c.isValid())
        return;
    setColor(c);
    emit colorChosen(c);
}
