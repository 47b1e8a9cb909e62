#pragma once

#include <QByteArrayView>
#include <QString>

class TPdfDictionary;
class TPdfDoc;
class TPdfFont;
class TPdfStream;

// The text state of a page: font and size, spacings, scaling and leading. Setters
// refuse values out of range and then leave the state as it was.
class TPdfCanvasAttribute
{
public:
    TPdfFont *Font() const { return m_font; }
    double FontSize() const { return m_fontSize; }
    double WordSpace() const { return m_wordSpace; }
    double CharSpace() const { return m_charSpace; }
    double HorizontalScaling() const { return m_horizontalScaling; }
    double Leading() const { return m_leading; }

    void SetFont(TPdfFont *font) { m_font = font; }
    // 0 to 300.
    void SetFontSize(double size);
    // 0 or more.
    void SetWordSpace(double space);
    // -30 to 300.
    void SetCharSpace(double space);
    // 10 to 300 percent.
    void SetHorizontalScaling(double scaling);
    // 0 to 300.
    void SetLeading(double leading);

    static void CheckFontSize(double size);

    // Width in points of WinAnsi-encoded text in this state, computed in single
    // precision; 0 without a font.
    float TextWidth(QByteArrayView winAnsi) const;

private:
    TPdfFont *m_font = nullptr;
    double m_fontSize = 10;
    double m_wordSpace = 0;
    double m_charSpace = 0;
    double m_horizontalScaling = 100;
    double m_leading = 0;
};

// Draws on the document's current page by appending operators to its content stream.
// Coordinates are points, origin at the bottom left, y upward. While no page is
// current the drawing calls append nothing.
class TPdfCanvas
{
public:
    explicit TPdfCanvas(TPdfDoc *doc) : m_doc(doc) {}

    // Makes `page` current. The state of the page left is kept in that page's
    // dictionary and comes back when the canvas returns to it; a page never drawn on
    // starts with "Arial" at 10 points.
    void SetPage(TPdfDictionary *page);
    TPdfDictionary *Page() const { return m_page; }
    const TPdfCanvasAttribute &Attribute() const { return m_attribute; }

    // Selects a registered font ("Arial", "Times-Roman", ...) at a size of 0 to 300.
    void SelectFont(const QString &name, double size);
    // Text with its baseline starting at (x, y); converted to WinAnsi bytes.
    void PlaceText(double x, double y, const QString &text);
    // Width of the text in points in the current font and state.
    float MeasureText(const QString &text) const;
    // Appends a rectangle to the path; a negative height runs downward.
    void AddRectangle(double x, double y, double width, double height);
    // Fills the path with the fill colour.
    void FillPath();
    // Colour with red in the lowest byte, green in the next, blue in the third
    // (0x0000FF is red, 0xFFFFFF white); a negative value is black.
    void SetFillRGB(int colour);
    // Draws a registered image scaled to width x height with its lower left at (x, y).
    void DrawXObject(double x, double y, double width, double height, const QString &imageName);

    double GetPageWidth() const;
    double GetPageHeight() const;

    void SetWordSpace(double space);
    void SetCharSpace(double space);
    void SetHorizontalScaling(double scaling);
    void SetLeading(double leading);

private:
    friend class TPdfDoc;
    // Forgets the page without saving its state: the document is being discarded.
    void Reset();
    void SaveState();
    bool RestoreState();
    // Appends "<value> <op>" LF to the content stream.
    void AppendOperator(double value, const char *op);
    QByteArray &Content();

    TPdfDoc *m_doc;
    TPdfDictionary *m_page = nullptr;
    TPdfStream *m_contents = nullptr;
    TPdfCanvasAttribute m_attribute;
};
