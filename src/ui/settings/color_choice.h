#pragma once

#include <QColor>
#include <QFrame>
#include <QString>

#include <functional>

class QPushButton;

// A colour button with its sample: a click asks for a colour (Qt's colour
// dialog unless a test installs another chooser) and the sample takes it.
class ColorChoice : public QFrame
{
    Q_OBJECT

public:
    using Chooser = std::function<QColor(const QColor &initial, const QString &title)>;

    ColorChoice(const QString &title, QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    // Shows a colour without announcing it (loading, another room chosen).
    void setColor(const QColor &color);
    QPushButton *button() const { return m_button; }

    // The chooser every ColorChoice uses; an invalid colour means "cancelled".
    static void setChooser(Chooser chooser);

signals:
    void colorChosen(const QColor &color);

private:
    void choose();

    QString m_title;
    QColor m_color = Qt::white;
    QPushButton *m_button;
    QFrame *m_sample;
};
