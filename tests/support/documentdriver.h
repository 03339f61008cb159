// Drives a TextDocument as the box's view does, from a stream of choices, beside plain models: the positions
// the view's document shows, and every text the box has held. A test draws the choices from a seed, a fuzzer
// from its bytes; after each action the driver names the rule that broke, if one did. With a small chunk
// the view shows paragraphs in pieces, and its model holds each joint as a position of no unit; the keys
// act around joints as the view's do.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextBoundaryFinder>

#include "positionsmodel.h"
#include "textdoc/overlongwords.h"
#include "textdoc/textdocument.h"

class DocumentDriver final
{
public:
    // Short words, so that small texts reach the count of overlong ones.
    static constexpr qsizetype kLongestWord = 3;

    explicit DocumentDriver(qsizetype chunk = TextDocument::kParagraphChunk)
    {
        apply({document_.setParagraphChunk(chunk), {}});
    }

    const TextDocument &document() const { return document_; }

    // `choose(n)` gives a number in [0, n).
    template <typename Choose> const char *act(Choose &&choose)
    {
        const qsizetype size = shown_.positions.size();
        qsizetype caret = choose(size + 1);
        qsizetype end = caret + choose(size - caret + 1);
        int kind = int(choose(10));
        if (size > 150)
            kind = 5; // starts again with a short text
        const qsizetype target = choose(size + 1);
        // With nothing selected there is nothing to cut, and a drag must leave its selection.
        if ((kind == 3 && end == caret)
            || (kind == 7 && (end == caret || (target >= caret && target <= end))))
            return check();
        if (kind > 2)
            burst_ = Burst::None;
        switch (kind) {
        case 0:
            typeKeys(caret, choose);
            break;
        case 1:
        case 2:
            deleteKeys(caret, kind == 1, choose);
            break;
        case 3: { // a cut, or one letter typed over a selection, which never starts or ends at a joint
            const auto [start, stop] = document_.keptOffJoints(Position(caret), Position(end));
            caret = start.value();
            end = stop.value();
            if (end == caret) {
                // The selection the user made went to nothing between joints, yet the caret moved.
                document_.caretMoved(Position(caret), false);
                return check();
            }
            const QString typed = choose(2) ? QStringLiteral("q") : QString();
            document_.caretMoved(Position(end), true);
            expectChange(caret, end, typed);
            userChange(caret, end - caret, typed, false, choose);
            break;
        }
        case 4: { // a paste
            const QString pasted = randomText(choose);
            expectChange(caret, end, pasted);
            apply(document_.replace(Position(caret), Position(end), pasted));
            break;
        }
        case 5: { // a whole-text write, perhaps of the text the box holds
            // One choice after the other: a call's arguments come in no set order, and a seed must mean the
            // same actions whichever compiler built the test.
            const QString text = choose(4) == 0 ? document_.text() : randomText(choose);
            writeWhole(text, choose(2) == 1);
            break;
        }
        case 6:
            writeGroup(choose);
            break;
        case 7: { // a drag that moves the selection
            QStringList positions = shown_.positions;
            const QStringList moved = positions.mid(caret, end - caret);
            positions.remove(caret, end - caret);
            const qsizetype at = target > end ? target - (end - caret) : target;
            for (qsizetype i = 0; i < moved.size(); ++i)
                positions.insert(at + i, moved[i]);
            steps_.change(positions.join(QString()), false);
            apply(document_.move(Position(caret), Position(end), Position(target)));
            break;
        }
        case 8:
            steps_.current = std::max<qsizetype>(steps_.current - 1, 0);
            apply(document_.undo());
            break;
        default:
            steps_.current = std::min(steps_.current + 1, steps_.texts.size() - 1);
            apply(document_.redo());
            break;
        }
        return check();
    }

private:
    enum class Burst { None, Typing, Deleting };

    // Every text the box has held, and which one it holds now; a burst's later keys rewrite its step.
    struct Steps {
        QStringList texts {QString()};
        qsizetype current = 0;

        void change(const QString &text, bool joins)
        {
            if (text == texts.at(current))
                return;
            texts.resize(current + 1);
            if (joins) {
                texts[current] = text;
            } else {
                texts += text;
                ++current;
            }
        }
    };

    bool isJoint(qsizetype position) const
    {
        return position >= 0 && position < shown_.positions.size() && shown_.positions[position].isEmpty();
    }

    // As the document shows a position: a paragraph separator for a break or a joint.
    QChar shownAt(qsizetype position) const
    {
        const QString &units = shown_.positions[position];
        return units.isEmpty() || IsBreak(units.front()) ? QChar(QChar::ParagraphSeparator) : units.front();
    }

    // Where the view's caret stands after a key that leaves it at this offset: after a joint there.
    qsizetype caretAt(Offset offset) const { return document_.exact().toPosition(offset, false).value(); }

    // Whether Qt, given the whole paragraph, starts a grapheme cluster at this offset.
    static bool StartsCluster(const QString &text, qsizetype offset)
    {
        qsizetype from = offset;
        while (from > 0 && !IsBreak(text.at(from - 1)))
            --from;
        qsizetype to = offset;
        while (to < text.size() && !IsBreak(text.at(to)))
            ++to;
        QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text.mid(from, to - from));
        clusters.setPosition(offset - from);
        return clusters.isAtBoundary();
    }

    static bool IsBreak(QChar c)
    {
        return c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c.unicode() == 0xfdd0
            || c.unicode() == 0xfdd1;
    }

    template <typename Choose> static QString randomText(Choose &&choose)
    {
        static const QStringList pieces = {QStringLiteral("Gur "), QStringLiteral("uryyb"),
            QStringLiteral("\r\n"), QStringLiteral("\r"), QStringLiteral("\n"), QStringLiteral("\u2028"),
            QStringLiteral("\u2029"), QStringLiteral("\ufdd0"), QStringLiteral("\ufdd1"),
            QStringLiteral("\u00a0"), QString(QChar(0)), QString(QChar(0xd800)), QString(QChar(0xdc00)),
            QStringLiteral("\U0001F600"), QStringLiteral("z"), QStringLiteral("e\u0301"),
            QStringLiteral("\u0301"), QStringLiteral("\u200d"), QStringLiteral("\U0001F468"),
            QStringLiteral("\U0001F1E6"), QStringLiteral("\U0001F1E8"), QStringLiteral("\u0915\u094d"),
            QStringLiteral("\u0937"), QStringLiteral("\u1100\u1161")};
        QString text;
        for (qsizetype n = choose(7); n > 0; --n)
            text += pieces[choose(pieces.size())];
        return text;
    }

    template <typename Choose> void typeKeys(qsizetype at, Choose &&choose)
    {
        at += isJoint(at);
        moveCaret(at);
        for (qsizetype n = 1 + choose(4); n > 0; --n) {
            static const QString keys[] = {QStringLiteral("k"), QStringLiteral("\n"),
                QStringLiteral("\U0001F600"), QStringLiteral("\u0301"), QStringLiteral("\U0001F1E6")};
            const QString &typed = keys[choose(std::size(keys))];
            const bool joins = burst_ == Burst::Typing;
            const Offset offset = document_.exact().toExact(Position(at)) + typed.size();
            userChange(at, 0, typed, true, choose);
            steps_.change(shown_.text(), joins);
            at = caretAt(offset);
            burst_ = Burst::Typing;
            burstCaret_ = at;
        }
    }

    template <typename Choose> void deleteKeys(qsizetype at, bool backspace, Choose &&choose)
    {
        at += isJoint(at);
        moveCaret(at);
        for (qsizetype n = 1 + choose(4); n > 0; --n) {
            const QStringList &positions = shown_.positions;
            // Backspace after a joint takes the unit before it.
            const qsizetype from = backspace ? at - 1 - isJoint(at - 1) : at;
            if (from < 0 || from >= positions.size())
                continue;
            // One key takes a whole surrogate pair.
            const auto high = [&](qsizetype i) {
                return i >= 0 && !isJoint(i) && positions[i].front().isHighSurrogate();
            };
            const auto low = [&](qsizetype i) {
                return i < positions.size() && !isJoint(i) && positions[i].front().isLowSurrogate();
            };
            const bool pair = backspace ? low(from) && high(from - 1) : high(from) && low(from + 1);
            const qsizetype start = backspace && pair ? from - 1 : from;
            const bool joins = burst_ == Burst::Deleting;
            const Offset offset = document_.exact().toExact(Position(start));
            userChange(start, pair ? 2 : 1, QString(), true, choose);
            steps_.change(shown_.text(), joins);
            at = caretAt(offset);
            burst_ = Burst::Deleting;
            burstCaret_ = at;
        }
    }

    void moveCaret(qsizetype at)
    {
        document_.caretMoved(Position(at), false);
        if (at != burstCaret_)
            burst_ = Burst::None;
    }

    // The user changed the view's document; it reports the change as Qt does, which may take in unchanged
    // positions after it and, at the end, the closing paragraph mark.
    template <typename Choose>
    void userChange(qsizetype from, qsizetype removed, const QString &added, bool keyed, Choose &&choose)
    {
        const qsizetype addedPositions = PositionsModel::Split(added).size();
        shown_.replace(from, removed, added);
        const qsizetype rest = shown_.positions.size() - from - addedPositions;
        const qsizetype tail = choose(2) ? 0 : choose(rest + 1);
        const qsizetype mark = tail == rest ? choose(2) : 0;
        QString reported;
        for (qsizetype p = from; p < from + addedPositions + tail; ++p)
            reported += shownAt(p);
        reported += QString(mark, QChar::ParagraphSeparator);
        replay(document_.userChanged(Position(from), removed + tail + mark, reported, keyed));
    }

    void expectChange(qsizetype from, qsizetype to, const QString &text)
    {
        const QStringList &positions = shown_.positions;
        steps_.change(
            positions.mid(0, from).join(QString()) + text + positions.mid(to).join(QString()), false);
    }

    void writeWhole(const QString &text, bool holdBack)
    {
        steps_.change(text, false);
        apply(document_.replaceAll(text, holdBack));
        catchUp();
    }

    // A command's many writes, whole texts held back and edits, as one step.
    template <typename Choose> void writeGroup(Choose &&choose)
    {
        document_.beginGroup();
        QStringList positions = shown_.positions;
        for (qsizetype n = 1 + choose(3); n > 0; --n) {
            if (choose(2)) {
                const QString text = randomText(choose);
                positions = PositionsModel::Split(text);
                apply(document_.replaceAll(text, choose(2) == 1));
                // Read before the view catches up, the document already holds the new text, position for
                // position (and the joints of the pieces, if it was the text already there).
                if (choose(2)) {
                    const ExactText &exact = document_.exact();
                    staleRead_ = staleRead_ || document_.text() != text || exact.text() != text
                        || exact.shownOffset(exact.positions()) != positions.size();
                }
                continue;
            }
            catchUp();
            const qsizetype from = choose(shown_.positions.size() + 1);
            const qsizetype to = from + choose(shown_.positions.size() - from + 1);
            const QString text = randomText(choose);
            positions = shown_.positions;
            positions.remove(from, to - from);
            positions.insert(from, text);
            apply(document_.replace(Position(from), Position(to), text));
        }
        catchUp();
        document_.endGroup();
        steps_.change(positions.join(QString()), false);
    }

    void apply(const TextDocument::Edit &edit) { replay(edit.writes); }

    void catchUp() { replay(document_.catchUp()); }

    void replay(const std::vector<TextDocument::Write> &writes)
    {
        for (const TextDocument::Write &write : writes) {
            if (write.joint && write.from == write.to)
                shown_.positions.insert(write.from.value(), QString());
            else
                shown_.replace(
                    write.from.value(), write.to - write.from, write.joint ? QString() : write.text);
        }
        QString shown;
        for (qsizetype p = 0; p < shown_.positions.size(); ++p)
            shown += shownAt(p);
        document_.checkShown(shown);
        // As the view counts overlong words: each change read as soon as it is made.
        for (const TextDocument::Change &change : document_.takeChanges()) {
            if (change.whole)
                overlong_.countIn(change.added);
            else
                overlong_.follow(document_.exact(), change.from, change.removed, change.added);
        }
    }

    const char *check() const
    {
        if (staleRead_)
            return "a whole-text write is read at once, before the view catches up";
        const ExactText &exact = document_.exact();
        if (document_.text() != steps_.texts.at(steps_.current))
            return "the box holds the text its steps say";
        if (shown_.text() != document_.text() || exact.positions() != Position(shown_.positions.size()))
            return "the view's document holds the text, position for position";
        qsizetype offset = 0;
        for (qsizetype p = 0; p < shown_.positions.size(); ++p) {
            if (exact.toExact(Position(p)) != Offset(offset) || exact.shownAt(Position(p)) != shownAt(p)
                || exact.isJoint(Position(p)) != isJoint(p))
                return "each position maps to its units and shows as the view shows it";
            if (isJoint(p) && !StartsCluster(document_.text(), offset))
                return "every joint stands where a cluster of its whole paragraph starts";
            offset += shown_.positions[p].size();
        }
        if (overlong_.count()
            != PositionsModel {PositionsModel::Split(document_.text())}.overlongWords(kLongestWord))
            return "the count of overlong words follows every change";
        if (document_.canUndo() != (steps_.current > 0)
            || document_.canRedo() != (steps_.current + 1 < steps_.texts.size()))
            return "undo and redo are offered exactly when there is a text to go to";
        return nullptr;
    }

    TextDocument document_ {qsizetype(1) << 30};
    OverlongWords overlong_ {kLongestWord};
    PositionsModel shown_;
    Steps steps_;
    Burst burst_ = Burst::None;
    qsizetype burstCaret_ = -1;
    bool staleRead_ = false;
};
