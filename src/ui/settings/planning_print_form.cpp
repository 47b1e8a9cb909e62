#include "ui/settings/planning_print_form.h"

#include "common/dialogs.h"
#include "common/errors.h"
#include "settings/ini_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
const QString kSection = QStringLiteral("Impression");
const QString kKey = QStringLiteral("changementClient");
} // namespace

TForm10::TForm10(QWidget *parent) : QDialog(parent), m_printer(&PlanningPrint::print)
{
    setObjectName(QStringLiteral("TForm10"));
    setWindowTitle(QStringLiteral("Configuration de l'impression"));
    auto *layout = new QVBoxLayout(this);

    auto *view = new QGroupBox(QStringLiteral("Vue"), this);
    auto *viewLayout = new QHBoxLayout(view);
    m_week = new QRadioButton(QStringLiteral("Hebdomadaire"), view);
    m_month = new QRadioButton(QStringLiteral("Mensuel"), view);
    m_week->setChecked(true);
    viewLayout->addWidget(m_week);
    viewLayout->addWidget(m_month);
    layout->addWidget(view);

    auto *dateBox = new QGroupBox(QStringLiteral("Date d'impression"), this);
    auto *dateLayout = new QHBoxLayout(dateBox);
    m_date = new QDateEdit(QDate::currentDate(), dateBox);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    dateLayout->addWidget(m_date);
    layout->addWidget(dateBox);

    auto *info = new QGroupBox(QStringLiteral("Informations à imprimer"), this);
    auto *infoLayout = new QHBoxLayout(info);
    m_states = new QRadioButton(QStringLiteral("Etat des chambres"), info);
    m_names = new QRadioButton(QStringLiteral("Nom des occupants"), info);
    m_states->setChecked(true);
    infoLayout->addWidget(m_states);
    infoLayout->addWidget(m_names);
    layout->addWidget(info);

    m_changeMarks = new QCheckBox(QStringLiteral("Affichage des changements de client"), this);
    layout->addWidget(m_changeMarks);
    // Saved at the click, whatever happens to the form afterwards.
    connect(m_changeMarks, &QCheckBox::clicked, this,
            [this](bool checked) { IniFile().writeBool(kSection, kKey, checked); });

    auto *copiesRow = new QHBoxLayout;
    copiesRow->addWidget(new QLabel(QStringLiteral("Nombre de copie :"), this));
    m_copies = new QSpinBox(this);
    m_copies->setRange(1, 100);
    m_copies->setValue(1);
    m_copies->findChild<QLineEdit *>()->setReadOnly(true);
    copiesRow->addWidget(m_copies);
    copiesRow->addStretch();
    layout->addLayout(copiesRow);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_print = new QPushButton(QStringLiteral("Imprimer"), this);
    m_print->setObjectName(QStringLiteral("Button1"));
    m_print->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Annuler"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    buttons->addWidget(m_print);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(m_print, &QPushButton::clicked, this, &TForm10::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

void TForm10::SelectVueAffichage(const QString &view)
{
    (view == QLatin1String("Hebdomadaire") ? m_week : m_month)->setChecked(true);
}

void TForm10::SelectEtatAffichage(const QString &mode)
{
    (mode == QLatin1String("Etat") ? m_states : m_names)->setChecked(true);
}

void TForm10::setDate(const QDate &date)
{
    m_date->setDate(date);
}

void TForm10::FormShow()
{
    m_changeMarks->setChecked(IniFile().readBool(kSection, kKey, false));
    m_print->setEnabled(true);
    m_print->setText(QStringLiteral("Imprimer"));
}

PlanningPrint::Options TForm10::options() const
{
    PlanningPrint::Options o;
    o.month = m_month->isChecked();
    o.date = m_date->date();
    o.names = m_names->isChecked();
    o.changeMarks = m_changeMarks->isChecked();
    o.copies = m_copies->value();
    return o;
}

void TForm10::Button1Click()
{
    m_print->setEnabled(false);
    m_print->setText(QStringLiteral("Impression en cours"));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        m_printer(options());
    } catch (const KestrovaError &e) {
        QApplication::restoreOverrideCursor();
        Dialogs::error(e.text());
        FormShow();
        return;
    }
    QApplication::restoreOverrideCursor();
    accept();
}

int TForm10::exec()
{
    FormShow();
    return QDialog::exec();
}
