// A plain model of the text box's text: one string per document position, a CR LF being the one of two units.
#pragma once

#include <QString>
#include <QStringList>

struct PositionsModel {
    QStringList positions;

    static QStringList Split(const QString &text)
    {
        QStringList split;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool crLf = text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n';
            split += text.mid(i, crLf ? 2 : 1);
            i += crLf ? 1 : 0;
        }
        return split;
    }

    QString text() const { return positions.join(QString()); }
    void replace(qsizetype from, qsizetype removed, const QString &added)
    {
        positions.remove(from, removed);
        const QStringList inserted = Split(added);
        for (qsizetype i = 0; i < inserted.size(); ++i)
            positions.insert(from + i, inserted[i]);
    }
    qsizetype toExact(qsizetype position) const
    {
        qsizetype offset = 0;
        for (qsizetype i = 0; i < position; ++i)
            offset += positions[i].size();
        return offset;
    }
    // Words, runs of units that are neither spaces nor breaks, longer than `limit`.
    qsizetype overlongWords(qsizetype limit) const
    {
        qsizetype runs = 0;
        qsizetype run = 0;
        for (const QChar c : text()) {
            run = c.isSpace() || c.unicode() == 0xfdd0 || c.unicode() == 0xfdd1 ? 0 : run + 1;
            runs += run == limit + 1;
        }
        return runs;
    }
};
