#pragma once

#include <QDialog>

// The "A propos" window: what the program is, its version and where its
// documentation lies.
class TForm2 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm2(QWidget *parent = nullptr);
};
