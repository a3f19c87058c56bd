// Reading pages back: words with their boxes, rasterised pages, ink.
#pragma once

#include <QImage>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

namespace pages {

struct Word {
    QString text;
    QRectF box; // points, from the page's top-left corner
};

inline bool PopplerInstalled()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftocairo")).isEmpty();
}

inline QList<Word> Words(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<Word> out;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        out.push_back({m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                             QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return out;
}

// The word points into the list: a list about to be destroyed is refused.
const Word *Find(QList<Word> &&words, const QString &text) = delete;
inline const Word *Find(const QList<Word> &words, const QString &text)
{
    for (const Word &w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}

// The first page at 96 pixels per inch.
inline QImage Rasterise(const QString &pdf, const QString &stem)
{
    QProcess p;
    p.start(QStringLiteral("pdftocairo"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("96"),
                                           QStringLiteral("-singlefile"), pdf, stem});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QImage(stem + QStringLiteral(".png"));
}

// Bounding box of everything darker than light grey.
inline QRect InkBox(const QImage &img)
{
    int left = img.width(), top = img.height(), right = -1, bottom = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 160) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// A PDF without what differs between two writings of the same page.
inline QByteArray WithoutDateAndId(const QByteArray &pdf)
{
    static const QRegularExpression volatileParts(
        QStringLiteral(R"(/CreationDate \([^)]*\)|/ID \[[^\]]*\])"));
    return QString::fromLatin1(pdf).remove(volatileParts).toLatin1();
}

} // namespace pages
