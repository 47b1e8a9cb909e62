#include "ui/documents/stay_dates_fields.h"

#include "common/format.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

QLineEdit *dateField(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setInputMask(QStringLiteral("99/99/9999;_"));
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16);
    return edit;
}

} // namespace

StayDatesFields::StayDatesFields(const QString &endCaption, QWidget *parent)
    : QWidget(parent), m_debut(dateField("DateDebut", this)), m_fin(dateField("DateFin", this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Du "), this));
    layout->addWidget(m_debut);
    layout->addWidget(new QLabel(endCaption, this));
    layout->addWidget(m_fin);
    layout->addStretch();
    connect(m_debut, &QLineEdit::editingFinished, this, [this] {
        if (isBlank(m_fin) && !m_fin->isReadOnly())
            m_fin->setText(m_debut->text());
    });
}

bool StayDatesFields::isBlank(const QLineEdit *field)
{
    QString digits = field->text();
    digits.remove(QLatin1Char('/'));
    return digits.trimmed().isEmpty();
}

QDate StayDatesFields::debut() const
{
    return Format::parseDate(m_debut->text());
}

QDate StayDatesFields::fin() const
{
    return Format::parseDate(m_fin->text());
}

void StayDatesFields::setDates(const QDate &debut, const QDate &fin)
{
    m_debut->setText(debut.isValid() ? Format::date(debut) : QString());
    m_fin->setText(fin.isValid() ? Format::date(fin) : QString());
}

void StayDatesFields::setReadOnly(bool readOnly)
{
    m_debut->setReadOnly(readOnly);
    m_fin->setReadOnly(readOnly);
}
