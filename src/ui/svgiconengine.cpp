#include "ui/svgiconengine.h"

#include <QApplication>
#include <QAtomicInt>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

#include <optional>

namespace {

QAtomicInt lastSerial;

} // namespace

struct SvgIconEngine::Document {
    explicit Document(const QString &file)
        : file(file)
    {
    }

    const QString file;
    std::optional<QSvgRenderer> renderer; ///< read at the first need

    /// The parsed file; nullptr when it is missing or no valid SVG.
    QSvgRenderer *parsed()
    {
        if (!renderer)
            renderer.emplace(file);
        return renderer->isValid() ? &*renderer : nullptr;
    }
};

SvgIconEngine::SvgIconEngine(const QString &file)
    : m_document(std::make_shared<Document>(file))
    , m_serial(lastSerial.fetchAndAddRelaxed(1))
{
}

SvgIconEngine::SvgIconEngine(const SvgIconEngine &other)
    : QIconEngine(other)
    , m_document(other.m_document)
    , m_serial(lastSerial.fetchAndAddRelaxed(1))
{
}

QIcon SvgIconEngine::icon(const QString &file)
{
    return QIcon(new SvgIconEngine(file));
}

QIconEngine *SvgIconEngine::clone() const
{
    return new SvgIconEngine(*this);
}

bool SvgIconEngine::isNull()
{
    return !m_document->parsed();
}

// The picture keeps the document's proportions inside `size`; empty when nothing is drawn.
QSize SvgIconEngine::scaledSize(const QSize &size)
{
    const QSvgRenderer *renderer = m_document->parsed();
    if (!renderer)
        return {};
    QSize scaled = renderer->defaultSize();
    if (!scaled.isNull())
        scaled.scale(size, Qt::KeepAspectRatio);
    return scaled.isEmpty() ? QSize() : scaled;
}

QSize SvgIconEngine::actualSize(const QSize &size, QIcon::Mode, QIcon::State)
{
    return scaledSize(size);
}

QPixmap SvgIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    const QString key = QStringLiteral("korvel_svgicon_%1_%2_%3_%4_%5")
                            .arg(m_serial)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(int(mode))
                            .arg(int(state));
    QPixmap picture;
    if (QPixmapCache::find(key, &picture))
        return picture;
    const QSize scaled = scaledSize(size);
    if (scaled.isEmpty())
        return picture;

    // The file draws the normal look in either state; the other modes are made from it by
    // the style, as widgets make them from any picture.
    QImage image(scaled, QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    QPainter painter(&image);
    m_document->parsed()->render(&painter);
    painter.end();
    picture = QPixmap::fromImage(image);
    if (mode != QIcon::Normal && qobject_cast<QApplication *>(QCoreApplication::instance())) {
        QStyleOption option(0);
        option.palette = QGuiApplication::palette();
        const QPixmap generated =
            QApplication::style()->generatedIconPixmap(mode, picture, &option);
        if (!generated.isNull())
            picture = generated;
    }
    QPixmapCache::insert(key, picture);
    return picture;
}

void SvgIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
                          QIcon::State state)
{
    QSize size = rect.size();
    if (painter->device())
        size *= painter->device()->devicePixelRatio();
    painter->drawPixmap(rect, pixmap(size, mode, state));
}
