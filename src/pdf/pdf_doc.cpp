#include "pdf/pdf_doc.h"

#include "pdf/pdf_encoding.h"
#include "pdf/pdf_error.h"
#include "pdf/pdf_font.h"
#include "pdf/pdf_image.h"
#include "pdf/pdf_objects.h"
#include "pdf/pdf_truetype.h"
#include "pdf/pdf_xref.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QMutex>
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

// A date with its offset from UTC, as PDF/A wants the information dates to
// match those of the XMP packet: D:20261209061500+01'00'.
QByteArray pdfDateWithZone(const QDateTime &time)
{
    QByteArray out = PdfEncoding::date(time);
    const int offset = time.offsetFromUtc() / 60;
    if (offset == 0)
        return out + 'Z';
    out += offset < 0 ? '-' : '+';
    const int a = std::abs(offset);
    out += QByteArray::number(a / 60).rightJustified(2, '0') + '\'' +
           QByteArray::number(a % 60).rightJustified(2, '0') + '\'';
    return out;
}

QByteArray xmpDate(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate).toUtf8();
}

QByteArray xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
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
    // PDF/A only.
    QDateTime created;
    TPdfStream *metadata = nullptr;
    TPdfArray *associatedFiles = nullptr;
    TPdfArray *embeddedFiles = nullptr;
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

    if (m_pdfa) {
        doc->created = QDateTime::currentDateTime();
        doc->info->AddItem("CreationDate",
                           std::make_unique<TPdfText>(QString::fromLatin1(pdfDateWithZone(doc->created))));
        doc->info->AddTextItem("Title", m_pdfa->title);
        if (!m_pdfa->author.isEmpty())
            doc->info->AddTextItem("Author", m_pdfa->author);

        doc->metadata = doc->xref.AddObject(std::make_unique<TPdfStream>());
        doc->metadata->Attributes().RemoveItem("Filter");
        doc->metadata->Attributes().AddNameItem("Type", "Metadata");
        doc->metadata->Attributes().AddNameItem("Subtype", "XML");
        doc->catalog->AddItem("Metadata", doc->metadata);

        auto *icc = doc->xref.AddObject(std::make_unique<TPdfStream>());
        icc->Attributes().AddNumberItem("N", 3);
        icc->Attributes().ValueAs<TPdfArray>("Filter")->AddItem(std::make_unique<TPdfName>("FlateDecode"));
        {
            // The same profile for every document: compressed once.
            static QMutex mutex;
            static QByteArray source, compressed;
            QMutexLocker lock(&mutex);
            if (source != m_pdfa->iccProfile) {
                source = m_pdfa->iccProfile;
                compressed = PdfEncoding::flate(source);
            }
            icc->Data() = compressed;
        }
        auto intent = std::make_unique<TPdfDictionary>();
        intent->AddNameItem("Type", "OutputIntent");
        intent->AddNameItem("S", "GTS_PDFA1");
        intent->AddTextItem("OutputCondition", QStringLiteral("sRGB"));
        intent->AddTextItem("OutputConditionIdentifier", QStringLiteral("sRGB IEC61966-2.1"));
        intent->AddTextItem("RegistryName", QStringLiteral("http://www.color.org"));
        intent->AddTextItem("Info", QStringLiteral("sRGB IEC61966-2.1"));
        intent->AddItem("DestOutputProfile", icc);
        auto intents = std::make_unique<TPdfArray>();
        intents->AddItem(std::move(intent));
        doc->catalog->AddItem("OutputIntents", std::move(intents));
    }

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

void TPdfDoc::SetPdfA(std::optional<PdfAProfile> profile)
{
    m_pdfa = std::move(profile);
}

TPdfFont *TPdfDoc::CreateFont(const QString &name)
{
    Document &doc = *m_doc;
    if (m_pdfa) {
        QByteArray postScriptName;
        const QString file = TPdfFont::EmbeddedFileName(name, &postScriptName);
        if (file.isEmpty())
            throw PdfError(QStringLiteral("CreateFont --InvalidFontName:") + name);
        QString path;
        for (const QString &dir : m_pdfa->fontDirectories) {
            const QString candidate = QDir(dir).filePath(file);
            if (QFileInfo::exists(candidate)) {
                path = candidate;
                break;
            }
        }
        if (path.isEmpty())
            throw PdfError(QStringLiteral("CreateFont --font file not found: ") + file);
        std::shared_ptr<const TrueTypeFont> truetype = TrueTypeFont::load(path);
        auto font = std::make_unique<TPdfFont>(name, int(doc.fonts.size()), truetype, postScriptName, doc.xref);
        TPdfFont *added = doc.xref.AddObject(std::move(font));
        doc.fonts.push_back(added);
        return added;
    }
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
    if (m_pdfa)
        FinishPdfA(doc);
    else
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

    if (m_pdfa)
        // A comment of bytes above 127 tells transfer programs the file is binary.
        out.append("%PDF-1.7\r\n%\xE2\xE3\xCF\xD3\r\n");
    else
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

void TPdfDoc::AttachFile(const QString &fileName, const QByteArray &mimeType, const QByteArray &bytes,
                         const QByteArray &relationship, const QString &description)
{
    Document &doc = RequireDoc("AttachFile --document is null.");
    auto *file = doc.xref.AddObject(std::make_unique<TPdfStream>());
    file->Attributes().AddNameItem("Type", "EmbeddedFile");
    file->Attributes().AddNameItem("Subtype", mimeType);
    auto params = std::make_unique<TPdfDictionary>();
    params->AddNumberItem("Size", qint32(bytes.size()));
    params->AddItem("ModDate", std::make_unique<TPdfText>(
                                   QString::fromLatin1(pdfDateWithZone(QDateTime::currentDateTime()))));
    file->Attributes().AddItem("Params", std::move(params));
    file->Attributes().ValueAs<TPdfArray>("Filter")->AddItem(std::make_unique<TPdfName>("FlateDecode"));
    file->Data() = PdfEncoding::flate(bytes);

    auto *fileSpec = doc.xref.AddObject(std::make_unique<TPdfDictionary>());
    fileSpec->AddNameItem("Type", "Filespec");
    fileSpec->AddTextItem("F", fileName);
    fileSpec->AddTextItem("UF", fileName);
    fileSpec->AddTextItem("Desc", description);
    fileSpec->AddNameItem("AFRelationship", relationship);
    auto ef = std::make_unique<TPdfDictionary>();
    ef->AddItem("F", file);
    ef->AddItem("UF", file);
    fileSpec->AddItem("EF", std::move(ef));

    if (!doc.associatedFiles) {
        doc.catalog->AddItem("AF", std::make_unique<TPdfArray>());
        doc.associatedFiles = doc.catalog->ValueAs<TPdfArray>("AF");
        auto names = std::make_unique<TPdfDictionary>();
        auto embedded = std::make_unique<TPdfDictionary>();
        embedded->AddItem("Names", std::make_unique<TPdfArray>());
        names->AddItem("EmbeddedFiles", std::move(embedded));
        doc.catalog->AddItem("Names", std::move(names));
        doc.embeddedFiles = doc.catalog->ValueAs<TPdfDictionary>("Names")
                                ->ValueAs<TPdfDictionary>("EmbeddedFiles")
                                ->ValueAs<TPdfArray>("Names");
    }
    doc.associatedFiles->AddItem(fileSpec);
    doc.embeddedFiles->AddItem(std::make_unique<TPdfText>(fileName));
    doc.embeddedFiles->AddItem(fileSpec);
}

void TPdfDoc::FinishPdfA(Document &doc)
{
    for (TPdfFont *font : doc.fonts)
        font->Embed();
    const QDateTime modified = QDateTime::currentDateTime();
    doc.info->AddItem("ModDate", std::make_unique<TPdfText>(QString::fromLatin1(pdfDateWithZone(modified))));

    QByteArray x;
    x += "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
         "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
         "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
         "<rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">\n"
         "<pdfaid:part>3</pdfaid:part>\n<pdfaid:conformance>B</pdfaid:conformance>\n</rdf:Description>\n"
         "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
         "<dc:format>application/pdf</dc:format>\n<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">";
    x += xmlEscaped(m_pdfa->title);
    x += "</rdf:li></rdf:Alt></dc:title>\n";
    if (!m_pdfa->author.isEmpty())
        x += "<dc:creator><rdf:Seq><rdf:li>" + xmlEscaped(m_pdfa->author) + "</rdf:li></rdf:Seq></dc:creator>\n";
    x += "</rdf:Description>\n"
         "<rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\">\n<pdf:Producer>";
    x += kProducer;
    x += "</pdf:Producer>\n</rdf:Description>\n"
         "<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n<xmp:CreateDate>";
    x += xmpDate(doc.created) + "</xmp:CreateDate>\n<xmp:ModifyDate>" + xmpDate(modified) +
         "</xmp:ModifyDate>\n</rdf:Description>\n";
    x += m_pdfa->extraRdf;
    x += "</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
    doc.metadata->Data() = x;

    // The identifier: a digest of what makes this document this one.
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(m_pdfa->title.toUtf8());
    hash.addData(xmpDate(modified));
    hash.addData(QByteArray::number(doc.xref.ItemCount()));
    QByteArray id;
    PdfEncoding::appendHex(id, hash.result());
    auto ids = std::make_unique<TPdfArray>();
    ids->AddItem(std::make_unique<TPdfBinary>(id));
    ids->AddItem(std::make_unique<TPdfBinary>(id));
    doc.trailer.AddItem("ID", std::move(ids));
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
