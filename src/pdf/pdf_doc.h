#pragma once

#include "pdf/pdf_canvas.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QIODevice;
class TPdfArray;
class TPdfDictionary;
class TPdfFont;
class TPdfImage;
class TPdfObject;
class TPdfStream;
class TPdfXref;

// An in-memory PDF 1.2 document of text, filled rectangles and JPEG pictures in the
// standard fonts, written in one pass with its cross-reference table.
//
//     TPdfDoc doc;
//     doc.NewDocument();
//     doc.AddPage();
//     TPdfCanvas *canvas = doc.GetCanvas();
//     canvas->PlaceText(30, canvas->GetPageHeight() - 30, QStringLiteral("Hôtel"));
//     doc.SaveToFile(path);
//
// Misuse raises PdfError with the operation's message and leaves the document as it
// was before the call.
// What a PDF/A-3b document adds (an archive format): embedded fonts, an sRGB
// output intent, XMP metadata, a file identifier, PDF 1.7.
struct PdfAProfile
{
    QString title;         // dc:title and the information's Title
    QString author;        // dc:creator and Author; left out when empty
    QByteArray iccProfile; // the sRGB profile of the output intent
    // Further rdf:Description elements for the XMP packet (an extension schema).
    QByteArray extraRdf;
    // Folders searched for the TrueType files that stand in for the standard fonts.
    QStringList fontDirectories;
};

class TPdfDoc
{
public:
    static constexpr double kDefaultPageWidth = 596;
    static constexpr double kDefaultPageHeight = 842;

    TPdfDoc();
    ~TPdfDoc();
    TPdfDoc(const TPdfDoc &) = delete;
    TPdfDoc &operator=(const TPdfDoc &) = delete;

    // Discards any open document and opens an empty one (catalog, information, pages).
    void NewDocument();
    // Documents opened from now on are PDF/A-3b (nullopt: plain PDF 1.2 again).
    // Fonts are then embedded subsets; a font file that cannot be found throws
    // PdfError naming it.
    void SetPdfA(std::optional<PdfAProfile> profile);
    bool IsPdfA() const { return m_pdfa.has_value(); }
    // Attaches a file to the open document as an associated file of the
    // document (/AF) and in its list of embedded files. `relationship` is an
    // AFRelationship name (Data, Alternative, Source...).
    void AttachFile(const QString &fileName, const QByteArray &mimeType, const QByteArray &bytes,
                    const QByteArray &relationship, const QString &description);
    // Discards the open document, if any.
    void FreeDoc();
    bool HasDoc() const { return m_doc != nullptr; }

    // Appends a page of the default size and makes it the canvas's page.
    TPdfDictionary *AddPage();
    int PageCount() const;
    TPdfDictionary *Page(int index) const;

    // The canvas stays the same object for the life of this TPdfDoc.
    TPdfCanvas *GetCanvas();
    // The font of a registered name, created at its first use.
    TPdfFont *GetFont(const QString &name);

    // Registers an image stream (Type /XObject, Subtype /Image) under a name unique
    // in the document; the document takes it over.
    TPdfStream *AddImage(const QString &name, std::unique_ptr<TPdfObject> image);
    // Builds an image of a registered kind ("Pdf-Jpeg") from a file's bytes and
    // registers it.
    TPdfImage *AddImage(const QString &name, const QString &imageKind, const QByteArray &data);
    // The image registered under the name, or null.
    TPdfStream *FindXObject(const QString &name) const;

    // Replaces the contents of `out` with the PDF file.
    void SaveToStream(QByteArray &out);
    // Writes the PDF file to the device, from its start when it is not sequential.
    void SaveToStream(QIODevice &device);
    // Writes the file, replacing an earlier one only once the new one is complete.
    void SaveToFile(const QString &path);

    // The document's parts, for tests and for callers that add their own objects.
    TPdfXref *Xref() const;
    TPdfDictionary *Trailer() const;
    TPdfDictionary *Catalog() const;
    TPdfDictionary *Info() const;
    TPdfDictionary *Root() const;

private:
    struct Document;
    TPdfFont *CreateFont(const QString &name);
    void RegisterXObject(TPdfStream *image, const QString &name);
    Document &RequireDoc(const char *message) const;
    void FinishPdfA(Document &doc);

    std::unique_ptr<Document> m_doc;
    std::optional<PdfAProfile> m_pdfa;
    TPdfCanvas m_canvas;
};
