#include "ui/planning/state_legend.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {

QLabel *entry(QWidget *parent, const QString &state, const char *name)
{
    auto *label = new QLabel(state, parent);
    label->setObjectName(QLatin1String(name));
    label->setFrameShape(QFrame::Box);
    label->setMargin(2);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("Réservé")) + 20);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setAutoFillBackground(true);
    return label;
}

void paint(QLabel *label, const QColor &text)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Base));
    if (text.isValid())
        pal.setColor(QPalette::WindowText, text);
    label->setPalette(pal);
}

} // namespace

StateLegend::StateLegend(QWidget *parent)
    : QWidget(parent), m_reserve(entry(this, QStringLiteral("Réservé"), "legendReserve")),
      m_acompte(entry(this, QStringLiteral("Acompte"), "legendAcompte")),
      m_paye(entry(this, QStringLiteral("Payé"), "legendPaye"))
{
    setObjectName(QStringLiteral("stateLegend"));
    QLabel *libre = entry(this, QStringLiteral("Libre"), "legendLibre");
    QFont plain = libre->font();
    plain.setBold(false);
    libre->setFont(plain);
    paint(libre, {});
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(new QLabel(QStringLiteral("Légende :"), this));
    for (QLabel *label : {m_reserve, m_acompte, m_paye, libre})
        layout->addWidget(label);
    setColors(StateColors{});
}

void StateLegend::setColors(const StateColors &colors)
{
    paint(m_reserve, colors.reserve);
    paint(m_acompte, colors.acompte);
    paint(m_paye, colors.paye);
}

QColor StateLegend::color(const QString &state) const
{
    const QLabel *label = state == QStringLiteral("Réservé")   ? m_reserve
                          : state == QStringLiteral("Acompte") ? m_acompte
                                                               : m_paye;
    return label->palette().color(QPalette::WindowText);
}
