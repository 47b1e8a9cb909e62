#include "ui/common/message_box_answerer.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

bool MessageBoxAnswerer::show(Dialogs::Kind kind, const QString &text, bool defaultYes)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    switch (kind) {
    case Dialogs::Kind::Information: box.setIcon(QMessageBox::Information); break;
    case Dialogs::Kind::Warning: box.setIcon(QMessageBox::Warning); break;
    case Dialogs::Kind::Error: box.setIcon(QMessageBox::Critical); break;
    case Dialogs::Kind::Question: box.setIcon(QMessageBox::Question); break;
    }
    if (kind != Dialogs::Kind::Question) {
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return true;
    }
    QPushButton *yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
    box.setDefaultButton(defaultYes ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

Dialogs::Answer MessageBoxAnswerer::ask(const QString &text)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    QPushButton *yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return Dialogs::Answer::Yes;
    return box.clickedButton() == no ? Dialogs::Answer::No : Dialogs::Answer::Cancel;
}
