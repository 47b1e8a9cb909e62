#include "ui/app/about_window.h"

#include "commands/app_info.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm2::TForm2(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("A propos"));
    setWindowIcon(AppInfo::applicationIcon());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(6);
    const auto addLine = [&](const QString &text, int pointDelta = 0, bool bold = false) {
        auto *label = new QLabel(text, this);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont f = label->font();
        f.setPointSize(f.pointSize() + pointDelta);
        f.setBold(bold);
        label->setFont(f);
        layout->addWidget(label);
        return label;
    };
    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("iconLabel"));
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(AppInfo::applicationIcon().pixmap(QSize(64, 64)));
    layout->addWidget(icon);
    addLine(QStringLiteral("A Propos"), 4, true);
    addLine(QStringLiteral("Logiciel de gestion des réservations"), 1);
    addLine(AppInfo::versionText(), 0, true);
    addLine(QStringLiteral("pour hôtels, auberges et chambre d'hôtes"));
    layout->addSpacing(10);
    addLine(QStringLiteral("Réalisé en C++ avec Qt et SQLite"));
    addLine(QStringLiteral("Pour toute question, consultez la documentation :"));
    addLine(AppInfo::documentation());
    layout->addSpacing(10);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);

    setFixedSize(qMax(sizeHint().width(), 420), sizeHint().height());
}
