#pragma once

#include <QDialog>

// The period types window: created with the others, without controls or
// behaviour of its own; nothing opens it.
class TForm11 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm11(QWidget *parent = nullptr);
};
