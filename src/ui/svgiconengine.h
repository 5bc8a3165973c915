// Icons drawn from SVG files by Qt's SVG renderer, without Qt's icon-engine plugin.
#pragma once

#include <QIcon>
#include <QIconEngine>

#include <memory>

/// Draws one SVG file at any size and in every mode, pixel for pixel as Qt's own SVG icon
/// engine does. That engine is a plugin: the first icon makes Qt search the plugin folders
/// and load it, and it reads the file anew for every size it draws. This one is linked in,
/// reads its file once, when the icon is first drawn or tested, and keeps it for all sizes.
class SvgIconEngine : public QIconEngine {
public:
    explicit SvgIconEngine(const QString &file);

    /// An icon drawn by an engine of this kind from `file`.
    static QIcon icon(const QString &file);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;
    /// Null, like an icon of Qt's engine, when the file is missing or no valid SVG.
    bool isNull() override;

private:
    struct Document;

    SvgIconEngine(const SvgIconEngine &other);
    QSize scaledSize(const QSize &size);

    std::shared_ptr<Document> m_document; ///< shared with the clones
    /// Tells this engine's pictures apart from every other engine's in the pixmap cache.
    int m_serial;
};
