// Turns a manual written in HTML into a PDF: a title page with the program's icon, the
// manual's title and subtitle and the version; a table of contents from the h2 and h3
// headings with their page numbers; then the text, every page after the title numbered.
//
//   korvel_manualpdf manual.html manual.pdf icon.svg "Version 3.0.1.20" "Contents"
//                    [window.png=pictures/korvel-en@2x.png ...]
//
// Each name=file pair gives the picture that the manual's <img src="name"> shows. A file
// named ...@2x.png holds two pixels for each of the picture's own in either direction;
// it is placed at its own size (narrowed to the text if wider), so print gets the rest.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>

#include <cstdio>

namespace {

constexpr int Resolution = 300; // dots per inch of the PDF's page coordinates
constexpr double MarginMm = 22; // around the text on every page
constexpr double FooterMm = 10; // below the text, for the page number
constexpr char IconResource[] = "korvel-icon";
constexpr int HtmlDpi = 96; // what a pixel of the HTML measures: 1/96 inch

int mm(double millimetres)
{
    return int(millimetres / 25.4 * Resolution);
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

struct Heading {
    int level;
    QString text;
    int page = 0;
};

// The manual's title (its h1) and subtitle (the paragraph of class "subtitle"), taken out
// of the body for the title page.
struct TitleParts {
    QString title;
    QString subtitle;
    QString body;
};

TitleParts takeTitle(QString html)
{
    TitleParts parts;
    static const QRegularExpression h1(QStringLiteral("<h1[^>]*>(.*?)</h1>"),
                                       QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression subtitle(
        QStringLiteral("<p[^>]*class=\"subtitle\"[^>]*>(.*?)</p>"),
        QRegularExpression::DotMatchesEverythingOption);
    for (const auto &[pattern, target] :
         {std::pair(&h1, &parts.title), std::pair(&subtitle, &parts.subtitle)}) {
        const QRegularExpressionMatch match = pattern->match(html);
        if (match.hasMatch()) {
            *target = match.captured(1).trimmed();
            html.remove(match.capturedStart(), match.capturedLength());
        }
    }
    parts.body = html;
    return parts;
}

QString titlePage(const TitleParts &parts, const QString &version)
{
    return QStringLiteral("<p align=\"center\" style=\"margin-top: 700px\"><img src=\"%1\" "
                          "width=\"120\" height=\"120\"></p>"
                          "<p align=\"center\" style=\"font-size: 28pt; font-weight: bold; "
                          "margin-top: 40px\">%2</p>"
                          "<p align=\"center\" style=\"font-size: 15pt; margin-top: 12px\">%3</p>"
                          "<p align=\"center\" style=\"font-size: 11pt; margin-top: 40px; "
                          "color: #555555\">%4</p>")
        .arg(QLatin1String(IconResource), parts.title, parts.subtitle, escaped(version));
}

// The contents: one row per heading, its page number on the right. A page number is a
// placeholder until the layout tells where the heading falls.
QString contentsPage(const QString &caption, const QList<Heading> &headings)
{
    QString html = QStringLiteral("<h2 style=\"page-break-before: always\">%1</h2>"
                                  "<table width=\"100%\" cellpadding=\"3\" cellspacing=\"0\" "
                                  "style=\"page-break-after: always\">")
                       .arg(escaped(caption));
    for (const Heading &heading : headings) {
        const QString weight =
            heading.level == 2 ? QStringLiteral("bold") : QStringLiteral("normal");
        html += QStringLiteral("<tr><td style=\"padding-left: %1px; font-weight: %2\">%3</td>"
                               "<td align=\"right\" style=\"font-weight: %2\">%4</td></tr>")
                    .arg(heading.level == 2 ? 0 : 60)
                    .arg(weight, escaped(heading.text),
                         heading.page > 0 ? QString::number(heading.page) : QStringLiteral("00"));
    }
    return html + QStringLiteral("</table>");
}

QList<Heading> headingsOf(const QTextDocument &document)
{
    QList<Heading> headings;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 2 || level == 3)
            headings.append({level, block.text().trimmed()});
    }
    return headings;
}

// The page, counted from 1, on which each heading after the contents begins.
void findPages(QTextDocument &document, QList<Heading> &headings, double pageHeight)
{
    qsizetype next = 0;
    bool pastContents = false;
    auto *layout = document.documentLayout();
    for (QTextBlock block = document.begin(); block.isValid() && next < headings.size();
         block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level != 2 && level != 3)
            continue;
        if (!pastContents) { // the heading of the contents themselves
            pastContents = true;
            continue;
        }
        headings[next++].page = int(layout->blockBoundingRect(block).top() / pageHeight) + 1;
    }
}

// Makes each name=file picture a resource of the document and gives the manual's <img> of
// it the picture's own size in HTML pixels, narrowed to maxWidth, so that a picture with
// more pixels than that is drawn finer rather than larger. An unreadable picture, or one
// the manual never shows, is an error: the manual would silently lack it.
bool addPictures(QTextDocument &document, QString &html, const QStringList &pairs, double maxWidth)
{
    for (const QString &pair : pairs) {
        const qsizetype equals = pair.indexOf(u'=');
        const QString name = pair.left(equals);
        const QString reference = QStringLiteral("src=\"%1\"").arg(name);
        QImageReader reader(pair.mid(equals + 1)); // takes the ratio from an @2x name
        const QImage picture = reader.read();
        if (equals <= 0 || picture.isNull() || !html.contains(reference)) {
            std::fprintf(stderr, "cannot show picture %s: %s\n", qPrintable(pair),
                         picture.isNull() ? qPrintable(reader.errorString())
                                          : "the manual has no <img src=\"name\">");
            return false;
        }
        QSizeF size = picture.deviceIndependentSize();
        if (size.width() > maxWidth)
            size *= maxWidth / size.width();
        html.replace(reference, reference
                                    + QStringLiteral(" width=\"%1\" height=\"%2\"")
                                          .arg(qRound(size.width()))
                                          .arg(qRound(size.height())));
        document.addResource(QTextDocument::ImageResource, QUrl(name), picture);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 6) {
        std::fprintf(stderr,
                     "usage: %s manual.html manual.pdf icon.svg version contents "
                     "[name=picture.png ...]\n",
                     argv[0]);
        return 2;
    }
    const QStringList args = app.arguments();
    QFile source(args[1]);
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    TitleParts parts = takeTitle(QString::fromUtf8(source.readAll()));

    QPdfWriter writer(args[2]);
    writer.setResolution(Resolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(QTextDocumentFragment::fromHtml(parts.title).toPlainText());
    writer.setCreator(QStringLiteral("Korvel"));
    const QRect page = writer.pageLayout().fullRectPixels(Resolution);
    const QRectF body(mm(MarginMm), mm(MarginMm), page.width() - 2 * mm(MarginMm),
                      page.height() - 2 * mm(MarginMm) - mm(FooterMm));

    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    document.setPageSize(body.size());
    document.rootFrame()->setFrameFormat([] {
        QTextFrameFormat format;
        format.setMargin(0);
        return format;
    }());
    QSvgRenderer icon(args[3]);
    QImage iconImage(512, 512, QImage::Format_ARGB32_Premultiplied);
    iconImage.fill(Qt::transparent);
    QPainter iconPainter(&iconImage);
    icon.render(&iconPainter);
    iconPainter.end();
    document.addResource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(IconResource)),
                         iconImage);
    if (!addPictures(document, parts.body, args.mid(6), body.width() * HtmlDpi / Resolution))
        return 1;

    // The body alone gives the headings; the whole document, laid out twice, their pages
    // (the second time with the real numbers, in case their width moves a line).
    QTextDocument headingsOnly;
    headingsOnly.setHtml(parts.body);
    QList<Heading> headings = headingsOf(headingsOnly);
    for (int pass = 0; pass < 2; ++pass) {
        document.setHtml(titlePage(parts, args[4]) + contentsPage(args[5], headings) + parts.body);
        findPages(document, headings, body.height());
    }
    document.setHtml(titlePage(parts, args[4]) + contentsPage(args[5], headings) + parts.body);

    QPainter painter(&writer);
    // The pictures of the dialog are text and lines: JPEG, the writer's default, blurs them.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const QFont footerFont(QStringLiteral("DejaVu Sans"), 9);
    for (int index = 0; index < document.pageCount(); ++index) {
        if (index > 0)
            writer.newPage();
        painter.save();
        painter.translate(body.left(), body.top() - index * body.height());
        document.drawContents(&painter,
                              QRectF(0, index * body.height(), body.width(), body.height()));
        painter.restore();
        if (index > 0) {
            painter.setFont(footerFont);
            painter.setPen(QColor(0x55, 0x55, 0x55));
            painter.drawText(
                QRectF(body.left(), body.bottom() + mm(FooterMm) / 2, body.width(), mm(FooterMm)),
                Qt::AlignHCenter | Qt::AlignTop, QString::number(index + 1));
        }
    }
    if (!painter.end()) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
