#include "ui/catalogue/period_types_form.h"

TForm11::TForm11(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Types de périodes"));
    setObjectName(QStringLiteral("TForm11"));
}
