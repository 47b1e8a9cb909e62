#include "documents/document_drawer.h"

#include "common/errors.h"
#include "common/format.h"
#include "common/print_scale.h"
#include "pdf/pdf_canvas.h"
#include "pdf/pdf_doc.h"
#include "pdf/pdf_error.h"
#include "pdf/pdf_image.h"
#include "documents/vat_breakdown.h"
#include "settings/ini_file.h"
#include "settings/seller_identity.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <cmath>

namespace {

const QString kFontFamily = QStringLiteral("Arial");

QStringList splitLines(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\\r\\n|\\n|\\r"));
    return text.split(breaks);
}

bool isJpeg(const QByteArray &bytes)
{
    return bytes.startsWith("\xFF\xD8");
}

// The writer embeds JPEG pictures only; a logo in another format the platform
// reads is converted once here.
QByteArray asJpeg(const QByteArray &bytes)
{
    if (bytes.isEmpty() || isJpeg(bytes))
        return bytes;
    QImage image = QImage::fromData(bytes);
    if (image.isNull())
        return {};
    if (image.hasAlphaChannel()) {
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter p(&flat);
        p.drawImage(0, 0, image);
        p.end();
        image = flat;
    }
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return out;
}

bool sameAmount(double a, double b)
{
    return Format::roundAmount(a) == Format::roundAmount(b);
}

} // namespace

DocumentDrawer::Hotel DocumentDrawer::readHotel()
{
    const QStringList keys = {
        QStringLiteral("nom"),      QStringLiteral("adresse1"), QStringLiteral("adresse2"),
        QStringLiteral("adresse3"), QStringLiteral("adresse4"), QStringLiteral("tel"),
        QStringLiteral("fax"),      QStringLiteral("email"),    QStringLiteral("tva"),
        QStringLiteral("logo"),     QStringLiteral("monaie")};
    QList<QPair<QString, QString>> pairs;
    QStringList defaults;
    for (const QString &k : keys) {
        pairs.append({QStringLiteral("Hotel"), k});
        defaults << QString();
    }
    defaults.last() = QStringLiteral("€");
    const QStringList v = IniFile().readStrings(pairs, defaults);

    Hotel h;
    for (int i = 0; i < 9; ++i)
        if (!v.at(i).isEmpty())
            ++h.n;
    h.nom = v.at(0);
    const QStringList prefixes = {QString(),
                                  QString(),
                                  QString(),
                                  QString(),
                                  QStringLiteral("Tel : "),
                                  QStringLiteral("Fax : "),
                                  QString(),
                                  QStringLiteral("TVA : ")};
    for (int i = 1; i < 9; ++i)
        if (!v.at(i).isEmpty())
            h.lignes << prefixes.at(i - 1) + v.at(i);
    h.tvaLast = !v.at(8).isEmpty();
    h.logo = v.at(9);
    h.monnaie = v.at(10);
    const SellerIdentity seller = SellerIdentity::read();
    h.identite = seller.identityLine();
    h.paiement = seller.paymentLine();
    return h;
}

DocumentDrawer::Content DocumentDrawer::load(const DocumentStore &store, int numero)
{
    Content c;
    c.kind = store.kind();
    c.numero = numero;
    c.record = store.read(numero);
    c.hotel = readHotel();
    if (!c.hotel.logo.isEmpty()) {
        // A logo that cannot be read leaves the document without it rather than
        // without the document.
        QFile f(c.hotel.logo);
        if (f.open(QIODevice::ReadOnly))
            c.logoBytes = f.readAll();
    }
    return c;
}

DocumentDrawer::Texts DocumentDrawer::texts(const Content &c)
{
    const bool quote = c.kind == DocumentStore::Kind::Devis;
    const DocumentStore::Record &r = c.record;
    const QString C = c.hotel.monnaie;
    Texts t;
    t.titre =
        (quote ? QStringLiteral("Devis N° ") : QStringLiteral("Facture N° ")) + QString::number(c.numero);
    if (r.found) {
        t.adresse = splitLines(r.adresse);
        t.date = QStringLiteral("Le ") + Format::date(r.date);
        if (!quote)
            t.mode = QStringLiteral("Mode de paiement : ") + r.mode;
        if (r.sejourDebut.isValid() && r.sejourFin.isValid())
            t.sejour = QStringLiteral("Séjour du ") + Format::date(r.sejourDebut) + QStringLiteral(" au ") +
                       Format::date(r.sejourFin);
        if (quote && !r.commentaires.isEmpty())
            t.commentaires = splitLines(r.commentaires);
    }
    for (const DocumentStore::Line &l : r.lines) {
        Row row;
        row.libelle = l.libelle;
        // A quantity of 0 has no unit price (and no division by zero).
        if (l.nb != 0)
            row.unitaire = Format::amount2(l.ht / l.nb);
        if (!l.taux.isNull())
            row.taux = Format::number(l.taux.toDouble()) + (quote ? QString() : QStringLiteral(" %"));
        row.nb = QString::number(l.nb);
        row.total = Format::amount2(l.ht) + QLatin1Char(' ') + C;
        t.lignes.append(row);
    }
    if (r.remise != 0) {
        t.remise = true;
        t.ligneRemise = {QStringLiteral("Remise générale"), QString(), QString(), QStringLiteral("1"),
                         QStringLiteral("- ") + Format::amount2(r.remise) + QLatin1Char(' ') + C};
    }
    t.net = sameAmount(r.ttc, r.ht);
    t.ht = Format::amount2(r.ht) + QLatin1Char(' ') + C;
    t.tva = Format::amount2(r.ttc - r.ht) + QLatin1Char(' ') + C;
    t.ttc = Format::amount2(r.ttc) + QLatin1Char(' ') + C;
    if (!c.hotel.identite.isEmpty())
        t.pied << c.hotel.identite;
    if (quote)
        return t;
    if (!c.hotel.paiement.isEmpty())
        t.pied << c.hotel.paiement;
    const VatBreakdown::Totals totals = VatBreakdown::compute(r);
    const auto money = [&C](qint64 cents) -> QString { return Format::amount2(cents / 100.0) + QLatin1Char(' ') + C; };
    if (!t.net) {
        for (const VatBreakdown::Rate &g : totals.rates)
            t.tvaParTaux << QStringLiteral("TVA %1 % sur %2 : %3").arg(Format::number(g.rate), money(g.base), money(g.tax));
    }
    if (totals.deposit != 0) {
        t.acompte = money(totals.deposit);
        t.reste = money(totals.due);
    }
    return t;
}

// ---- PDF: points, origin bottom left, texts by their left baseline --------

namespace {

class PdfPage
{
public:
    PdfPage(TPdfDoc &doc) : m_doc(doc), m_canvas(doc.GetCanvas()) {}
    double W() const { return m_canvas->GetPageWidth(); }
    double H() const { return m_canvas->GetPageHeight(); }
    void text(double x, double y, const QString &s) { m_canvas->PlaceText(x, y, s); }
    void right(double edge, double y, const QString &s)
    {
        if (!s.isEmpty())
            m_canvas->PlaceText(std::round(edge - m_canvas->MeasureText(s)), y, s);
    }
    void centred(double y, const QString &s)
    {
        m_canvas->PlaceText(std::round((W() - m_canvas->MeasureText(s)) / 2), y, s);
    }
    // A 1-point black border: a black rectangle, then a white one a point smaller on each side.
    void frame(double x, double y, double w, double h)
    {
        m_canvas->AddRectangle(x, y, w, h);
        m_canvas->FillPath();
        m_canvas->SetFillRGB(0xFFFFFF);
        const double inward = h < 0 ? -1 : 1;
        m_canvas->AddRectangle(x + 1, y + inward, w - 2, h - 2 * inward);
        m_canvas->FillPath();
        m_canvas->SetFillRGB(0);
    }
    void newPage()
    {
        m_doc.AddPage();
        m_canvas = m_doc.GetCanvas();
        footer();
    }
    // The footer lines, small and centred at the foot of the page.
    void setFooter(const QStringList &texts)
    {
        m_footer.clear();
        if (texts.isEmpty())
            return;
        m_canvas->SelectFont(QStringLiteral("Arial"), 7);
        m_footer = DocumentDrawer::wrap(texts, W() - 60, [this](const QString &s) { return m_canvas->MeasureText(s); });
        m_canvas->SelectFont(QStringLiteral("Arial"), 10);
    }
    void footer()
    {
        if (m_footer.isEmpty())
            return;
        m_canvas->SelectFont(QStringLiteral("Arial"), 7);
        double y = 12 + 8 * (m_footer.size() - 1);
        for (const QString &line : m_footer) {
            centred(y, line);
            y -= 8;
        }
        m_canvas->SelectFont(QStringLiteral("Arial"), 10);
    }
    int footerLines() const { return int(m_footer.size()); }
    TPdfCanvas *canvas() { return m_canvas; }

private:
    TPdfDoc &m_doc;
    TPdfCanvas *m_canvas;
    QStringList m_footer;
};

constexpr double kX = 30;
constexpr double kL = 15;
// Lowest baseline of a table or comment row: the totals block reaches y = 119.
constexpr double kPdfBottom = 130;
// Top of a continuation page.
constexpr double kPdfTop = 40;

void pdfTableHeader(PdfPage &p, double d)
{
    const double W = p.W(), H = p.H();
    p.frame(28, H - d - 9, W - 52, 25);
    p.text(kX, H - d, QStringLiteral("Prestation"));
    p.right(W - 260, H - d, QStringLiteral("Prix unitaire (HT)"));
    p.right(W - 180, H - d, QStringLiteral("Taux TVA"));
    p.right(W - 120, H - d, QStringLiteral("Nb"));
    p.right(W - 30, H - d, QStringLiteral("Total (HT)"));
}

void pdfRow(PdfPage &p, double d, const DocumentDrawer::Row &row)
{
    const double W = p.W(), y = p.H() - d;
    p.text(kX, y, row.libelle);
    p.right(W - 260, y, row.unitaire);
    p.right(W - 180, y, row.taux);
    p.right(W - 120, y, row.nb);
    p.right(W - 30, y, row.total);
}

} // namespace

void DocumentDrawer::drawPdf(const Content &c, TPdfDoc &doc)
{
    const bool quote = c.kind == DocumentStore::Kind::Devis;
    const Texts t = texts(c);
    doc.NewDocument();
    doc.AddPage();
    PdfPage p(doc);
    const double W = p.W(), H = p.H();
    const int n = c.hotel.n;
    p.setFooter(t.pied);
    p.footer();
    // The bottom blocks go up by what a tall footer needs (its top line is at
    // 12 + 8 per further line, the lowest block's baseline at `lowest`).
    const double lowest = !t.net ? (t.acompte.isEmpty() ? 59 : 30) : 50;
    const double up = std::max(0.0, 12 + 8.0 * (p.footerLines() - 1) + 10 - lowest);
    // The tax lines beside the totals go from y = 100 down, higher when more
    // than three; table rows stay above them.
    const int taxLines = int(t.tvaParTaux.size());
    const double taxTop = std::max(100.0, 70.0 + kL * (taxLines - 1)) + up;
    const double bottom = std::max(kPdfBottom + up, taxTop + 30);

    p.frame(19, H - 19, 249, -(15 * n + 10));

    if (!c.logoBytes.isEmpty()) {
        try {
            const TPdfImage *image =
                doc.AddImage(QStringLiteral("image1"), QStringLiteral("Pdf-Jpeg"), asJpeg(c.logoBytes));
            if (image->Width() > 0)
                p.canvas()->DrawXObject(W - 120, H - 80, 90, 90.0 * image->Height() / image->Width(),
                                        QStringLiteral("image1"));
        } catch (const PdfError &) {
            // Not a picture the writer can embed: the document goes without the logo.
        }
    }

    double d = 30;
    if (!c.hotel.nom.isEmpty()) {
        p.text(kX, H - 30, c.hotel.nom);
        d = 45;
    }
    for (int i = 0; i < c.hotel.lignes.size(); ++i) {
        p.text(kX, H - d, c.hotel.lignes.at(i));
        if (!(c.hotel.tvaLast && i == c.hotel.lignes.size() - 1))
            d += kL;
    }

    p.frame(321, H - d, 252, -120);
    d += 20;

    if (c.record.found) {
        for (int i = 0; i < t.adresse.size(); ++i) {
            if (i > 0)
                d += kL;
            p.text(330, H - d, t.adresse.at(i));
        }
        d += 3 * kL;
        p.text(kX, H - d, t.date);
        d += kL;
        if (!quote)
            p.text(kX, H - d, t.mode);
        d += kL;
        if (!t.sejour.isEmpty())
            p.text(kX, H - d, t.sejour);
    }

    p.centred(H - d - 3 * kL, t.titre);

    // Rows go down the page; one that would reach the totals starts a new page.
    auto roomFor = [&](double &dd, bool table) {
        if (H - dd >= bottom)
            return;
        p.newPage();
        dd = kPdfTop;
        if (table) {
            pdfTableHeader(p, dd);
            dd += 3 * kL;
        }
    };

    if (!t.lignes.isEmpty()) {
        d += 3 * kL + 3 * kL + kL;
        pdfTableHeader(p, d);
        d += 3 * kL;
        for (const Row &row : t.lignes) {
            roomFor(d, true);
            pdfRow(p, d, row);
            d += kL;
        }
        if (t.remise) {
            roomFor(d, true);
            pdfRow(p, d, t.ligneRemise);
            if (quote)
                d += kL;
        }
    }
    if (quote) {
        d += kL;
        if (!t.commentaires.isEmpty()) {
            double y = H - d - 2 * kL;
            auto line = [&](const QString &s) {
                if (y < bottom) {
                    p.newPage();
                    y = H - kPdfTop;
                }
                p.text(kX, y, s);
                y -= kL;
            };
            line(QStringLiteral("Commentaires :"));
            for (const QString &s : t.commentaires)
                line(s);
        }
    }

    if (!t.net) {
        p.frame(374, 59 + up, 201, 60);
        p.text(380, 100 + up, QStringLiteral("Total HT  : "));
        p.right(W - 30, 100 + up, t.ht);
        p.text(380, 85 + up, QStringLiteral("Total TVA : "));
        p.right(W - 30, 85 + up, t.tva);
        p.text(380, 70 + up, QStringLiteral("Total TTC : "));
        p.right(W - 30, 70 + up, t.ttc);
        for (int i = 0; i < taxLines; ++i)
            p.text(kX, taxTop - kL * i, t.tvaParTaux.at(i));
        if (!t.acompte.isEmpty()) {
            p.text(380, 44 + up, QStringLiteral("Acompte : "));
            p.right(W - 30, 44 + up, t.acompte);
            p.text(380, 30 + up, QStringLiteral("Reste à payer : "));
            p.right(W - 30, 30 + up, t.reste);
        }
    } else {
        p.frame(374, 89 + up, 201, 30);
        p.text(380, 100 + up, QStringLiteral("Total Net : "));
        p.right(W - 50, 100 + up, t.ttc);
        if (!t.acompte.isEmpty()) {
            p.text(380, 74 + up, QStringLiteral("Acompte : "));
            p.right(W - 50, 74 + up, t.acompte);
            p.text(380, 60 + up, QStringLiteral("Reste à payer : "));
            p.right(W - 50, 60 + up, t.reste);
        }
        p.canvas()->SelectFont(QStringLiteral("Times-Roman"), 6);
        p.centred(50 + up, exemptionNotice());
    }
}

QByteArray DocumentDrawer::pdf(const Content &content)
{
    TPdfDoc doc;
    drawPdf(content, doc);
    QByteArray out;
    doc.SaveToStream(out);
    return out;
}

// ---- Paper: 600-dpi device units, origin top left, texts by their top left --

namespace {

class PaperPage
{
public:
    PaperPage(QPainter &painter, const PrintScale &scale, const std::function<bool()> &newPage)
        : m_painter(painter), m_scale(scale), m_newPage(newPage)
    {
        setFontSize(12);
        QPen pen(Qt::black);
        pen.setWidthF(3);
        m_painter.setPen(pen);
        m_painter.setBrush(Qt::NoBrush);
    }
    double P() const { return m_scale.pageWidth(); }
    double Q() const { return m_scale.pageHeight(); }
    void setFontSize(double points)
    {
        m_painter.setFont(PrintScale::font(kFontFamily, points));
        m_metrics = QFontMetricsF(m_painter.font());
    }
    double width(const QString &s) const { return m_metrics.horizontalAdvance(s); }
    void text(double x, double y, const QString &s)
    {
        m_painter.drawText(QPointF(x, y + m_metrics.ascent()), s);
    }
    void right(double edge, double y, const QString &s)
    {
        if (!s.isEmpty())
            text(std::round(edge - width(s)), y, s);
    }
    // A rectangle given by two corners, as the canvas draws them.
    void rect(double left, double top, double right, double bottom)
    {
        m_painter.drawRect(QRectF(QPointF(left, top), QPointF(right, bottom)));
    }
    void image(double x, double y, const QImage &img)
    {
        m_painter.drawImage(QRectF(x, y, img.width(), img.height()), img);
    }
    bool newPage()
    {
        if (!(m_newPage && m_newPage()))
            return false;
        footer();
        return true;
    }
    // Footer lines in 7 points, centred, the last one ending at the page's foot.
    void setFooter(const QStringList &texts)
    {
        m_footer.clear();
        if (texts.isEmpty())
            return;
        setFontSize(7);
        m_footer = DocumentDrawer::wrap(texts, P() - 200, [this](const QString &s) { return width(s); });
        setFontSize(12);
    }
    double footerHeight() const { return m_footer.isEmpty() ? 0 : 65.0 * m_footer.size(); }
    void footer()
    {
        if (m_footer.isEmpty())
            return;
        setFontSize(7);
        double y = Q() - footerHeight();
        for (const QString &line : m_footer) {
            text(std::round((P() - width(line)) / 2), y, line);
            y += 65;
        }
        setFontSize(12);
    }

private:
    QPainter &m_painter;
    const PrintScale &m_scale;
    std::function<bool()> m_newPage;
    QFontMetricsF m_metrics{QFont()};
    QStringList m_footer;
};

constexpr double kPX = 100;
constexpr double kPL = 140;
constexpr double kPaperTop = 300;

void paperTableHeader(PaperPage &p, double &y)
{
    // y is where the band goes; the header cells and texts one line lower.
    p.rect(50, y - 25, 4900, y + 2);
    y += kPL;
    p.rect(50, y - 25, 2100, y + 165);
    p.rect(2100, y - 25, 3000, y + 165);
    p.rect(3000, y - 25, 3600, y + 165);
    p.rect(3600, y - 25, 4200, y + 165);
    p.rect(4200, y - 25, 4900, y + 165);
    p.text(kPX, y, QStringLiteral("Prestation"));
    p.right(p.P() - 2000, y, QStringLiteral("Prix unitaire (HT)"));
    p.right(p.P() - 1400, y, QStringLiteral("Taux TVA"));
    p.right(p.P() - 800, y, QStringLiteral("Nb"));
    p.right(p.P() - 100, y, QStringLiteral("Total (HT)"));
}

void paperRow(PaperPage &p, double y, const DocumentDrawer::Row &row)
{
    p.text(kPX, y, row.libelle);
    p.right(p.P() - 2000, y, row.unitaire);
    p.right(p.P() - 1400, y, row.taux);
    p.right(p.P() - 800, y, row.nb);
    p.right(p.P() - 100, y, row.total);
}

} // namespace

void DocumentDrawer::drawPaper(const Content &c, QPainter &painter, const PrintScale &scale,
                               const std::function<bool()> &newPage)
{
    const bool quote = c.kind == DocumentStore::Kind::Devis;
    const Texts t = texts(c);
    PaperPage p(painter, scale, newPage);
    const double P = p.P(), Q = p.Q();
    const int n = c.hotel.n;
    p.setFooter(t.pied);
    p.footer();
    // The bottom blocks go up as far as a tall footer needs (three lines).
    const double B = Q - std::max(0.0, p.footerHeight() + 20 - 180);
    // The tax lines go at the left of the totals from B - 600 down, higher when
    // more than three; a deposit adds two lines above the totals.
    const int taxLines = int(t.tvaParTaux.size());
    const double taxTop = std::min(B - 600, B - 320 - kPL * (taxLines - 1));
    const bool deposit = !t.acompte.isEmpty();
    const double totalsTop = (deposit && !t.net ? B - 650 - 2 * kPL : B - 650);

    p.rect(50, 250, 2600, 300 + kPL * n);

    if (!c.logoBytes.isEmpty()) {
        const QImage logo = QImage::fromData(c.logoBytes);
        if (!logo.isNull())
            p.image(P - logo.width() - 100, 100, logo);
    }

    double y = 300;
    QStringList block = c.hotel.lignes;
    if (!c.hotel.nom.isEmpty())
        block.prepend(c.hotel.nom);
    for (int i = 0; i < block.size(); ++i) {
        p.text(kPX, y, block.at(i));
        if (!(c.hotel.tvaLast && i == block.size() - 1))
            y += kPL;
    }

    y -= 100;
    p.rect(2950, y - 50, 4700, y + 840);
    if (c.record.found) {
        for (int i = 0; i < t.adresse.size(); ++i) {
            if (i > 0)
                y += kPL;
            p.text(3000, y, t.adresse.at(i));
        }
        y += 3 * kPL;
        p.text(kPX, y, t.date);
        if (!quote) {
            y += kPL;
            p.text(kPX, y, t.mode);
        }
        y += kPL;
        if (!t.sejour.isEmpty())
            p.text(kPX, y, t.sejour);
    }

    y += 3 * kPL;
    p.text(std::round((P - p.width(t.titre)) / 2) - 100, y, t.titre);

    // A row must end above the totals block (its top is B - 650); one that
    // would not starts a new page, whose table gets its header again.
    const double lowest = std::min(totalsTop, taxTop - 50) - 25 - kPL;
    auto roomFor = [&](double &yy, bool table) {
        if (yy <= lowest || !p.newPage())
            return;
        yy = kPaperTop;
        if (table) {
            paperTableHeader(p, yy);
            yy += 3 * kPL;
        }
    };

    if (!t.lignes.isEmpty()) {
        y += 3 * kPL;
        paperTableHeader(p, y);
        y += 3 * kPL;
        for (const Row &row : t.lignes) {
            roomFor(y, true);
            paperRow(p, y, row);
            y += kPL;
        }
        if (t.remise) {
            roomFor(y, true);
            paperRow(p, y, t.ligneRemise);
            y += kPL;
        }
        y += kPL;
        p.rect(50, y - 25, 4900, y + 2);
    }
    if (quote && !t.commentaires.isEmpty()) {
        y += 2 * kPL;
        auto line = [&](const QString &s) {
            roomFor(y, false);
            p.text(kPX, y, s);
            y += kPL;
        };
        line(QStringLiteral("Commentaires :"));
        for (const QString &s : t.commentaires)
            line(s);
    }

    if (!t.net) {
        // With a deposit the block grows upwards by its two lines.
        const double up = deposit ? 2 * kPL : 0;
        p.rect(3250, B - 650 - up, 4900, B - 180);
        p.text(3300, B - 600 - up, QStringLiteral("Total HT  : "));
        p.right(P - 100, B - 600 - up, t.ht);
        p.text(3300, B - 460 - up, QStringLiteral("Total TVA : "));
        p.right(P - 100, B - 460 - up, t.tva);
        p.text(3300, B - 320 - up, QStringLiteral("Total TTC : "));
        p.right(P - 100, B - 320 - up, t.ttc);
        if (deposit) {
            p.text(3300, B - 460, QStringLiteral("Acompte : "));
            p.right(P - 100, B - 460, t.acompte);
            p.text(3300, B - 320, QStringLiteral("Reste à payer : "));
            p.right(P - 100, B - 320, t.reste);
        }
        for (int i = 0; i < taxLines; ++i)
            p.text(kPX, taxTop + kPL * i, t.tvaParTaux.at(i));
    } else {
        p.text(1800, B - 600, QStringLiteral("Total Net : "));
        p.right(P - 100, B - 600, t.ttc);
        if (deposit) {
            p.text(1800, B - 460, QStringLiteral("Acompte : "));
            p.right(P - 100, B - 460, t.acompte);
            p.text(1800, B - 320, QStringLiteral("Reste à payer : "));
            p.right(P - 100, B - 320, t.reste);
        }
        // In 6 points the notice is wider than the page on paper: it is made
        // smaller until it fits between the margins.
        double size = 6;
        p.setFontSize(size);
        while (p.width(exemptionNotice()) > P - 200 && size > 3) {
            size -= 0.25;
            p.setFontSize(size);
        }
        p.text(std::round((P - p.width(exemptionNotice())) / 2), Q - 100 - p.footerHeight(), exemptionNotice());
    }
}

QString DocumentDrawer::exemptionNotice()
{
    return QStringLiteral(
        "Dispensé d'immatriculation en application de l'article L123-1-1 du code de commerce ou en "
        "application du V de l'article 19 de la loi n° 96-603 du 5 juillet 1996 relative au "
        "développement du commerce et de l'artisanat.");
}

QStringList DocumentDrawer::wrap(const QStringList &texts, double width,
                                 const std::function<double(const QString &)> &measure)
{
    QStringList lines;
    for (const QString &text : texts) {
        QString line;
        for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && measure(longer) > width) {
                lines << line;
                line = word;
            } else {
                line = longer;
            }
        }
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}
