// Cutting and joining the pieces of long paragraphs.
#include "textdoc/paragraphpieces.h"

#include <algorithm>

#include <QTextBoundaryFinder>

#include "textdoc/exacttext.h"
#include "textdoc/paragraphbounds.h"

namespace
{

// Where to cut a piece of `length` units at exact offset `exact` after its part that ends at `cut`, which
// starts a cluster: near a chunk on, after a line-break opportunity near there if there is one, and leaving
// no part shorter than half a chunk; -1 if no cluster ends there.
qsizetype CutAfter(const ExactText &text, qsizetype exact, qsizetype cut, qsizetype length, qsizetype chunk)
{
    const qsizetype known = exact + cut;
    const qsizetype target = known + chunk;
    qsizetype at = LineCutNear(text, known, known + chunk / 2, target, known + chunk * 3 / 2);
    if (at < 0)
        at = SpaceCutNear(text, known, known + chunk / 2, target, known + chunk * 3 / 2);
    if (at < 0)
        at = ClusterCutNear(text, known, known + chunk / 2, target, exact + length - chunk / 2);
    return at < 0 ? -1 : at - exact;
}

} // namespace

void FitPieces(ExactText &text, Position from, Position to, qsizetype chunk, QList<JointEdit> &edits)
{
    chunk = std::max<qsizetype>(chunk, 2);
    // What the edit put in or took out can change the script that characters of no script before it are read
    // in, and with it where a piece may start among them.
    from = std::min(from, text.toPosition(Offset(NoScriptRunStart(text, text.toExact(from).value())), false));
    // What it did to a run of regional indicators moves the pairs of all the rest of the run.
    to = std::max(to, text.toPosition(Offset(RegionalIndicatorRunEnd(text, text.toExact(to).value())), true));
    // Joints added or taken out before `to` move it, not its distance from the end.
    const qsizetype tail = text.positions() - to;
    Position start = text.pieceStart(from);
    qsizetype exact = text.toExact(start).value();
    bool jointBefore = start > Position(0) && text.isJoint(start - 1);
    // A piece starts a cluster after a break or a joint that stands where it may; the joint before the first
    // one is asked about from the piece before it.
    const auto knownBefore
        = [&] { return jointBefore ? text.toExact(text.pieceStart(start - 1)).value() : exact; };
    qsizetype known = knownBefore();
    for (;;) {
        const Position joint = text.nextJoint(start);
        const qsizetype limit = joint < text.positions() ? text.toExact(joint).value() : text.size();
        qsizetype length = 0;
        while (exact + length < limit && !ExactText::isBreak(text.at(exact + length)))
            ++length;
        const bool jointAfter = start + length == joint && joint < text.positions();
        // An edit can leave a joint inside a cluster; it goes, as for a piece too short.
        const bool splitBefore = jointBefore && !IsPieceStart(text, known, exact);
        const bool splitAfter
            = jointAfter && !IsPieceStart(text, splitBefore ? known : exact, exact + length);
        if ((length < chunk / 2 && (jointBefore || jointAfter)) || splitAfter || splitBefore) {
            // Join a neighbour and look at the joined piece again.
            const bool after = splitAfter || (jointAfter && !splitBefore);
            const Position taken = after ? start + length : start - 1;
            text.replace(taken, 1, {});
            edits.append({taken, false});
            if (!after) {
                start = text.pieceStart(taken);
                exact = text.toExact(start).value();
                jointBefore = start > Position(0) && text.isJoint(start - 1);
                known = knownBefore();
            }
            continue;
        }
        // Each joint put in moves the rest of the piece one position on.
        Position end = start + length;
        qsizetype cut = 0;
        for (qsizetype next;
             length - cut > chunk * 2 && (next = CutAfter(text, exact, cut, length, chunk)) >= 0; ++end) {
            cut = next;
            text.insertJoint(end - length + cut);
            edits.append({end - length + cut, true});
        }
        // Past the edit a joint that still stands where a piece may start reads on as before, and so do
        // those after it.
        if (end >= text.positions() - tail || end >= text.positions())
            return;
        // On past the break or joint that ends the piece.
        jointBefore = text.isJoint(end);
        const bool crLf = !jointBefore && text.at(exact + length) == u'\r' && exact + length + 1 < text.size()
            && text.at(exact + length + 1) == u'\n';
        known = jointBefore ? exact + cut : exact + length + (crLf ? 2 : 1);
        exact += length + (jointBefore ? 0 : crLf ? 2 : 1);
        start = end + 1;
    }
}

QString BrokenJointRule(const ExactText &text, qsizetype chunk)
{
    chunk = std::max<qsizetype>(chunk, 2);
    // The clusters of the paragraph that holds the joints being looked at, read whole as Qt reads it.
    qsizetype paragraph = -1;
    QString units;
    QTextBoundaryFinder clusters;
    for (Position joint = text.nextJoint(Position(0)); joint < text.positions();
         joint = text.nextJoint(joint + 1)) {
        const qsizetype offset = text.toExact(joint).value();
        const auto broken = [&](const char *rule) {
            return QStringLiteral("the joint at position %1 (offset %2) %3")
                .arg(joint.value())
                .arg(offset)
                .arg(QLatin1String(rule));
        };
        if (offset == 0 || offset == text.size() || ExactText::isBreak(text.at(offset - 1))
            || ExactText::isBreak(text.at(offset)) || text.isJoint(joint + 1))
            return broken("stands at a paragraph's edge or beside another joint");
        const qsizetype before = text.toExact(text.pieceStart(joint)).value();
        if (paragraph < 0 || before < paragraph || before > paragraph + units.size()) {
            paragraph = before;
            while (paragraph > 0 && !ExactText::isBreak(text.at(paragraph - 1)))
                --paragraph;
            qsizetype end = offset;
            while (end < text.size() && !ExactText::isBreak(text.at(end)))
                ++end;
            units = text.mid(Offset(paragraph), end - paragraph);
            clusters = QTextBoundaryFinder(QTextBoundaryFinder::Grapheme, units);
        }
        clusters.setPosition(offset - paragraph);
        if (!clusters.isAtBoundary())
            return broken("cuts a grapheme cluster of its paragraph");
        const Position next = text.nextJoint(joint + 1);
        const qsizetype limit = std::min(
            offset + chunk / 2, next < text.positions() ? text.toExact(next).value() : text.size());
        qsizetype after = offset;
        while (after < limit && !ExactText::isBreak(text.at(after)))
            ++after;
        if (offset - before < chunk / 2 || after - offset < chunk / 2)
            return broken("has a piece shorter than half a chunk beside it");
    }
    return QString();
}

ParagraphDirections DirectionsOf(const ExactText &text, qsizetype exactStart)
{
    ParagraphDirections directions;
    bool keysFound = false;
    int isolates = 0;
    for (qsizetype i = exactStart; i < text.size() && !ExactText::isBreak(text.at(i)); ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text.at(++i).unicode());
        switch (QChar::direction(c)) {
        case QChar::DirRLI:
        case QChar::DirLRI:
        case QChar::DirFSI:
            ++isolates;
            break;
        case QChar::DirPDI:
            isolates -= isolates > 0;
            break;
        case QChar::DirL:
        case QChar::DirR:
        case QChar::DirAL: {
            const Qt::LayoutDirection direction
                = QChar::direction(c) == QChar::DirL ? Qt::LeftToRight : Qt::RightToLeft;
            if (!keysFound)
                directions.keys = direction;
            keysFound = true;
            if (isolates == 0) {
                directions.layout = direction;
                return directions;
            }
            break;
        }
        default:
            break;
        }
    }
    return directions;
}
