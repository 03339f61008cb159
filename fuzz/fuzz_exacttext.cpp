// Fuzzes the text box's document. The exact-text model against a plain list of positions: after any edits
// both hold the same units, positions, mapping between them and count of overlong words. Then the same bytes
// drive the whole document as its view does, against plain models of the view and of the undo steps.
// Paragraphs are kept in pieces of a few units, so joints, the positions of no unit, are everywhere; the
// plain models hold them as empty positions.
#include "textdoc/exacttext.h"
#include "textdoc/overlongwords.h"
#include "textdoc/paragraphpieces.h"

#include "documentdriver.h"
#include "fuzz_support.h"
#include "positionsmodel.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace
{

// Short words and pieces, so that short inputs reach the count of overlong words and the joints.
constexpr qsizetype kLongestWord = 3;
constexpr qsizetype kChunk = 8;

QString TakeText(const std::uint8_t *data, std::size_t size, std::size_t &pos)
{
    return QString::fromStdU16String(TakeUnits(data, size, pos, 0));
}

bool IsBreak(const QString &units)
{
    const char16_t first = units.isEmpty() ? 0 : units.at(0).unicode();
    return first == u'\r' || first == u'\n' || first == 0x2029 || first == 0xfdd0 || first == 0xfdd1;
}

void Check(const ExactText &text, const OverlongWords &overlong, const PositionsModel &model)
{
    const QString expected = model.text();
    Require(text.size() == expected.size() && text.mid(Offset(0), text.size()) == expected, "the same units");
    Require(text.positions() == Position(model.positions.size()), "the same number of positions");
    // Where every unit is plain ASCII, each one is a cluster of its own and a piece may start at any: there
    // no piece is long. Elsewhere marks, joiners and scripts with cluster rules of their own rule out cuts.
    QList<bool> plain;
    plain += true;
    for (const QString &units : model.positions) {
        if (IsBreak(units))
            plain += true;
        else
            plain.back() = plain.back() && std::all_of(units.begin(), units.end(), [](QChar c) {
                return c.unicode() >= 0x20 && c.unicode() < 0x7f;
            });
    }
    qsizetype paragraph = 0;
    qsizetype offset = 0;
    qsizetype piece = 0;
    bool jointBefore = false;
    for (qsizetype p = 0; p <= model.positions.size(); ++p) {
        Require(text.toExact(Position(p)) == Offset(offset), "a position maps to the offset of its units");
        const bool joint = p < model.positions.size() && model.positions[p].isEmpty();
        if (p == model.positions.size() || joint || IsBreak(model.positions[p])) {
            Require(piece <= 2 * kChunk || !plain[paragraph],
                "no piece of plain text is longer than twice the chunk");
            paragraph += !joint;
            Require(
                piece >= kChunk / 2 || !(jointBefore || joint), "a piece at a joint is half a chunk or more");
            Require(!joint || offset == 0 || offset == expected.size()
                    || !expected.at(offset - 1).isHighSurrogate() || !expected.at(offset).isLowSurrogate(),
                "no joint parts a surrogate pair");
            jointBefore = joint;
            piece = 0;
        } else {
            ++piece;
        }
        if (p == model.positions.size())
            break;
        const QString &units = model.positions[p];
        Require(text.isJoint(Position(p)) == joint, "the joints are where the document has them");
        // At a joint two positions share an offset: a range starts after it and ends before it.
        qsizetype after = p;
        while (after < model.positions.size() && model.positions[after].isEmpty())
            ++after;
        qsizetype before = p;
        while (before > 0 && model.positions[before - 1].isEmpty())
            --before;
        Require(text.toPosition(Offset(offset), false) == Position(after)
                && text.toPosition(Offset(offset), true) == Position(before),
            "an offset at a position's start maps back to it");
        if (units.size() == 2) {
            Require(text.toPosition(Offset(offset + 1), false) == Position(p)
                    && text.toPosition(Offset(offset + 1), true) == Position(p + 1),
                "an offset inside a CR LF maps to its edges");
        }
        const bool shownAsBreak = text.shownAt(Position(p)) == QChar(QChar::ParagraphSeparator);
        Require(shownAsBreak == (joint || IsBreak(units)), "a break or joint shows as a paragraph separator");
        offset += units.size();
    }
    Require(overlong.count() == model.overlongWords(kLongestWord), "the same number of overlong words");
}

// Cuts and joins the pieces the change touched, and the model takes the same joints.
void Refit(ExactText &text, PositionsModel &model, qsizetype from, qsizetype to)
{
    QList<JointEdit> joints;
    FitPieces(text, Position(from), Position(to), kChunk, joints);
    for (const JointEdit &joint : joints) {
        if (joint.added) {
            model.positions.insert(joint.position.value(), QString());
        } else {
            Require(model.positions.at(joint.position.value()).isEmpty(), "only joints are taken out");
            model.positions.remove(joint.position.value());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ExactText text;
    OverlongWords overlong(kLongestWord);
    PositionsModel model;
    std::size_t pos = 0;
    while (pos < size) {
        const std::uint8_t op = data[pos++];
        if (op % 8 == 0) {
            const QString written = TakeText(data, size, pos);
            text.assign(written);
            overlong.countIn(written);
            model.positions = PositionsModel::Split(written);
            Refit(text, model, 0, text.positions().value());
        } else if (op % 8 == 1) {
            // Reading the whole text, with its gap closed or not, must leave the model as it was; so must
            // the next edits, in the room a closed gap kept.
            if (pos < size && data[pos++] % 2 == 1)
                text.flatten();
            Require(text.text() == model.text(), "text() gives the units");
        } else {
            if (pos + 2 > size)
                break;
            const qsizetype positions = model.positions.size();
            const qsizetype from = data[pos++] % (positions + 1);
            const qsizetype removed = data[pos++] % (positions - from + 1);
            const QString added = TakeText(data, size, pos);
            const QString removedText = text.replace(Position(from), removed, added);
            overlong.follow(text, text.toExact(Position(from)), removedText, added);
            Require(removedText == model.positions.mid(from, removed).join(QString()),
                "replace gives back the removed units");
            model.replace(from, removed, added);
            Refit(text, model, from, from + ExactText::positionsOf(added));
        }
        Check(text, overlong, model);
    }

    DocumentDriver driver(kChunk);
    pos = 0;
    const auto choose = [&](qsizetype n) { return pos < size ? qsizetype(data[pos++]) % n : 0; };
    while (pos < size) {
        if (const char *broken = driver.act(choose))
            Require(false, broken);
    }
    return 0;
}
