// Cutting and joining the pieces of long paragraphs.
#include "textdoc/paragraphpieces.h"

#include <algorithm>

#include "textdoc/exacttext.h"

namespace
{

// Whether a cut or joint before `unit` would part the halves of a surrogate pair, showing them as two.
bool PartsPair(const ExactText &text, qsizetype unit)
{
    return unit > 0 && unit < text.size() && text.at(unit - 1).isHighSurrogate()
        && text.at(unit).isLowSurrogate();
}

// Where to cut a run of units that goes on well past `from + chunk`: after a space near there, or anywhere
// but inside a surrogate pair.
qsizetype CutAfter(const ExactText &text, qsizetype exactStart, qsizetype from, qsizetype chunk)
{
    const auto spaceBefore = [&](qsizetype cut) { return text.at(exactStart + cut - 1).isSpace(); };
    const qsizetype target = from + chunk;
    for (qsizetype cut = target; cut >= from + chunk / 2; --cut) {
        if (spaceBefore(cut))
            return cut;
    }
    for (qsizetype cut = target + 1; cut <= from + chunk * 3 / 2; ++cut) {
        if (spaceBefore(cut))
            return cut;
    }
    return PartsPair(text, exactStart + target) ? target + 1 : target;
}

} // namespace

void FitPieces(ExactText &text, qsizetype from, qsizetype to, qsizetype chunk, QList<JointEdit> &edits)
{
    chunk = std::max<qsizetype>(chunk, 2);
    // Joints added or taken out before `to` move it, not its distance from the end.
    const qsizetype tail = text.positions() - to;
    qsizetype start = text.pieceStart(from);
    qsizetype exact = text.toExact(start);
    bool jointBefore = start > 0 && text.isJoint(start - 1);
    for (;;) {
        const qsizetype joint = text.nextJoint(start);
        const qsizetype limit = joint < text.positions() ? text.toExact(joint) : text.size();
        qsizetype length = 0;
        while (exact + length < limit && !ExactText::isBreak(text.at(exact + length)))
            ++length;
        const bool jointAfter = start + length == joint && joint < text.positions();
        // An edit can leave a joint between the halves of a pair; it goes, as for a piece too short.
        const bool pairAfter = jointAfter && PartsPair(text, exact + length);
        const bool pairBefore = jointBefore && PartsPair(text, exact);
        if ((length < chunk / 2 && (jointBefore || jointAfter)) || pairAfter || pairBefore) {
            // Join a neighbour and look at the joined piece again.
            const bool after = pairAfter || (jointAfter && !pairBefore);
            const qsizetype taken = after ? start + length : start - 1;
            text.replace(taken, 1, {});
            edits.append({taken, false});
            if (!after) {
                start = text.pieceStart(taken);
                exact = text.toExact(start);
                jointBefore = start > 0 && text.isJoint(start - 1);
            }
            continue;
        }
        // Each joint put in moves the rest of the piece one position on.
        qsizetype end = start + length;
        for (qsizetype cut = 0; length - cut > chunk * 2; ++end) {
            cut = CutAfter(text, exact, cut, chunk);
            text.insertJoint(end - length + cut);
            edits.append({end - length + cut, true});
        }
        if (end >= text.positions() - tail || end >= text.positions())
            return;
        // On past the break or joint that ends the piece.
        jointBefore = text.isJoint(end);
        const bool crLf = !jointBefore && text.at(exact + length) == u'\r' && exact + length + 1 < text.size()
            && text.at(exact + length + 1) == u'\n';
        exact += length + (jointBefore ? 0 : crLf ? 2 : 1);
        start = end + 1;
    }
}
