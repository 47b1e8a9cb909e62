#include "pdf/pdf_doc.h"

#include "pdf/pdf_encoding.h"
#include "pdf/pdf_error.h"
#include "pdf/pdf_font.h"
#include "pdf/pdf_image.h"
#include "pdf/pdf_objects.h"
#include "pdf/pdf_xref.h"

#include <QIODevice>
#include <QSaveFile>
#include <QTimeZone>

namespace {

const char kProducer[] = "KestrovaPdf version 0.9";

// The creation date; SOURCE_DATE_EPOCH (seconds since 1970, the reproducible
// builds' convention) fixes it, so that the same document can be written again
// byte for byte, for instance to check that an invoice still prints the same.
std::unique_ptr<TPdfText> now()
{
    QDateTime when = QDateTime::currentDateTime();
    bool fixed = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&fixed);
    if (fixed)
        when = QDateTime::fromSecsSinceEpoch(epoch, QTimeZone::utc());
    return std::make_unique<TPdfText>(QString::fromLatin1(PdfEncoding::date(when)));
}

} // namespace

struct TPdfDoc::Document
{
    TPdfXref xref;
    TPdfDictionary trailer;
    TPdfDictionary *catalog = nullptr;
    TPdfDictionary *info = nullptr;
    TPdfDictionary *pages = nullptr;
    std::vector<TPdfFont *> fonts;
    TPdfArray xobjects;
};

TPdfDoc::TPdfDoc() : m_canvas(this) {}

TPdfDoc::~TPdfDoc() = default;

TPdfDoc::Document &TPdfDoc::RequireDoc(const char *message) const
{
    if (!m_doc)
        throw PdfError(QString::fromLatin1(message));
    return *m_doc;
}

void TPdfDoc::NewDocument()
{
    auto doc = std::make_unique<Document>();
    doc->trailer.AddNumberItem("Size", 0);

    doc->catalog = doc->xref.AddObject(std::make_unique<TPdfDictionary>());
    doc->catalog->AddNameItem("Type", "Catalog");
    doc->trailer.AddItem("Root", doc->catalog);

    doc->info = doc->xref.AddObject(std::make_unique<TPdfDictionary>());
    doc->info->AddTextItem("Producer", QString::fromLatin1(kProducer));
    doc->info->AddItem("CreationDate", now());
    doc->trailer.AddItem("Info", doc->info);

    doc->pages = doc->xref.AddObject(std::make_unique<TPdfDictionary>());
    doc->pages->AddNameItem("Type", "Pages");
    doc->pages->AddItem("Kids", std::make_unique<TPdfArray>());
    doc->pages->AddNumberItem("Count", 0);
    doc->catalog->AddItem("Pages", doc->pages);

    m_canvas.Reset();
    m_doc = std::move(doc);
}

void TPdfDoc::FreeDoc()
{
    m_canvas.Reset();
    m_doc.reset();
}

TPdfDictionary *TPdfDoc::AddPage()
{
    Document &doc = RequireDoc("AddPage --current pages null.");

    auto *page = doc.xref.AddObject(std::make_unique<TPdfDictionary>());
    auto *kids = doc.pages->ValueAs<TPdfArray>("Kids");
    kids->AddItem(page);
    doc.pages->ValueAs<TPdfNumber>("Count")->SetValue(kids->ItemCount());

    page->AddNameItem("Type", "Page");
    page->AddItem("Parent", doc.pages);
    auto mediaBox = std::make_unique<TPdfArray>();
    mediaBox->AddItem(std::make_unique<TPdfNumber>(0));
    mediaBox->AddItem(std::make_unique<TPdfNumber>(0));
    mediaBox->AddItem(std::make_unique<TPdfReal>(kDefaultPageWidth));
    mediaBox->AddItem(std::make_unique<TPdfReal>(kDefaultPageHeight));
    page->AddItem("MediaBox", std::move(mediaBox));

    auto resources = std::make_unique<TPdfDictionary>();
    resources->AddItem("Font", std::make_unique<TPdfDictionary>());
    resources->AddItem("XObject", std::make_unique<TPdfDictionary>());
    auto procSet = std::make_unique<TPdfArray>();
    for (const char *name : {"PDF", "Text", "ImageC"})
        procSet->AddItem(std::make_unique<TPdfName>(name));
    resources->AddItem("ProcSet", std::move(procSet));
    page->AddItem("Resources", std::move(resources));

    auto *contents = doc.xref.AddObject(std::make_unique<TPdfStream>());
    // Room for a full page of text, so that drawing seldom reallocates.
    contents->Data().reserve(8192);
    page->AddItem("Contents", contents);

    m_canvas.SetPage(page);
    return page;
}

int TPdfDoc::PageCount() const
{
    return m_doc ? m_doc->pages->ValueAs<TPdfArray>("Kids")->ItemCount() : 0;
}

TPdfDictionary *TPdfDoc::Page(int index) const
{
    if (index < 0 || index >= PageCount())
        return nullptr;
    return dynamic_cast<TPdfDictionary *>(PdfResolve(m_doc->pages->ValueAs<TPdfArray>("Kids")->Item(index)));
}

TPdfCanvas *TPdfDoc::GetCanvas()
{
    RequireDoc("GetCanvas --Document is null");
    return &m_canvas;
}

TPdfFont *TPdfDoc::GetFont(const QString &name)
{
    Document &doc = RequireDoc("GetFont --document is null.");
    for (TPdfFont *font : doc.fonts) {
        if (font->RegisteredName() == name)
            return font;
    }
    return CreateFont(name);
}

TPdfFont *TPdfDoc::CreateFont(const QString &name)
{
    Document &doc = *m_doc;
    // Built before it is registered, so that an unknown name changes nothing.
    auto font = std::make_unique<TPdfFont>(name, int(doc.fonts.size()));
    TPdfFont *added = doc.xref.AddObject(std::move(font));
    doc.fonts.push_back(added);
    return added;
}

TPdfStream *TPdfDoc::FindXObject(const QString &name) const
{
    if (!m_doc)
        return nullptr;
    const QByteArray key = name.toUtf8();
    for (int i = 0; i < m_doc->xobjects.ItemCount(); ++i) {
        auto *image = static_cast<TPdfStream *>(PdfResolve(m_doc->xobjects.Item(i)));
        if (image->Attributes().NameValue("Name") == key)
            return image;
    }
    return nullptr;
}

TPdfStream *TPdfDoc::AddImage(const QString &name, std::unique_ptr<TPdfObject> image)
{
    RequireDoc("AddImage --document is null.");
    if (FindXObject(name))
        throw PdfError(QStringLiteral("AddImage --the image named %1 is already exists..").arg(name));
    auto *stream = dynamic_cast<TPdfStream *>(image.get());
    if (!stream || stream->ObjectType() != TPdfObjectType::Direct ||
        stream->Attributes().NameValue("Type") != "XObject" ||
        stream->Attributes().NameValue("Subtype") != "Image")
        throw PdfError(QStringLiteral("AddImage --the image is not valid TPdfImage.."));
    image.release();
    m_doc->xref.AddObject(std::unique_ptr<TPdfStream>(stream));
    RegisterXObject(stream, name);
    return stream;
}

TPdfImage *TPdfDoc::AddImage(const QString &name, const QString &imageKind, const QByteArray &data)
{
    RequireDoc("AddImage --document is null.");
    if (FindXObject(name))
        throw PdfError(QStringLiteral("AddImage --the image named %1 is already exists..").arg(name));
    std::unique_ptr<TPdfImage> image = TPdfImage::Create(imageKind, data);
    TPdfImage *added = image.get();
    AddImage(name, std::move(image));
    return added;
}

void TPdfDoc::RegisterXObject(TPdfStream *image, const QString &name)
{
    image->Attributes().AddNameItem("Name", name.toUtf8());
    m_doc->xobjects.AddItem(image);
}

void TPdfDoc::SaveToStream(QByteArray &out)
{
    if (!m_doc || PageCount() == 0)
        throw PdfError(QStringLiteral("SaveToStream --there is no document to save."));
    Document &doc = *m_doc;
    doc.info->AddItem("ModDate", now());

    qsizetype expected = 2048;
    for (int i = 1; i < doc.xref.ItemCount(); ++i) {
        if (auto *stream = dynamic_cast<TPdfStream *>(doc.xref.GetObject(i)))
            expected += stream->Data().size() + 160;
        else
            expected += 200;
    }
    out.clear();
    out.reserve(expected);

    out.append("%PDF-1.2 \r\n", 11);
    doc.xref.WriteObjects(out);
    const qsizetype tableOffset = out.size();
    doc.xref.WriteTable(out);
    doc.trailer.ValueAs<TPdfNumber>("Size")->SetValue(doc.xref.ItemCount());
    out.append("trailer\r\n", 9);
    doc.trailer.WriteValueToStream(out);
    out.append("\r\nstartxref\r\n", 13);
    PdfEncoding::appendInteger(out, tableOffset);
    out.append("\r\n%%EOF\r\n", 9);
}

void TPdfDoc::SaveToStream(QIODevice &device)
{
    QByteArray bytes;
    SaveToStream(bytes);
    if (!device.isSequential() && !device.seek(0))
        throw KestrovaError(
            QStringLiteral("Impossible d'écrire le document PDF : %1").arg(device.errorString()));
    if (device.write(bytes) != bytes.size())
        throw KestrovaError(
            QStringLiteral("Impossible d'écrire le document PDF : %1").arg(device.errorString()));
}

void TPdfDoc::SaveToFile(const QString &path)
{
    QByteArray bytes;
    SaveToStream(bytes);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw KestrovaError(
            QStringLiteral("Impossible d'écrire le fichier %1 : %2").arg(path, file.errorString()));
}

TPdfXref *TPdfDoc::Xref() const
{
    return m_doc ? &m_doc->xref : nullptr;
}

TPdfDictionary *TPdfDoc::Trailer() const
{
    return m_doc ? &m_doc->trailer : nullptr;
}

TPdfDictionary *TPdfDoc::Catalog() const
{
    return m_doc ? m_doc->catalog : nullptr;
}

TPdfDictionary *TPdfDoc::Info() const
{
    return m_doc ? m_doc->info : nullptr;
}

TPdfDictionary *TPdfDoc::Root() const
{
    return m_doc ? m_doc->pages : nullptr;
}
